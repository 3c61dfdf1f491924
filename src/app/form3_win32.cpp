#include "app/form3_win32.h"

#include "app/frm_main.h"
#include "ui/controls_win32.h"
#include "platform/window_barrier.h"

namespace nv {

namespace {
constexpr char kClass[] = "NorvaneSplash";
constexpr UINT_PTR kTimer2 = 2;
constexpr int kW = 380, kH = 190;
}  // namespace

SplashWindow::SplashWindow(HINSTANCE inst) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);
  hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, kProductTitle, WS_POPUP | WS_BORDER,
                          0, 0, kW, kH, nullptr, nullptr, inst, this);
  ui::CenterOnScreen(hwnd_);
}

void SplashWindow::SetBanner(const std::string& text) {
  banner_ = text;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void SplashWindow::SetVersion(const std::string& text) {
  version_ = text;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void SplashWindow::Hide() { ShowWindow(hwnd_, SW_HIDE); }

void SplashWindow::Show(std::function<void()> onTimer2) {
  onTimer2_ = std::move(onTimer2);
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);
  SetTimer(hwnd_, kTimer2, kTimer2Ms, nullptr);
}

void SplashWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT band{0, 0, kW, 56};
  HBRUSH navy = CreateSolidBrush(RGB(24, 52, 112));
  FillRect(dc, &band, navy);
  DeleteObject(navy);
  DrawIconEx(dc, 16, 8, ui::ProgramIcon(48), 40, 40, 0, nullptr, DI_NORMAL);
  SetBkMode(dc, TRANSPARENT);
  LOGFONTA lf{};
  lf.lfHeight = -26;
  lf.lfWeight = FW_BOLD;
  lstrcpyA(lf.lfFaceName, "Tahoma");
  HFONT big = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dc, big);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT title{68, 10, kW - 10, 50};
  DrawTextA(dc, kProductTitle, -1, &title, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  SelectObject(dc, ui::DialogFont());
  SetTextColor(dc, RGB(32, 32, 32));
  RECT line{20, 76, kW - 20, 100};
  DrawTextA(dc, banner_.c_str(), -1, &line, DT_SINGLELINE | DT_LEFT);
  RECT ver{20, 104, kW - 20, 128};
  DrawTextA(dc, version_.c_str(), -1, &ver, DT_SINGLELINE | DT_LEFT);
  SetTextColor(dc, RGB(110, 110, 110));
  RECT note{20, kH - 40, kW - 20, kH - 14};
  DrawTextA(dc, "Banner ads, popups and cookies, blocked near the clock.", -1, &note,
            DT_SINGLELINE | DT_LEFT);
  SelectObject(dc, old);
  DeleteObject(big);
  EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK SplashWindow::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<SplashWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  switch (m) {
    case WM_NCCREATE:
      SetWindowLongPtrA(h, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams));
      break;
    case WM_PAINT:
      if (self) {
        CallBarrier("splash", [&] { self->Paint(); });
        return 0;
      }
      break;
    case WM_TIMER:
      if (self && w == kTimer2) {
        KillTimer(h, kTimer2);
        if (self->onTimer2_) CallBarrier("splash", [&] { self->onTimer2_(); });
        return 0;
      }
      break;
  }
  return DefWindowProcA(h, m, w, l);
}

}  // namespace nv
