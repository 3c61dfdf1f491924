#pragma once
#include <windows.h>

#include <string>

namespace nv::ui {

// Small helpers shared by the program's windows.
HFONT DialogFont();
HFONT BoldFont();
HWND Child(HWND parent, const char* cls, const std::string& text, DWORD style, int x, int y, int w,
           int h, int id = 0);
void CenterOnScreen(HWND hwnd);
HICON ProgramIcon(int size);
// A top-level window's outer size for a wanted client size.
SIZE OuterSize(DWORD style, DWORD exStyle, int clientW, int clientH);
// The object a window was created for (CreateWindowEx's last argument),
// kept in the window's user data from WM_NCCREATE on.
template <class T>
T* WindowObject(HWND h, UINT m, LPARAM l) {
  if (m == WM_NCCREATE)
    SetWindowLongPtrA(h, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams));
  return reinterpret_cast<T*>(GetWindowLongPtrA(h, GWLP_USERDATA));
}
// The screen's dpi (read once), and a length laid out at 96 dpi in pixels of it.
int ScreenDpi();
int Scaled(int length96);
// A font of the given face and size in points at the screen's dpi (kept for
// the life of the program).
HFONT FaceFont(const char* face, int points, int weight);

}  // namespace nv::ui
