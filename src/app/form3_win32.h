#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "app/form3.h"

namespace nv {

// The splash window: product name, banner line, version and the program's picture.
class SplashWindow : public SplashView {
 public:
  explicit SplashWindow(HINSTANCE inst);
  void SetBanner(const std::string& text) override;
  void SetVersion(const std::string& text) override;
  void Hide() override;
  // Shows the splash and starts Timer2, which calls onTimer2.
  void Show(std::function<void()> onTimer2);
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
  void Paint();
  HWND hwnd_ = nullptr;
  std::string banner_, version_;
  std::function<void()> onTimer2_;
};

}  // namespace nv
