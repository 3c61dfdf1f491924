// The XP-style button's window procedure: turns window messages into the
// control's notifications.
#include "ui/xpbs_win32.h"

#include <windowsx.h>

#include <memory>

#include "ui/xpbs_window_win32.h"
#include "platform/window_barrier.h"

namespace nv {
namespace {

XpBsWindow* Of(HWND w) { return reinterpret_cast<XpBsWindow*>(GetWindowLongPtrA(w, GWLP_USERDATA)); }

std::int16_t ShiftState() {
  std::int16_t s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= 1;
  if (GetKeyState(VK_CONTROL) < 0) s |= 2;
  if (GetKeyState(VK_MENU) < 0) s |= 4;
  return s;
}

std::int16_t HeldButtons(WPARAM wp) {
  std::int16_t b = 0;
  if (wp & MK_LBUTTON) b |= 1;
  if (wp & MK_RBUTTON) b |= 2;
  if (wp & MK_MBUTTON) b |= 4;
  return b;
}

std::int16_t ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return 2;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return 4;
    default: return 1;
  }
}

std::string DisplayNameOf(HWND w, const CREATESTRUCTA* cs) {
  if (cs->lpszName && *cs->lpszName) return cs->lpszName;
  return "XpBs" + std::to_string(GetDlgCtrlID(w));
}

// A dialog's font arriving later replaces the caption font while the
// control still follows its container.
void TakeAmbientFont(XpBsWindow& x, HFONT font) {
  FontSpec wanted = FontSpecOf(font);
  const bool following = x.button.Font() == x.host.ambientFont;
  x.host.ambientFont = wanted;
  if (following) x.button.SetFont(wanted);
}

void SetDefault(XpBsWindow& x, bool isDefault, bool redraw) {
  if (x.host.isDefault == isDefault) return;
  x.host.isDefault = isDefault;
  if (redraw) x.button.Refresh();
}

// A press of the mouse gives the button the focus without the dialog
// manager, which moves the default itself only on Tab and WM_NEXTDLGCTL
// (taking it here then would undo its own move): the button that has the
// focus is the one Enter presses, so it takes the default from its siblings
// as the dialog manager would.
void TakeDefault(HWND w) {
  HWND parent = GetParent(w);
  if (!parent || (SendMessageA(w, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) return;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (c != w && (SendMessageA(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
      SendMessageA(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  SendMessageA(w, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

LRESULT Mouse(XpBsWindow& x, HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const float mx = static_cast<float>(GET_X_LPARAM(lp)), my = static_cast<float>(GET_Y_LPARAM(lp));
  switch (msg) {
    case WM_MOUSEMOVE:
      x.button.MouseMove(HeldButtons(wp), ShiftState(), mx, my);
      break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
      // A held button keeps the mouse, so that a release outside still arrives.
      SetCapture(w);
      if (GetFocus() != w) {
        SetFocus(w);
        TakeDefault(w);
      }
      x.button.MouseDown(ButtonOf(msg), ShiftState(), mx, my);
      break;
    case WM_LBUTTONDBLCLK:
      x.button.DblClick();
      break;
    default:  // button up
      if (GetCapture() == w) ReleaseCapture();
      x.button.MouseUp(ButtonOf(msg), ShiftState(), mx, my);
      break;
  }
  return 0;
}

LRESULT Create(HWND w, LPARAM lp) {
  auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
  auto* x = new XpBsWindow(w, DisplayNameOf(w, cs));
  SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(x));
  x->host.surface.Resize(cs->cx, cs->cy);
  x->button.InitProperties();
  return 0;
}

LRESULT Handle(XpBsWindow* x, HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  XpBs& b = x->button;
  switch (msg) {
    case WM_NCDESTROY:
      SetWindowLongPtrA(w, GWLP_USERDATA, 0);
      x->destroyed = true;
      return 0;
    case WM_SIZE:
      x->host.surface.Resize(LOWORD(lp), HIWORD(lp));
      b.Resize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      x->host.surface.Present(dc);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
      return Mouse(*x, w, msg, wp, lp);
    case WM_TIMER:
      b.OverTimer();
      return 0;
    case WM_KEYDOWN:
      b.KeyDown(static_cast<std::int16_t>(wp), ShiftState());
      return 0;
    case WM_KEYUP:
      b.KeyUp(static_cast<std::int16_t>(wp), ShiftState());
      return 0;
    case WM_CHAR:
      b.KeyPress(static_cast<std::int16_t>(static_cast<unsigned char>(wp)));
      return 0;
    case WM_SETFOCUS:
      b.GotFocus();
      return 0;
    case WM_KILLFOCUS:
      b.LostFocus();
      return 0;
    case WM_ENABLE:
      if ((wp != 0) != b.Enabled()) b.SetEnabled(wp != 0);
      return 0;
    // The dialog manager's default-button protocol, as a push button keeps
    // it: Enter presses the button that says it is the default, and the
    // focus moving onto a button makes it the default (BM_SETSTYLE).
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (x->host.isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE:
      SetDefault(*x, (wp & BS_TYPEMASK) == BS_DEFPUSHBUTTON, lp != 0);
      return 0;
    case BM_CLICK:  // the dialog manager found our access key
      b.AccessKeyPress();
      return 0;
    case WM_SETTEXT:
      b.SetCaption(lp ? reinterpret_cast<const char*>(lp) : "");
      return TRUE;
    case WM_SETFONT:
      TakeAmbientFont(*x, reinterpret_cast<HFONT>(wp));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && x->host.ApplyPointer()) return TRUE;
      break;
    case WM_SYSCOLORCHANGE: case WM_SETTINGCHANGE:
      b.AmbientChanged();
      return 0;
    case WM_DESTROY:
      x->host.StopOverTimer();
      x->host.alive = false;
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK XpBsProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CREATE) return Create(w, lp);
  XpBsWindow* x = Of(w);
  if (!x) return DefWindowProcA(w, msg, wp, lp);
  ++x->depth;
  const LRESULT result = CallBarrier<LRESULT>(
      "XP-style button", [&] { return Handle(x, w, msg, wp, lp); }, [&] { return DefWindowProcA(w, msg, wp, lp); });
  if (--x->depth == 0 && x->destroyed) delete x;
  return result;
}

}  // namespace

bool RegisterXpBsClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  if (GetClassInfoExA(instance, kXpBsClassName, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = XpBsProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kXpBsClassName;
  return RegisterClassExA(&wc) != 0;
}

XpBs* XpBsOf(HWND window) {
  XpBsWindow* x = Of(window);
  return x ? &x->button : nullptr;
}

void SetXpBsDefault(HWND window, bool isDefault) {
  if (XpBsWindow* x = Of(window)) {
    x->host.isDefault = isDefault;
    x->button.Refresh();
  }
}

void SetXpBsParentPicture(HWND window, Picture picture) {
  if (XpBsWindow* x = Of(window)) {
    x->host.parentPicture = std::move(picture);
    x->button.Refresh();
  }
}

}  // namespace nv
