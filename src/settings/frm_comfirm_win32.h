#pragma once
#include <windows.h>

#include "settings/settings_view.h"

namespace nv {

class frmComfirm;

// The confirmation dialog's window: a picture, "Info Number: 0024", the
// question Label1 and two XP-style buttons. Modeless, owned by the settings
// dialog. Closing it or pressing Escape answers "&No".
class ConfirmWindow : public ConfirmView {
 public:
  explicit ConfirmWindow(HINSTANCE inst) : inst_(inst) {}
  ~ConfirmWindow() override;
  ConfirmWindow(const ConfirmWindow&) = delete;
  ConfirmWindow& operator=(const ConfirmWindow&) = delete;
  void Attach(frmComfirm& core, HWND owner) {
    core_ = &core;
    owner_ = owner;
  }
  HWND hwnd() const { return hwnd_; }

  void Open(const std::string& question) override;
  void BringForward() override;
  // Hides it at once and destroys it from the message loop: the button whose
  // click closed it is still inside its own handler.
  void Close() override;

 private:
  static INT_PTR CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
  void Build(const std::string& question);

  HINSTANCE inst_;
  frmComfirm* core_ = nullptr;
  HWND owner_ = nullptr;
  HWND hwnd_ = nullptr;
};

}  // namespace nv
