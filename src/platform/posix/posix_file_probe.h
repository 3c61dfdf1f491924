#pragma once
#include "platform/file_probe.h"

namespace nv {

// stat() for the stamp. There are no sharing modes here: a file counts as
// held while another process has a lock on any part of it, as SQLite takes
// one (beyond the end of the file) while a connection uses the database, and
// keeps it while the connection runs in exclusive locking mode, as browsers'
// do. Windows-style paths are mapped as PosixFiles maps them.
class PosixFileProbe : public FileProbe {
 public:
  FileStamp Stamp(const std::string& path) override;
  FileHold Hold(const std::string& path) override;
};

}  // namespace nv
