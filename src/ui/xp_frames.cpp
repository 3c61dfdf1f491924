#include "ui/xp_frames.h"

#include "ui/xp_colors.h"

namespace nv {
namespace {

enum class Ring { kDarker, kLighter };

Rgb Step(Rgb c, Ring way, int depth) { return way == Ring::kDarker ? Shade(c, -depth) : Lighten(c, depth); }

// Outlines from the innermost ring outwards, each one step further from the
// background; then the top and left lines the same way in the other direction.
void DrawBevel(DrawSurface& s, const XpProps& p, Ring outlines, int depth) {
  const int w = s.Width(), h = s.Height();
  const Rgb back = ResolveColor(s, p.BackColor);
  const Ring lines = outlines == Ring::kDarker ? Ring::kLighter : Ring::kDarker;
  Rgb c = back;
  for (int n = p.BEVEL; n >= 0; --n) {
    c = Step(c, outlines, depth);
    s.FrameBox({n, n, w - n, h - n}, c);
  }
  c = back;
  for (int n = p.BEVEL; n >= 0; --n) {
    c = Step(c, lines, depth);
    s.Line({n, n}, {w - n - 1, n}, c);
    s.Line({n, n}, {n, h - n - 1}, c);
  }
}

void DrawTwoTone(DrawSurface& s, int outer, int inner) {
  const int w = s.Width(), h = s.Height();
  s.FrameBox({0, 0, w, h}, s.SysColor(outer));
  s.FrameBox({0, 0, w + 1, h + 1}, s.SysColor(inner));
}

}  // namespace

void DrawRaisedFrame(DrawSurface& s, const XpProps& p) {
  if (p.BEVEL > 1) return DrawBevel(s, p, Ring::kDarker, p.BEVELDEPTH);
  DrawTwoTone(s, syscolor::kButtonShadow, syscolor::k3dHighlight);
}

void DrawSunkenFrame(DrawSurface& s, const XpProps& p) {
  if (p.BEVEL > 1) return DrawBevel(s, p, Ring::kLighter, p.BEVELDEPTH);
  DrawTwoTone(s, syscolor::k3dHighlight, syscolor::kButtonShadow);
}

void DrawDefaultFrame(DrawSurface& s, const XpProps& p) {
  if (p.BEVEL > 1) return DrawBevel(s, p, Ring::kDarker, p.BEVELDEPTH + 3);
  const int w = s.Width(), h = s.Height();
  s.FrameBox({0, 0, w - 1, h - 1}, s.SysColor(syscolor::kButtonShadow));
  s.FrameBox({0, 0, w + 1, h + 1}, s.SysColor(syscolor::k3dHighlight));
  s.FrameBox({-1, -1, w + 1, h + 1}, s.SysColor(syscolor::k3dDarkShadow));
}

}  // namespace nv
