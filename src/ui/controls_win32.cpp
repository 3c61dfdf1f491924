#include "ui/controls_win32.h"

#include <commctrl.h>

#include "product/resource_ids.h"

namespace nv::ui {

static HFONT MakeFont(int weight) {
  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
  m.lfMessageFont.lfWeight = weight;
  return CreateFontIndirectA(&m.lfMessageFont);
}

HFONT DialogFont() {
  static HFONT f = MakeFont(FW_NORMAL);
  return f;
}

HFONT BoldFont() {
  static HFONT f = MakeFont(FW_BOLD);
  return f;
}

HWND Child(HWND parent, const char* cls, const std::string& text, DWORD style, int x, int y, int w,
           int h, int id) {
  HWND c = CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
  return c;
}

void CenterOnScreen(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HICON ProgramIcon(int size) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_NORVANE),
                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

int ScreenDpi() {
  static const int dpi = [] {
    HDC dc = GetDC(nullptr);
    const int d = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return d > 0 ? d : 96;
  }();
  return dpi;
}

int Scaled(int length96) { return MulDiv(length96, ScreenDpi(), 96); }

HFONT FaceFont(const char* face, int points, int weight) {
  LOGFONTA lf{};
  lf.lfHeight = -MulDiv(points, Scaled(96), 72);
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

SIZE OuterSize(DWORD style, DWORD exStyle, int clientW, int clientH) {
  RECT r{0, 0, clientW, clientH};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace nv::ui
