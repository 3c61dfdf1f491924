#pragma once
#include <cstdint>
#include <string>

namespace nv {

// A top-level or child window of the user's desktop; 0 is no window.
using WindowHandle = std::uintptr_t;

// The few window queries the popup scanner makes, one user32 call each.
class Desktop {
 public:
  virtual ~Desktop() = default;
  // GetForegroundWindow: 0 when no window has the focus.
  virtual WindowHandle ForegroundWindow() = 0;
  // GetClassNameA: writes at most bufferSize-1 characters and a NUL into
  // buffer and returns the count; on failure returns 0 and leaves buffer as it was.
  virtual int ClassName(WindowHandle window, char* buffer, int bufferSize) = 0;
  // IsWindowVisible: the window and all its ancestors have the visible style.
  virtual bool IsVisible(WindowHandle window) = 0;
  // FindWindowExA(parent, 0, 0, 0): the parent's first child, or 0.
  virtual WindowHandle FirstChild(WindowHandle parent) = 0;
  // GetWindowTextA: the caption, at most bufferSize-1 characters; "" on failure.
  virtual std::string Caption(WindowHandle window, int bufferSize) = 0;
  // PostMessageA(window, WM_CLOSE, 0, 0); false when the window is gone.
  virtual bool PostClose(WindowHandle window) = 0;
};

}  // namespace nv
