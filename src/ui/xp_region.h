#pragma once
#include <vector>

#include "platform/draw_surface.h"

namespace nv {

// A window shape: the rectangle (0,0)-(width,height) without the cut pixels.
struct WindowRegion {
  int width = 0, height = 0;
  std::vector<Point> cut;
  bool Contains(int x, int y) const;
};

// Style 3's shape: three pixels cut at each corner.
WindowRegion RoundedRegion(int w, int h);

}  // namespace nv
