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
// A length laid out at 96 dpi, in pixels of the screen's dpi.
int Scaled(int length96);
// A font of the given face and size in points at the screen's dpi (kept for
// the life of the program).
HFONT FaceFont(const char* face, int points, int weight);

}  // namespace nv::ui
