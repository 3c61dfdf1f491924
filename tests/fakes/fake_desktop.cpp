#include "fakes/fake_desktop.h"

#include <algorithm>
#include <cstring>

namespace nv::test {

WindowHandle FakeDesktop::ForegroundWindow() {
  ++calls;
  if (failure) throw *failure;
  return windows.count(foreground) ? foreground : 0;
}

int FakeDesktop::ClassName(WindowHandle window, char* buffer, int bufferSize) {
  ++calls;
  classBufferSizes.push_back(bufferSize);
  auto it = windows.find(window);
  if (it == windows.end() || bufferSize <= 0) return 0;
  const int n = std::min<int>(static_cast<int>(it->second.className.size()), bufferSize - 1);
  std::memcpy(buffer, it->second.className.data(), static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

bool FakeDesktop::IsVisible(WindowHandle window) {
  ++calls;
  for (auto it = windows.find(window); it != windows.end(); it = windows.find(it->second.parent))
    if (!it->second.visible) return false;
  return windows.count(window) > 0;
}

WindowHandle FakeDesktop::FirstChild(WindowHandle parent) {
  ++calls;
  for (const auto& [handle, w] : windows)
    if (w.parent == parent && parent != 0) return handle;
  return 0;
}

std::string FakeDesktop::Caption(WindowHandle window, int bufferSize) {
  ++calls;
  captionBufferSizes.push_back(bufferSize);
  auto it = windows.find(window);
  if (it == windows.end() || bufferSize <= 0) return "";
  return it->second.caption.substr(0, static_cast<size_t>(bufferSize - 1));
}

bool FakeDesktop::PostClose(WindowHandle window) {
  ++calls;
  if (!windows.count(window)) return false;
  closeRequests.push_back(window);
  return true;
}

WindowHandle FakeDesktop::Add(const std::string& className, const std::string& caption,
                              bool visible, WindowHandle parent) {
  const WindowHandle h = next_++;
  windows[h] = Window{className, caption, visible, parent};
  return h;
}

WindowHandle FakeDesktop::AddBrowser(const std::string& className, const std::string& caption,
                                     bool toolbarsShown) {
  const WindowHandle top = Add(className, caption);
  Add("WorkerW", "", toolbarsShown, top);
  foreground = top;
  return top;
}

void FakeDesktop::Destroy(WindowHandle window) {
  for (auto it = windows.begin(); it != windows.end();)
    it = it->second.parent == window ? windows.erase(it) : std::next(it);
  windows.erase(window);
}

}  // namespace nv::test
