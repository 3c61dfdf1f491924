#pragma once
#include <cstdint>
#include <string>

namespace nv {

// A file's size and last write time, enough to tell that it changed.
struct FileStamp {
  std::int64_t size = -1;       // -1: no such file
  std::uint64_t writeTime = 0;  // in the platform's own units
  bool operator==(const FileStamp&) const = default;
};

// How another program holds a file, as far as opening it tells.
enum class FileHold {
  Missing,  // no such file
  Free,     // it can be opened for reading, writing and deleting
  InUse,    // another program has it open and keeps us out (a running browser)
  Denied,   // we may not write it, whoever has it open
};

// Cheap looks at files another program may be using; each call opens (if at
// all) and closes again at once. Safe from any thread.
class FileProbe {
 public:
  virtual ~FileProbe() = default;
  virtual FileStamp Stamp(const std::string& path) = 0;
  virtual FileHold Hold(const std::string& path) = 0;
};

}  // namespace nv
