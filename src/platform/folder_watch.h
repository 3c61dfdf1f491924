#pragma once
#include <string>

namespace nv {

// Change notification on a folder. Each question keeps its own watch, so
// asking one never takes a change from the other.
class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  // True on the first call for a folder, whenever a name changed there since
  // the previous call (created, deleted, renamed), and always when the folder
  // cannot be watched, so a caller that lists the folder on true never
  // misses a change.
  virtual bool NamesChanged(const std::string& folder) = 0;
  // The same for a file there that was also resized or written.
  virtual bool FilesChanged(const std::string& folder) = 0;
};

}  // namespace nv
