#include "update/update_picture.h"

namespace nv {

namespace {
constexpr Rgb kSea = MakeRgb(40, 110, 200);
constexpr Rgb kLand = MakeRgb(90, 170, 90);
constexpr Rgb kRim = MakeRgb(20, 60, 130);
constexpr Rgb kArrow = MakeRgb(30, 150, 40);
constexpr Rgb kArrowRim = MakeRgb(10, 90, 20);

bool InDisc(int x, int y, int cx, int cy, int r2) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r2; }

// The arrow: a shaft 3 pixels wide from row 6 to 10, a head from row 10 down.
bool InArrow(int x, int y) {
  if (y >= 6 && y <= 10) return x >= 11 && x <= 13;
  if (y >= 11 && y <= 14) return x >= 9 + (y - 11) && x <= 15 - (y - 11);
  return false;
}
}  // namespace

Picture UpdateButtonPicture() {
  auto img = std::make_shared<Image>(16, 16, 0);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (!InDisc(x, y, 7, 7, 49)) continue;
      const bool rim = !InDisc(x, y, 7, 7, 36);
      const bool land = InDisc(x, y, 5, 5, 6) || InDisc(x, y, 9, 10, 4);
      img->At(x, y) = rim ? kRim : land ? kLand : kSea;
    }
  }
  for (int y = 5; y < 16; ++y) {
    for (int x = 8; x < 16; ++x) {
      if (!InArrow(x, y)) continue;
      const bool edge = !InArrow(x - 1, y) || !InArrow(x + 1, y) || !InArrow(x, y - 1) || !InArrow(x, y + 1);
      img->At(x, y) = edge ? kArrowRim : kArrow;
    }
  }
  return img;
}

}  // namespace nv
