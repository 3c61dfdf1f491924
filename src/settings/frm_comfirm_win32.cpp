#include "settings/frm_comfirm_win32.h"

#include "ui/controls_win32.h"
#include "ui/modeless_win32.h"
#include "settings/frm_comfirm.h"
#include "settings/settings_ids.h"
#include "settings/settings_texts.h"
#include "ui/xpbs.h"
#include "ui/xpbs_win32.h"
#include "platform/window_barrier.h"

namespace nv {

namespace {
constexpr int kClientW = 340, kClientH = 136;
constexpr UINT kDestroyLater = WM_APP + 1;
constexpr std::int32_t kRoundedStyle = 3;
namespace id = settings_id;

HWND Scaled(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int controlId) {
  return ui::Child(parent, cls, text, style, ui::Scaled(x), ui::Scaled(y), ui::Scaled(w), ui::Scaled(h), controlId);
}
}  // namespace

ConfirmWindow::~ConfirmWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void ConfirmWindow::Open(const std::string& question) {
  RegisterXpBsClass(inst_);
  hwnd_ = ui::CreateEmptyDialog(inst_, owner_, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                WS_EX_CONTROLPARENT, settings_text::kConfirmCaption, Proc,
                                reinterpret_cast<LPARAM>(this));
  Build(question);
  ui::RegisterModeless(hwnd_);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
}

void ConfirmWindow::Build(const std::string& question) {
  const SIZE outer = ui::OuterSize(static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)),
                                   static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)), ui::Scaled(kClientW),
                                   ui::Scaled(kClientH));
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ui::CenterOnScreen(hwnd_);
  HWND picture = Scaled(hwnd_, "STATIC", "", SS_ICON, 16, 16, 32, 32, 0);
  SendMessageA(picture, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_WARNING)), 0);
  HWND info = Scaled(hwnd_, "STATIC", settings_text::kInfoNumber, SS_LEFT, 62, 14, 264, 18, 0);
  SendMessageA(info, WM_SETFONT, reinterpret_cast<WPARAM>(ui::BoldFont()), FALSE);
  Scaled(hwnd_, "STATIC", question.c_str(), SS_LEFT | SS_NOPREFIX, 62, 38, 264, 40, id::kLabel1);
  HWND yes = Scaled(hwnd_, kXpBsClassName, settings_text::kYes, WS_TABSTOP, 84, 92, 82, 30, id::kYes);
  HWND no = Scaled(hwnd_, kXpBsClassName, settings_text::kNo, WS_TABSTOP, 176, 92, 82, 30, id::kNo);
  for (HWND b : {yes, no})
    if (XpBs* button = XpBsOf(b)) button->SetButtonStyle(kRoundedStyle);
  SetXpBsDefault(yes, true);
  SendMessageA(hwnd_, DM_SETDEFID, id::kYes, 0);
  SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(yes), TRUE);
}

void ConfirmWindow::BringForward() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
}

void ConfirmWindow::Close() {
  if (!hwnd_) return;
  HWND closing = hwnd_;
  hwnd_ = nullptr;
  ui::UnregisterModeless(closing);
  ShowWindow(closing, SW_HIDE);
  PostMessageA(closing, kDestroyLater, 0, 0);
}

INT_PTR CALLBACK ConfirmWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_INITDIALOG) {
    SetWindowLongPtrA(h, DWLP_USER, l);
    return FALSE;
  }
  auto* self = reinterpret_cast<ConfirmWindow*>(GetWindowLongPtrA(h, DWLP_USER));
  switch (m) {
    case kDestroyLater:
      DestroyWindow(h);
      return TRUE;
    case WM_DESTROY:
      ui::UnregisterModeless(h);
      if (self && self->hwnd_ == h) self->hwnd_ = nullptr;
      return TRUE;
    case WM_CLOSE:
      if (self && self->core_ && self->hwnd_ == h) CallBarrier("confirmation", [&] { self->core_->XpBs2_Click(); });
      return TRUE;
    case WM_COMMAND:
      if (!self || !self->core_ || self->hwnd_ != h || HIWORD(w) != BN_CLICKED) return FALSE;
      CallBarrier("confirmation", [&] {
        if (LOWORD(w) == id::kYes) self->core_->XpBs1_Click();
        else if (LOWORD(w) == id::kNo || LOWORD(w) == IDCANCEL) self->core_->XpBs2_Click();
      });
      return TRUE;
  }
  return FALSE;
}

}  // namespace nv
