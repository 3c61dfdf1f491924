#include <gtest/gtest.h>

#include "ui/raster_surface.h"
#include "ui/xp_colors.h"
#include "ui/xp_face3.h"
#include "ui/xp_paint.h"
#include "ui/xp_region.h"

namespace nv {
namespace {

constexpr Rgb kWhite = 0xFFFFFF;

// Paints one button on a fresh surface.
struct Painted {
  Painted(int w, int h, XpProps props, XpFlags flags = {}) : s(w, h), p(std::move(props)) {
    PaintContext c{p, flags};
    layout = PaintButton(s, c);
  }
  RasterSurface s;
  XpProps p;
  XpLayout layout;
  Rgb At(int x, int y) const { return s.Pixel(x, y); }
};

XpProps Style(int style) {
  XpProps p;
  p.ButtonStyle = style;
  p.Caption.clear();
  return p;
}

TEST(XpColorTest, ShadeMovesRedGreenFullyAndBlueInProportion) {
  EXPECT_EQ(Shade(MakeRgb(200, 200, 96), 48), MakeRgb(248, 248, 120));
  EXPECT_EQ(Shade(MakeRgb(200, 200, 96), -32), MakeRgb(168, 168, 80));
  EXPECT_EQ(Shade(MakeRgb(250, 3, 255), 10), MakeRgb(255, 13, 255));  // clamped both ways
  EXPECT_EQ(Shade(MakeRgb(250, 3, 100), -10), MakeRgb(240, 0, 95));   // -5.2 truncates to -5
}

TEST(XpColorTest, ResolveColorPassesRgbAndLooksUpSystemColours) {
  RasterSurface s(1, 1);
  s.SetSysColor(15, MakeRgb(1, 2, 3));
  EXPECT_EQ(ResolveColor(s, 0x00FFFFFF), 0x00FFFFFFu);
  EXPECT_EQ(ResolveColor(s, 0x8000000F), MakeRgb(1, 2, 3));
}

TEST(XpColorTest, FlatStyleTintsFromTheHighlightColourOrTheProperties) {
  XpProps p = Style(2);
  for (bool pressed : {false, true}) {
    RasterSurface s(20, 10);
    s.SetSysColor(13, MakeRgb(10, 36, 106));
    PaintContext c{p, {false, pressed, true}};
    PaintButton(s, c);
    EXPECT_EQ(s.Pixel(10, 5), pressed ? MakeRgb(166, 175, 214) : MakeRgb(181, 190, 214));
  }
  RasterSurface s(5, 5);
  s.SetSysColor(13, MakeRgb(200, 200, 200));  // capped at 255
  EXPECT_EQ(FlatStyleTints(s, p).hover, MakeRgb(255, 255, 255));
  p.XPDefaultColors = false;
  p.XPColor_Hover = MakeRgb(1, 2, 3);
  p.XPColor_Pressed = 0x80000015;
  EXPECT_EQ(FlatStyleTints(s, p).hover, MakeRgb(1, 2, 3));
  EXPECT_EQ(FlatStyleTints(s, p).pressed, s.SysColor(21));
}

TEST(XpRegionTest, RoundedRegionOfFortyByTwentyLacksExactlyTwelveCornerPixels) {
  WindowRegion r = RoundedRegion(40, 20);
  int missing = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) missing += !r.Contains(x, y);
  EXPECT_EQ(missing, 12);
  for (Point p : {Point{0, 0}, Point{1, 0}, Point{0, 1}, Point{39, 19}, Point{38, 19}, Point{39, 18}, Point{0, 18},
                  Point{38, 0}})
    EXPECT_FALSE(r.Contains(p.x, p.y)) << p.x << "," << p.y;
  EXPECT_TRUE(r.Contains(1, 1));
  EXPECT_TRUE(r.Contains(2, 0));
}

TEST(XpFrameTest, StyleOneIsBareWhenIdleWhileStyleZeroIsRaised) {
  Painted one(30, 16, Style(1));
  Painted zero(30, 16, Style(0));
  const Rgb face = one.s.SysColor(15);
  for (int x = 0; x < 30; ++x) {
    for (int y : {0, 15}) EXPECT_EQ(one.At(x, y), face) << x << "," << y;
  }
  EXPECT_EQ(zero.At(0, 0), zero.s.SysColor(20));
  EXPECT_EQ(zero.At(0, 15), zero.s.SysColor(20));
  EXPECT_EQ(zero.At(29, 0), zero.s.SysColor(20));
  EXPECT_EQ(zero.At(29, 5), zero.s.SysColor(16));
  EXPECT_EQ(zero.At(29, 15), zero.s.SysColor(16));
  EXPECT_EQ(zero.At(1, 1), face);
  // Hovered, style 1 rises; pressed, both sink.
  Painted hot(30, 16, Style(1), {false, false, true});
  EXPECT_EQ(hot.At(0, 0), hot.s.SysColor(20));
  Painted down(30, 16, Style(1), {false, true, true});
  EXPECT_EQ(down.At(0, 0), down.s.SysColor(16));
  EXPECT_EQ(down.At(29, 15), down.s.SysColor(20));
}

TEST(XpFrameTest, DefaultFrameOnFocusedStyleZeroOnly) {
  Painted focused(30, 16, Style(0), {true, false, false});
  EXPECT_EQ(focused.At(28, 14), focused.s.SysColor(16));  // outline (0,0)-(W-1,H-1)
  EXPECT_EQ(focused.At(29, 15), focused.s.SysColor(16));  // from the raised frame
  Painted plain(30, 16, Style(0));
  EXPECT_EQ(plain.At(28, 14), plain.s.SysColor(15));
  Painted focusedOne(30, 16, Style(1), {true, false, false});
  EXPECT_EQ(focusedOne.At(28, 14), focusedOne.s.SysColor(15));
}

TEST(XpFrameTest, BevelTwoDepthEightOnWhite) {
  XpProps p = Style(0);
  p.BackColor = kWhite;
  p.BEVEL = 2;
  Painted b(30, 20, p);
  // Rings from the inside out, each one Shade step of -8 darker on the
  // bottom and right; top and left lines stay white.
  EXPECT_EQ(b.At(29, 10), MakeRgb(231, 231, 226));  // outermost outline
  EXPECT_EQ(b.At(28, 10), MakeRgb(239, 239, 235));
  EXPECT_EQ(b.At(27, 10), MakeRgb(247, 247, 245));
  EXPECT_EQ(b.At(15, 19), MakeRgb(231, 231, 226));
  EXPECT_EQ(b.At(26, 10), kWhite);
  for (int n = 0; n <= 2; ++n) {
    EXPECT_EQ(b.At(15, n), kWhite);
    EXPECT_EQ(b.At(n, 10), kWhite);
  }
  // Sunken: outlines lighter outwards, top and left darker outwards.
  p.BackColor = MakeRgb(100, 100, 100);
  Painted s(30, 20, p, {false, true, false});
  EXPECT_EQ(s.At(29, 10), MakeRgb(124, 124, 124));
  EXPECT_EQ(s.At(15, 0), Shade(Shade(Shade(MakeRgb(100, 100, 100), -8), -8), -8));
}

TEST(XpFaceTest, GradientStepRoundsHalvesToEven) {
  EXPECT_EQ(GradientStep(25, 1, 2), 12);  // 12.5
  EXPECT_EQ(GradientStep(25, 3, 10), 8);  // 7.5
  EXPECT_EQ(GradientStep(25, 1, 3), 8);   // 8.33
  EXPECT_EQ(GradientStep(15, 20, 20), 15);
}

TEST(XpFaceTest, RoundedStyleNormalHotPressedFocusedDisabled) {
  XpProps p = Style(3);
  p.BackColor = MakeRgb(200, 200, 96);
  const Rgb u = Shade(p.BackColor, 48);
  Painted normal(40, 20, p);
  const Rgb dark = normal.s.SysColor(21);
  EXPECT_EQ(normal.At(0, 0), dark);
  EXPECT_EQ(normal.At(1, 1), dark);
  EXPECT_EQ(normal.At(20, 10), Shade(u, -GradientStep(25, 10, 20)));
  EXPECT_EQ(normal.At(20, 1), Shade(u, 16));
  EXPECT_EQ(normal.At(20, 18), Shade(u, -48));

  Painted hot(40, 20, p, {false, false, true});
  EXPECT_EQ(hot.At(1, 10), MakeRgb(225, 153, 71));
  EXPECT_EQ(hot.At(20, 1), Shade(MakeRgb(225, 153, 71), 90));

  Painted focused(40, 20, p, {true, false, false});
  EXPECT_EQ(focused.At(1, 10), MakeRgb(140, 170, 230));
  EXPECT_EQ(focused.At(20, 18), Shade(MakeRgb(140, 170, 230), -33));
  EXPECT_EQ(focused.s.Pixel(4, 5), focused.At(4, 5));  // no dotted focus rectangle in style 3
  EXPECT_EQ(focused.At(5, 4), Shade(u, -GradientStep(25, 4, 20)));

  Painted pressed(40, 20, p, {false, true, true});
  const Rgb pu = Shade(u, -32);
  EXPECT_EQ(pressed.At(20, 18), Shade(pu, 16));
  EXPECT_EQ(pressed.At(20, 10), Shade(pu, -GradientStep(15, 10, 20)));

  p.Enabled = false;
  Painted off(40, 20, p, {false, false, true});
  const Rgb t = Shade(p.BackColor, 48);
  EXPECT_EQ(off.At(20, 10), Shade(t, -24));
  EXPECT_EQ(off.At(0, 10), Shade(t, -84));
  EXPECT_EQ(off.At(1, 1), Shade(t, -72));
}

TEST(XpFaceTest, FlatStyleBorderWhenHoveredOrAlways) {
  Painted idle(20, 12, Style(2));
  EXPECT_EQ(idle.At(0, 0), idle.s.SysColor(15));
  Painted hot(20, 12, Style(2), {false, false, true});
  EXPECT_EQ(hot.At(0, 0), hot.s.SysColor(18));
  XpProps always = Style(2);
  always.XPShowBorderAlways = true;
  Painted a(20, 12, always);
  EXPECT_EQ(a.At(19, 11), a.s.SysColor(18));
}

TEST(XpFaceTest, DesignTimeShowsRaisedFrameForFramedStylesAndNothingForFlat) {
  for (int style : {1, 2}) {
    XpProps p = Style(style);
    RasterSurface s(20, 12);
    p.XPShowBorderAlways = true;
    PaintContext c{p, {}, false};
    PaintButton(s, c);
    EXPECT_EQ(s.Pixel(0, 0), style == 1 ? s.SysColor(20) : s.SysColor(15)) << style;
  }
}

TEST(XpFaceTest, UnknownStylesDrawAsTheFlatStyle) {
  Painted odd(20, 12, Style(9), {false, false, true});
  Painted flat(20, 12, Style(2), {false, false, true});
  EXPECT_EQ(odd.s.Pixels().pixels, flat.s.Pixels().pixels);
}

TEST(XpFaceTest, FocusRectangleInvertsEveryOtherPixelInsideTheBorder) {
  XpProps p = Style(4);
  p.BackColor = kWhite;
  Painted f(20, 12, p, {true, false, false});
  EXPECT_EQ(f.At(5, 4), 0u);  // 5 + 4 odd: inverted
  EXPECT_EQ(f.At(4, 4), kWhite);
  EXPECT_EQ(f.At(15, 6), 0u);  // right edge x = W-5
  p.ShowFocusRect = false;
  Painted none(20, 12, p, {true, false, false});
  EXPECT_EQ(none.At(5, 4), kWhite);
}

TEST(XpFaceTest, TransparentBackgroundCopiesTheParentPictureUnderTheControl) {
  auto parent = std::make_shared<Image>(50, 50, MakeRgb(9, 9, 9));
  parent->At(12, 7) = MakeRgb(1, 2, 3);
  XpProps p = Style(4);
  p.TransparentBG = true;
  RasterSurface s(20, 10);
  PaintContext c{p, {}, true, false, {10, 5}, parent.get()};
  PaintButton(s, c);
  EXPECT_EQ(s.Pixel(2, 2), MakeRgb(1, 2, 3));
  EXPECT_EQ(s.Pixel(0, 0), MakeRgb(9, 9, 9));
  // Partly off the picture: the rest keeps the background.
  PaintContext off{p, {}, true, false, {45, 0}, parent.get()};
  PaintButton(s, off);
  EXPECT_EQ(s.Pixel(4, 0), MakeRgb(9, 9, 9));
  EXPECT_EQ(s.Pixel(5, 0), s.SysColor(15));
}

TEST(XpCaptionTest, DisabledCaptionIsEmbossedLightFirstThenShadow) {
  XpProps p = Style(4);
  p.Caption = "Go";
  p.Enabled = false;
  Painted d(40, 20, p);
  ASSERT_EQ(d.s.TextAreas().size(), 2u);
  const Rect r = d.layout.caption;
  EXPECT_EQ(d.s.TextAreas()[0], (Rect{r.left + 1, r.top + 1, r.right + 1, r.bottom}));
  EXPECT_EQ(d.s.TextAreas()[1], r);
  EXPECT_EQ(d.At(r.left + 1, r.top + 1), d.s.SysColor(16));  // the shadow pass on top
}

TEST(XpCaptionTest, PressedCaptionMovesExceptInTheFlatStyle) {
  for (int style : {0, 2}) {
    XpProps p = Style(style);
    p.Caption = "Go";
    Painted d(40, 20, p, {false, true, true});
    EXPECT_EQ(d.s.TextAreas().back(), style == 2 ? d.layout.caption : d.layout.caption.Moved(1, 1));
  }
}

}  // namespace
}  // namespace nv
