#pragma once
#include <string_view>

namespace nv {

// A file kept open for appending. Each Write reaches the system in one call,
// unbuffered, so a process killed right after it loses nothing it wrote.
// Others may read, write, rename or delete the file while it is open.
class AppendFile {
 public:
  virtual ~AppendFile() = default;
  // Adds bytes at the file's end. Throws AppError (70 denied, 75 other).
  virtual void Write(std::string_view bytes) = 0;
  // Whether the path it was opened by still names this file: false once it
  // was deleted, renamed or replaced. Cheap enough to ask before each Write.
  virtual bool StillNamed() = 0;
};

}  // namespace nv
