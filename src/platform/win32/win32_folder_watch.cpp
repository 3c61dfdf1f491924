#include "platform/win32/win32_folder_watch.h"

#include <windows.h>

namespace nv {

Win32FolderWatch::~Win32FolderWatch() {
  for (const auto& entry : handles_)
    if (entry.second != INVALID_HANDLE_VALUE) FindCloseChangeNotification(entry.second);
}

// The notification is re-armed before the caller lists the folder, so a
// change made while it lists signals again for the next call.
bool Win32FolderWatch::NamesChanged(const std::string& folder) {
  auto it = handles_.find(folder);
  if (it == handles_.end() || it->second == INVALID_HANDLE_VALUE) {
    HANDLE h = FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    handles_[folder] = h;
    return true;
  }
  if (WaitForSingleObject(it->second, 0) != WAIT_OBJECT_0) return false;
  if (!FindNextChangeNotification(it->second)) {
    FindCloseChangeNotification(it->second);
    it->second = INVALID_HANDLE_VALUE;
  }
  return true;
}

}  // namespace nv
