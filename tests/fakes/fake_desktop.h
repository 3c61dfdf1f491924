#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/errors.h"

namespace nv::test {

// A scriptable desktop: windows with a class, a caption, a visible flag and a
// parent, one of them in the foreground. Close requests are recorded, not
// acted on, so a test decides whether the window goes away.
class FakeDesktop : public Desktop {
 public:
  struct Window {
    std::string className, caption;
    bool visible = true;
    WindowHandle parent = 0;
  };

  WindowHandle ForegroundWindow() override;
  int ClassName(WindowHandle window, char* buffer, int bufferSize) override;
  bool IsVisible(WindowHandle window) override;
  WindowHandle FirstChild(WindowHandle parent) override;
  std::string Caption(WindowHandle window, int bufferSize) override;
  bool PostClose(WindowHandle window) override;

  WindowHandle Add(const std::string& className, const std::string& caption = "",
                   bool visible = true, WindowHandle parent = 0);
  // A top-level window of the class with a first child "WorkerW" that is
  // hidden (toolbars hidden) or shown; made the foreground window.
  WindowHandle AddBrowser(const std::string& className, const std::string& caption,
                          bool toolbarsShown = false);
  void Destroy(WindowHandle window);

  WindowHandle foreground = 0;
  std::map<WindowHandle, Window> windows;
  std::vector<WindowHandle> closeRequests;
  std::vector<int> classBufferSizes;
  std::vector<int> captionBufferSizes;
  int calls = 0;  // every query, to tell an idle step from a busy one
  std::optional<AppError> failure;  // thrown by ForegroundWindow when set

 private:
  WindowHandle next_ = 0x100;
};

}  // namespace nv::test
