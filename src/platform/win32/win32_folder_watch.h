#pragma once
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/folder_watch.h"
#include "platform/win32/win32_change_watch.h"

namespace nv {

// One directory-change request per folder and question, polled without a
// system call.
class Win32FolderWatch : public FolderWatch {
 public:
  bool NamesChanged(const std::string& folder) override;
  bool FilesChanged(const std::string& folder) override;

 private:
  bool Changed(const std::string& folder, DWORD filter);
  std::map<std::pair<std::string, DWORD>, std::unique_ptr<Win32ChangeWatch>> watches_;
};

}  // namespace nv
