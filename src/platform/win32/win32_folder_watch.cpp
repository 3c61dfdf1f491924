#include "platform/win32/win32_folder_watch.h"

namespace nv {

bool Win32FolderWatch::NamesChanged(const std::string& folder) {
  return Changed(folder, FILE_NOTIFY_CHANGE_FILE_NAME);
}

bool Win32FolderWatch::FilesChanged(const std::string& folder) {
  return Changed(folder, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
}

bool Win32FolderWatch::Changed(const std::string& folder, DWORD filter) {
  auto& watch = watches_[{folder, filter}];
  if (!watch) watch = std::make_unique<Win32ChangeWatch>(folder, filter);
  return watch->Changed();
}

}  // namespace nv
