#include "ui/xp_colors.h"

#include <algorithm>

namespace nv {
namespace {
int Clamp(int v) { return std::clamp(v, 0, 255); }
}  // namespace

Rgb ResolveColor(DrawSurface& s, OleColor colour) {
  if (colour < 0x1000000) return colour;
  return s.SysColor(static_cast<int>(colour & 0xFFFFFF));
}

Rgb Shade(Rgb colour, int amount) {
  int r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
  return MakeRgb(Clamp(r + amount), Clamp(g + amount), Clamp(b + (b * amount) / 192));
}

Rgb Lighten(Rgb colour, int amount) {
  return MakeRgb(Clamp(RedOf(colour) + amount), Clamp(GreenOf(colour) + amount),
                 Clamp(BlueOf(colour) + amount));
}

Tints FlatStyleTints(DrawSurface& s, const XpProps& p) {
  if (!p.XPDefaultColors) return {ResolveColor(s, p.XPColor_Hover), ResolveColor(s, p.XPColor_Pressed)};
  Rgb h = s.SysColor(syscolor::kHighlight);
  int r = RedOf(h), g = GreenOf(h), b = BlueOf(h);
  return {MakeRgb(std::min(r + 171, 255), std::min(g + 154, 255), std::min(b + 108, 255)),
          MakeRgb(std::min(r + 156, 255), std::min(g + 139, 255), std::min(b + 108, 255))};
}

}  // namespace nv
