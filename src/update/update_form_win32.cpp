#include "update/update_form_win32.h"

#include "ui/controls_win32.h"
#include "ui/xpbs.h"
#include "ui/xpbs_win32.h"
#include "update/update_ids.h"
#include "platform/window_barrier.h"

namespace nv {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr std::int16_t kPointerCustom = 99;
constexpr std::int16_t kPointerHourglass = 11;
constexpr UINT kDestroyLater = WM_APP + 1;

int LabelId(UpdateLabel label) {
  switch (label) {
    case UpdateLabel::Label4: return update_ids::kLabel4;
    case UpdateLabel::Label5: return update_ids::kLabel5;
    case UpdateLabel::Label6: return update_ids::kLabel6;
    case UpdateLabel::Label7: return update_ids::kLabel7;
    default: return update_ids::kLabel8;
  }
}

bool IsXpBs(HWND h) {
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  return lstrcmpA(cls, kXpBsClassName) == 0;
}

void Register(HINSTANCE inst, const char* className, WNDPROC proc) {
  WNDCLASSEXA wc{};
  if (GetClassInfoExA(inst, className, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = inst;
  wc.hIcon = ui::ProgramIcon(32);
  wc.hIconSm = ui::ProgramIcon(16);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  RegisterClassExA(&wc);
  RegisterXpBsClass(inst);
}

}  // namespace

UpdateFormWindow::UpdateFormWindow(HINSTANCE inst, const char* className, const char* caption, int clientW,
                                   int clientH) {
  Register(inst, className, Proc);
  const SIZE outer = ui::OuterSize(kStyle, WS_EX_CONTROLPARENT, ui::Scaled(clientW), ui::Scaled(clientH));
  hwnd_ = CreateWindowExA(WS_EX_CONTROLPARENT, className, caption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                          outer.cy, nullptr, nullptr, inst, this);
  ui::CenterOnScreen(hwnd_);
}

// Messages that come while the window goes must not reach a half-destroyed object.
UpdateFormWindow::~UpdateFormWindow() {
  if (!hwnd_) return;
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

HWND UpdateFormWindow::Label(const std::string& text, int x, int y, int w, int h, int id, HFONT font,
                             DWORD style) {
  HWND c = ui::Child(hwnd_, "STATIC", text, style | SS_NOPREFIX, ui::Scaled(x), ui::Scaled(y), ui::Scaled(w),
                     ui::Scaled(h), id);
  if (font) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

HWND UpdateFormWindow::Group(const std::string& text, int x, int y, int w, int h) {
  return ui::Child(hwnd_, "BUTTON", text, BS_GROUPBOX, ui::Scaled(x), ui::Scaled(y), ui::Scaled(w),
                   ui::Scaled(h));
}

void UpdateFormWindow::Icon(int x, int y) {
  const int size = ui::Scaled(32);
  HWND icon = ui::Child(hwnd_, "STATIC", "", SS_ICON | SS_REALSIZEIMAGE, ui::Scaled(x), ui::Scaled(y), size, size);
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(ui::ProgramIcon(size)), 0);
}

HWND UpdateFormWindow::Button(const std::string& caption, int x, int y, int w, int h, int id) {
  HWND b = ui::Child(hwnd_, kXpBsClassName, caption, WS_TABSTOP, ui::Scaled(x), ui::Scaled(y), ui::Scaled(w),
                     ui::Scaled(h), id);
  XpBs* x3 = XpBsOf(b);
  x3->SetButtonStyle(kStyleRounded);
  x3->SetMousePointer(kPointerCustom);
  return b;
}

HFONT UpdateFormWindow::VersionFont() {
  static HFONT f = ui::FaceFont("Verdana", 10, FW_BOLD);
  return f;
}

HFONT UpdateFormWindow::HeadingFont() {
  static HFONT f = ui::FaceFont("Tahoma", 16, FW_BOLD);
  return f;
}

void UpdateFormWindow::SetLabel(UpdateLabel label, const std::string& text) {
  if (hwnd_) SetDlgItemTextA(hwnd_, LabelId(label), text.c_str());
}

// The buttons set their own pointer, so the hourglass goes onto them too
// while it shows, and back to their own afterwards.
void UpdateFormWindow::SetMousePointer(int pointer) {
  pointer_ = pointer;
  if (!hwnd_) return;
  for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsXpBs(c)) XpBsOf(c)->SetMousePointer(pointer == kPointerHourglass ? kPointerHourglass : kPointerCustom);
  if (PointerOverWindow()) SetCursor(LoadCursorA(nullptr, pointer == kPointerHourglass ? IDC_WAIT : IDC_ARROW));
}

// While one of the program's boxes is up the window is disabled, and the box
// stays in front of it.
void UpdateFormWindow::Show() {
  if (!hwnd_ || closing_) return;
  if (!IsWindowEnabled(hwnd_)) {
    ShowWindow(hwnd_, SW_SHOWNA);
    return;
  }
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  if (!IsChild(hwnd_, GetFocus())) RestoreFocus();
}

// On top of the other windows, restored when minimized, but not active:
// keys typed elsewhere stay there.
void UpdateFormWindow::ShowInactive() {
  if (!hwnd_ || closing_) return;
  ShowWindow(hwnd_, IsWindowVisible(hwnd_) && !IsIconic(hwnd_) ? SW_SHOWNA : SW_SHOWNOACTIVATE);
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The button whose click closes the window is still inside its own handler:
// the window hides at once and is destroyed from the message loop.
void UpdateFormWindow::Close() {
  if (!hwnd_ || closing_) return;
  closing_ = true;
  ShowWindow(hwnd_, SW_HIDE);
  PostMessageA(hwnd_, kDestroyLater, 0, 0);
}

bool UpdateFormWindow::PointerOverWindow() const {
  POINT pt{};
  HWND under = GetCursorPos(&pt) ? WindowFromPoint(pt) : nullptr;
  return under && (under == hwnd_ || IsChild(hwnd_, under));
}

void UpdateFormWindow::ClickFocusedButton() {
  HWND f = GetFocus();
  if (f && IsChild(hwnd_, f) && IsXpBs(f)) SendMessageA(f, BM_CLICK, 0, 0);
}

void UpdateFormWindow::RestoreFocus() {
  HWND target = lastFocus_ && IsChild(hwnd_, lastFocus_) ? lastFocus_
                : firstFocus_                          ? firstFocus_
                                                       : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (target) SetFocus(target);
}

LRESULT UpdateFormWindow::Handle(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (closing_ && (m == WM_COMMAND || m == WM_CLOSE)) return 0;  // the form has unloaded
  switch (m) {
    case kDestroyLater:
      DestroyWindow(h);
      return 0;
    case WM_COMMAND:
      if (LOWORD(w) == IDOK) ClickFocusedButton();
      else if (LOWORD(w) == IDCANCEL) OnClose();
      else if (HIWORD(w) == BN_CLICKED) OnCommand(LOWORD(w));
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(w) == WA_INACTIVE) lastFocus_ = GetFocus();
      else RestoreFocus();
      return 0;
    case WM_SETCURSOR:
      if (pointer_ == kPointerHourglass && LOWORD(l) == HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK UpdateFormWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  auto* self = ui::WindowObject<UpdateFormWindow>(h, m, l);
  if (!self) return DefWindowProcA(h, m, w, l);
  if (m == WM_NCCREATE) self->hwnd_ = h;
  if (m == WM_NCDESTROY) SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  return CallBarrier<LRESULT>("update window", [&] { return self->Handle(h, m, w, l); },
                              [&] { return DefWindowProcA(h, m, w, l); });
}

}  // namespace nv
