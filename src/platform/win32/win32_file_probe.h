#pragma once
#include "platform/file_probe.h"

namespace nv {

// GetFileAttributesEx for the stamp. The hold test opens the file for
// reading, writing and deleting while sharing everything: that fails exactly
// when another program has it open without sharing writes or deletes, as a
// running Chromium holds its cookie database (exclusively), SQLite any
// database it has open (no share-delete), and Firefox its parent.lock.
class Win32FileProbe : public FileProbe {
 public:
  FileStamp Stamp(const std::string& path) override;
  FileHold Hold(const std::string& path) override;
};

}  // namespace nv
