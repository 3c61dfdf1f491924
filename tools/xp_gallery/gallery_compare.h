#pragma once
#include <windows.h>

#include <string>

namespace nv {

struct Agreement {
  long long equal = 0, compared = 0;
};

// Captures what GDI drew in a button window and compares it with the raster
// rendering of the same button, pixel for pixel, inside the window's shape
// and outside the rectangles that hold text.
Agreement CompareWithRaster(HWND button, std::string* firstDifference);

// Saves a window's pixels as a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);

}  // namespace nv
