#include "platform/win32/win32_tray.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

namespace nv {

static bool Notify(DWORD command, const NotifyIconRecord& r) {
  NOTIFYICONDATAA nid;
  std::memset(&nid, 0, sizeof nid);
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = reinterpret_cast<HWND>(r.hWnd);
  nid.uID = r.uID;
  nid.uFlags = r.uFlags;
  nid.uCallbackMessage = r.uCallbackMessage;
  nid.hIcon = reinterpret_cast<HICON>(r.hIcon);
  // The classic record has room for 63 characters and the NUL.
  lstrcpynA(nid.szTip, r.szTip.data(), 64);
  return Shell_NotifyIconA(command, &nid) != FALSE;
}

bool Win32Tray::Add(const NotifyIconRecord& r) { return Notify(NIM_ADD, r); }
bool Win32Tray::Modify(const NotifyIconRecord& r) { return Notify(NIM_MODIFY, r); }
bool Win32Tray::Delete(const NotifyIconRecord& r) { return Notify(NIM_DELETE, r); }

// A balloon needs the longer record; the icon, tip and message stay as the
// classic record set them.
bool Win32Tray::Balloon(const NotifyIconRecord& r, const std::string& title, const std::string& text) {
  NOTIFYICONDATAA nid;
  std::memset(&nid, 0, sizeof nid);
  nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
  nid.hWnd = reinterpret_cast<HWND>(r.hWnd);
  nid.uID = r.uID;
  nid.uFlags = NIF_INFO;
  lstrcpynA(nid.szInfo, text.c_str(), sizeof nid.szInfo);
  lstrcpynA(nid.szInfoTitle, title.c_str(), sizeof nid.szInfoTitle);
  nid.dwInfoFlags = NIIF_WARNING;
  return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

}  // namespace nv
