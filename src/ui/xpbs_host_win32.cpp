// Container services and window operations of an XP-style button window.
#include "ui/xpbs_window_win32.h"

#include <shellapi.h>

#include "ui/open_for_user.h"
#include "ui/xpbs_win32.h"

namespace nv {
namespace {
constexpr UINT kOverTimerMs = 10;
}  // namespace

FontSpec FontSpecOf(HFONT font) {
  LOGFONTA lf{};
  if (!font || !GetObjectA(font, sizeof lf, &lf)) return FontSpec{};
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  FontSpec f;
  f.name = lf.lfFaceName;
  f.size = lf.lfHeight < 0 ? -lf.lfHeight * 72.0 / dpi : (lf.lfHeight ? lf.lfHeight * 72.0 / dpi : 8.25);
  f.bold = lf.lfWeight >= FW_BOLD;
  f.italic = lf.lfItalic != 0;
  f.underline = lf.lfUnderline != 0;
  f.strikethrough = lf.lfStrikeOut != 0;
  return f;
}

XpBsWin32Host::XpBsWin32Host(HWND window, std::string displayName)
    : window_(window), displayName_(std::move(displayName)) {
  HWND parent = GetParent(window);
  HFONT font = parent ? reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0)) : nullptr;
  ambientFont = FontSpecOf(font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

Point XpBsWin32Host::ExtenderPosition() {
  RECT rc{};
  GetWindowRect(window_, &rc);
  MapWindowPoints(nullptr, GetParent(window_), reinterpret_cast<POINT*>(&rc), 2);
  return {rc.left, rc.top};
}

// The window text carries the mnemonic for the dialog manager. It is set
// past our own WM_SETTEXT handling, which would take it for a new caption.
void XpBsWin32Host::DeclareAccessKey(char, const std::string& mnemonicText) {
  DefWindowProcA(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(mnemonicText.c_str()));
}

// Addresses open for the desktop's user, never with Norvane's rights.
void XpBsWin32Host::Navigate(const std::string& url) {
  shell_.owner = nullptr;
  OpenForUser(shell_, &dialogs_, "open", url, SW_SHOWNORMAL);
}

void XpBsWin32Host::ShellOpen(const std::string& file) {
  shell_.owner = GetParent(window_);
  OpenForUser(shell_, &dialogs_, "open", file, SW_SHOWNORMAL);
}

void XpBsWin32Host::ShowBackBuffer() {
  HDC dc = GetDC(window_);
  surface.Present(dc);
  ReleaseDC(window_, dc);
}

void XpBsWin32Host::SetWindowEnabled(bool enabled) { EnableWindow(window_, enabled); }

int XpBsWin32Host::TwipsToPixelsX(int twips) {
  HDC dc = GetDC(window_);
  int px = MulDiv(twips, GetDeviceCaps(dc, LOGPIXELSX), 1440);
  ReleaseDC(window_, dc);
  return px;
}

int XpBsWin32Host::TwipsToPixelsY(int twips) {
  HDC dc = GetDC(window_);
  int px = MulDiv(twips, GetDeviceCaps(dc, LOGPIXELSY), 1440);
  ReleaseDC(window_, dc);
  return px;
}

void XpBsWin32Host::SetSize(int w, int h) {
  SetWindowPos(window_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  surface.Resize(w, h);
}

void XpBsWin32Host::SetWindowRegion(const WindowRegion* region) {
  if (!region) {
    SetWindowRgn(window_, nullptr, TRUE);
    return;
  }
  HRGN shape = CreateRectRgn(0, 0, region->width, region->height);
  for (Point p : region->cut) {
    HRGN pixel = CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1);
    CombineRgn(shape, shape, pixel, RGN_DIFF);
    DeleteObject(pixel);
  }
  if (!SetWindowRgn(window_, shape, TRUE)) DeleteObject(shape);  // the window owns it once set
}

void XpBsWin32Host::SetPointer(int mousePointer, const Picture&, bool hand) {
  pointer_ = mousePointer;
  hand_ = hand;
}

bool XpBsWin32Host::ApplyPointer() {
  LPCSTR shape = nullptr;
  switch (pointer_) {
    case 0: shape = hand_ ? IDC_HAND : nullptr; break;
    case 2: shape = IDC_CROSS; break;
    case 3: shape = IDC_IBEAM; break;
    case 11: shape = IDC_WAIT; break;
    case 12: shape = IDC_NO; break;
    default: shape = IDC_ARROW; break;
  }
  if (!shape) return false;
  SetCursor(LoadCursorA(nullptr, shape));
  return true;
}

void XpBsWin32Host::StartOverTimer() { SetTimer(window_, kXpBsOverTimer, kOverTimerMs, nullptr); }
void XpBsWin32Host::StopOverTimer() { KillTimer(window_, kXpBsOverTimer); }

bool XpBsWin32Host::PointerOverControl() {
  POINT pt{};
  return GetCursorPos(&pt) && WindowFromPoint(pt) == window_;
}

void XpBsWin32Host::CaptureMouse() { SetCapture(window_); }

void XpBsParentNotifier::Click() {
  SendMessageA(GetParent(window_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), BN_CLICKED),
               reinterpret_cast<LPARAM>(window_));
}

void XpBsParentNotifier::Notify(UINT code, short key, short button, short shift, float x, float y) {
  NMXPBS n{};
  n.hdr.hwndFrom = window_;
  n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
  n.hdr.code = code;
  n.keyCode = key;
  n.button = button;
  n.shift = shift;
  n.x = x;
  n.y = y;
  SendMessageA(GetParent(window_), WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
}

void XpBsParentNotifier::KeyDown(std::int16_t k, std::int16_t s) { Notify(XPBN_KEYDOWN, k, 0, s, 0, 0); }
void XpBsParentNotifier::KeyPress(std::int16_t a) { Notify(XPBN_KEYPRESS, a, 0, 0, 0, 0); }
void XpBsParentNotifier::KeyUp(std::int16_t k, std::int16_t s) { Notify(XPBN_KEYUP, k, 0, s, 0, 0); }
void XpBsParentNotifier::MouseDown(std::int16_t b, std::int16_t s, float x, float y) {
  Notify(XPBN_MOUSEDOWN, 0, b, s, x, y);
}
void XpBsParentNotifier::MouseMove(std::int16_t b, std::int16_t s, float x, float y) {
  Notify(XPBN_MOUSEMOVE, 0, b, s, x, y);
}
void XpBsParentNotifier::MouseUp(std::int16_t b, std::int16_t s, float x, float y) {
  Notify(XPBN_MOUSEUP, 0, b, s, x, y);
}
void XpBsParentNotifier::MouseIn(std::int16_t s) { Notify(XPBN_MOUSEIN, 0, 0, s, 0, 0); }
void XpBsParentNotifier::MouseOut(std::int16_t s) { Notify(XPBN_MOUSEOUT, 0, 0, s, 0, 0); }

}  // namespace nv
