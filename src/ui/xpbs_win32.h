#pragma once
#include <windows.h>

#include "platform/draw_surface.h"

namespace nv {

class XpBs;

// The window class of the XP-style button. Place it like any child control
// (CreateWindowEx or a dialog template); its window text at creation is the
// instance's display name and first caption.
constexpr char kXpBsClassName[] = "XpBs";
// The 10 ms hover timer of a button window (`OverTimer`).
constexpr UINT_PTR kXpBsOverTimer = 1;
bool RegisterXpBsClass(HINSTANCE instance);

// The control behind a window of the class, to set its properties.
XpBs* XpBsOf(HWND window);

// The container's side of the extender: the default-button flag and the
// picture of the parent that a transparent background shows.
void SetXpBsDefault(HWND window, bool isDefault);
void SetXpBsParentPicture(HWND window, Picture picture);

// The parent hears `Click` as WM_COMMAND with BN_CLICKED and every other
// event as WM_NOTIFY with one of these codes and an NMXPBS.
enum XpBsNotification : UINT {
  XPBN_KEYDOWN = 1,
  XPBN_KEYPRESS,
  XPBN_KEYUP,
  XPBN_MOUSEDOWN,
  XPBN_MOUSEMOVE,
  XPBN_MOUSEUP,
  XPBN_MOUSEIN,
  XPBN_MOUSEOUT,
};
struct NMXPBS {
  NMHDR hdr;
  short keyCode;  // KeyDown, KeyUp; the character for KeyPress
  short button;
  short shift;
  float x, y;
};

}  // namespace nv
