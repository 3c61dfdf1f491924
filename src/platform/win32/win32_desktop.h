#pragma once
#include "platform/desktop.h"

namespace nv {

// The user's desktop through user32.
class Win32Desktop : public Desktop {
 public:
  WindowHandle ForegroundWindow() override;
  int ClassName(WindowHandle window, char* buffer, int bufferSize) override;
  bool IsVisible(WindowHandle window) override;
  WindowHandle FirstChild(WindowHandle parent) override;
  std::string Caption(WindowHandle window, int bufferSize) override;
  bool PostClose(WindowHandle window) override;
};

}  // namespace nv
