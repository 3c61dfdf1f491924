#pragma once
#include <windows.h>

namespace nv {

// How a window was opened to a message from processes of lower integrity.
enum class MessageFilterRoute {
  PerWindow,    // ChangeWindowMessageFilterEx (Windows 7 and later)
  ProcessWide,  // ChangeWindowMessageFilter (Windows Vista)
  NoFilter,     // neither exists: the system filters no messages
  Refused,      // the call failed; the message may not arrive
};

// Lets `message` reach `window` from less privileged processes. An elevated
// program otherwise never receives Explorer's "TaskbarCreated" broadcast, and
// its tray icon would not come back after Explorer restarts. The functions are
// looked up in `user32` at run time, so the program still starts where they
// are missing.
MessageFilterRoute AllowMessageFromLowerIntegrity(HWND window, UINT message,
                                                  HMODULE user32 = GetModuleHandleA("user32.dll"));

}  // namespace nv
