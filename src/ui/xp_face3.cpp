#include "ui/xp_face3.h"

#include "ui/xp_colors.h"

namespace nv {
namespace {

struct Stroke {
  int shade;
  Point from, to;
};

void Strokes(DrawSurface& s, Rgb base, std::initializer_list<Stroke> list) {
  for (const Stroke& k : list) s.Line(k.from, k.to, Shade(base, k.shade));
}

void Corners(DrawSurface& s, Rgb c) {
  const int w = s.Width(), h = s.Height();
  for (Point p : {Point{1, 1}, Point{1, h - 2}, Point{w - 2, 1}, Point{w - 2, h - 2}}) s.SetPixel(p, c);
}

void DrawDisabled(DrawSurface& s, Rgb back) {
  const int w = s.Width(), h = s.Height();
  Rgb t = Shade(back, 48);
  s.FillBox({0, 0, w, h}, Shade(t, -24));
  s.FrameBox({0, 0, w, h}, Shade(t, -84));
  Corners(s, Shade(t, -72));
}

// A ring in colour c just inside the outline, with its highlights.
void Ring(DrawSurface& s, Rgb c, int bottom, int top, int upper, int sides) {
  const int w = s.Width(), h = s.Height();
  s.FrameBox({1, 2, w - 1, h - 2}, c);
  Strokes(s, c, {{bottom, {2, h - 2}, {w - 2, h - 2}},
                 {top, {2, 1}, {w - 2, 1}},
                 {upper, {1, 2}, {w - 1, 2}},
                 {sides, {2, 3}, {2, h - 3}},
                 {sides, {w - 3, 3}, {w - 3, h - 3}}});
}

void InnerLinesPressed(DrawSurface& s, Rgb u) {
  const int w = s.Width(), h = s.Height();
  Strokes(s, u, {{16, {2, h - 2}, {w - 2, h - 2}},
                 {10, {1, h - 3}, {w - 2, h - 3}},
                 {5, {w - 2, 2}, {w - 2, h - 2}},
                 {0, {w - 3, 3}, {w - 3, h - 3}},
                 {-32, {2, 1}, {w - 2, 1}},
                 {-24, {1, 2}, {w - 2, 2}},
                 {-32, {1, 2}, {1, h - 2}},
                 {-22, {2, 2}, {2, h - 2}}});
}

void InnerLinesRaised(DrawSurface& s, Rgb u) {
  const int w = s.Width(), h = s.Height();
  Strokes(s, u, {{-48, {2, h - 2}, {w - 2, h - 2}},
                 {-32, {1, h - 3}, {w - 2, h - 3}},
                 {-36, {w - 2, 2}, {w - 2, h - 2}},
                 {-24, {w - 3, 3}, {w - 3, h - 3}},
                 {16, {2, 1}, {w - 2, 1}},
                 {10, {1, 2}, {w - 2, 2}},
                 {-5, {1, 2}, {1, h - 2}},
                 {-10, {2, 3}, {2, h - 3}}});
}

}  // namespace

int GradientStep(int scale, int i, int h) {
  int q = scale * i / h, r = scale * i % h;
  if (2 * r > h || (2 * r == h && (q & 1))) ++q;
  return q;
}

void DrawRoundedFace(DrawSurface& s, const XpProps& p, FaceState state, bool focused) {
  const int w = s.Width(), h = s.Height();
  const Rgb back = ResolveColor(s, p.BackColor);
  s.FillBox({0, 0, w, h}, back);
  if (!p.Enabled) return DrawDisabled(s, back);

  const bool pressed = state == FaceState::kPressed;
  const Rgb u = pressed ? Shade(Shade(back, 48), -32) : Shade(back, 48);
  for (int i = 1; i <= h; ++i) {
    if (pressed) {
      s.Line({0, h - i}, {w, h - i}, Shade(u, -GradientStep(15, i, h)));
    } else {
      s.Line({0, i}, {w, i}, Shade(u, -GradientStep(25, i, h)));
    }
  }
  const Rgb dark = s.SysColor(syscolor::k3dDarkShadow);
  s.FrameBox({0, 0, w, h}, dark);
  Corners(s, dark);
  if (pressed) return InnerLinesPressed(s, u);

  const Rgb focusRing = p.XPDefaultColors ? MakeRgb(140, 170, 230) : ResolveColor(s, p.XPColor_Pressed);
  const Rgb hotRing = p.XPDefaultColors ? MakeRgb(225, 153, 71) : ResolveColor(s, p.XPColor_Hover);
  if (focused) {
    Ring(s, focusRing, -33, 65, 50, 31);
  } else {
    InnerLinesRaised(s, u);
  }
  if (state == FaceState::kHot) Ring(s, hotRing, -40, 90, 35, 20);
}

}  // namespace nv
