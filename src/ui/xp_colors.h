#pragma once
#include "platform/draw_surface.h"
#include "ui/xp_props.h"

namespace nv {

// RGB values pass unchanged; system colours come from the surface.
Rgb ResolveColor(DrawSurface& s, OleColor colour);

// Red and green move by the full amount, blue in proportion to itself
// (blue * amount / 192); every component clamped to 0..255.
Rgb Shade(Rgb colour, int amount);

// Each component raised by `amount`, capped at 255.
Rgb Lighten(Rgb colour, int amount);

// Style 2's background while hovered and while pressed.
struct Tints {
  Rgb hover, pressed;
};
Tints FlatStyleTints(DrawSurface& s, const XpProps& p);

}  // namespace nv
