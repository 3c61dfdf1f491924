#include "platform/win32/win32_desktop.h"

#include <windows.h>

namespace nv {

namespace {
HWND H(WindowHandle w) { return reinterpret_cast<HWND>(w); }
WindowHandle W(HWND h) { return reinterpret_cast<WindowHandle>(h); }
}  // namespace

WindowHandle Win32Desktop::ForegroundWindow() { return W(GetForegroundWindow()); }

int Win32Desktop::ClassName(WindowHandle window, char* buffer, int bufferSize) {
  return GetClassNameA(H(window), buffer, bufferSize);
}

bool Win32Desktop::IsVisible(WindowHandle window) { return IsWindowVisible(H(window)) != FALSE; }

// With no parent FindWindowEx would walk the top-level windows instead.
WindowHandle Win32Desktop::FirstChild(WindowHandle parent) {
  if (parent == 0) return 0;
  return W(FindWindowExA(H(parent), nullptr, nullptr, nullptr));
}

// GetWindowText of another process's window reads the stored caption without
// sending it a message, so a hung popup cannot stall the tick.
std::string Win32Desktop::Caption(WindowHandle window, int bufferSize) {
  if (bufferSize <= 0) return {};
  std::string text(static_cast<size_t>(bufferSize), '\0');
  const int n = GetWindowTextA(H(window), text.data(), bufferSize);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

bool Win32Desktop::PostClose(WindowHandle window) {
  return PostMessageA(H(window), WM_CLOSE, 0, 0) != FALSE;
}

}  // namespace nv
