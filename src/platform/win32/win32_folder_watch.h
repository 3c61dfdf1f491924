#pragma once
#include <map>
#include <string>

#include "platform/folder_watch.h"

namespace nv {

// FindFirstChangeNotification on file names; one handle per folder, polled
// without waiting.
class Win32FolderWatch : public FolderWatch {
 public:
  ~Win32FolderWatch() override;
  bool NamesChanged(const std::string& folder) override;

 private:
  std::map<std::string, void*> handles_;
};

}  // namespace nv
