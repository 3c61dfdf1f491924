#include "update/update_picture.h"

namespace nv {

namespace {
constexpr Rgb kSea = MakeRgb(40, 110, 200);
constexpr Rgb kLand = MakeRgb(90, 170, 90);
constexpr Rgb kRim = MakeRgb(20, 60, 130);
constexpr Rgb kArrow = MakeRgb(30, 150, 40);
constexpr Rgb kArrowRim = MakeRgb(10, 90, 20);

// Pixel centres in half pixels, so that a disc can centre between pixels.
bool InDisc(int x, int y, int cx2, int cy2, int r2x4) {
  const int dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
  return dx * dx + dy * dy <= r2x4;
}

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
      if (!InDisc(x, y, 15, 15, 180)) continue;  // a disc 13 pixels across
      const bool rim = !InDisc(x, y, 15, 15, 125);
      const bool land = InDisc(x, y, 10, 10, 26) || InDisc(x, y, 19, 21, 16);
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
