#pragma once
#include <string>

namespace nv {

// Change notification on a folder's file names (created, deleted, renamed).
class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  // True on the first call for a folder, whenever a name changed there since
  // the previous call, and always when the folder cannot be watched, so a
  // caller that lists the folder on true never misses a change.
  virtual bool NamesChanged(const std::string& folder) = 0;
};

}  // namespace nv
