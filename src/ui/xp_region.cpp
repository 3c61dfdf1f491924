#include "ui/xp_region.h"

#include <algorithm>

namespace nv {

bool WindowRegion::Contains(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return false;
  return std::find(cut.begin(), cut.end(), Point{x, y}) == cut.end();
}

WindowRegion RoundedRegion(int w, int h) {
  return {w, h,
          {{0, 0}, {1, 0}, {0, 1},                      // top left
           {0, h - 1}, {1, h - 1}, {0, h - 2},          // bottom left
           {w - 2, 0}, {w - 1, 0}, {w - 1, 1},          // top right
           {w - 2, h - 1}, {w - 1, h - 1}, {w - 1, h - 2}}};  // bottom right
}

}  // namespace nv
