#pragma once
#include <windows.h>

#include "platform/background.h"

namespace nv {

// Each job on a thread of its own; the finished job is posted to a hidden
// message-only window of the thread that made this object (the UI thread),
// so that its done runs there from the message loop, whatever waits the
// loop uses. A job that finishes after this object is gone is dropped.
class Win32Background : public Background {
 public:
  Win32Background() = default;
  ~Win32Background() override;
  Win32Background(const Win32Background&) = delete;
  Win32Background& operator=(const Win32Background&) = delete;
  void Run(std::function<void()> work, std::function<void()> done) override;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
  bool EnsureWindow();
  HWND window_ = nullptr;
};

}  // namespace nv
