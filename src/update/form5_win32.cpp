// The checker's window: hidden for its whole life; it shows that the checker
// is loaded.
#include "update/form5.h"
#include "update/update_windows_win32.h"

namespace nv {

namespace {

constexpr char kClass[] = "NorvaneForm5";

class CheckerWindow : public CheckerView {
 public:
  explicit CheckerWindow(HINSTANCE inst) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(inst, kClass, &wc)) {
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = inst;
      wc.lpszClassName = kClass;
      RegisterClassA(&wc);
    }
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClass, "Form5", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
  }
  ~CheckerWindow() override { Close(); }
  void Hide() override { ShowWindow(hwnd_, SW_HIDE); }
  void Close() override {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace

std::unique_ptr<CheckerView> Win32UpdateViews::MakeChecker(Form5&) { return std::make_unique<CheckerWindow>(inst_); }

}  // namespace nv
