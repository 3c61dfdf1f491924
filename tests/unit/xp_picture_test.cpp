#include <gtest/gtest.h>

#include "ui/raster_surface.h"
#include "ui/xp_layout.h"
#include "ui/xp_paint.h"
#include "ui/xp_picture.h"

namespace nv {
namespace {

constexpr Rgb kRed = MakeRgb(255, 0, 0), kBlue = MakeRgb(0, 0, 255), kWhite = 0xFFFFFF;

// A square bitmap of one colour whose four corners have the mask colour.
Picture CornerMasked(int size, Rgb colour, Rgb mask) {
  auto img = std::make_shared<Image>(size, size, colour);
  for (Point p : {Point{0, 0}, Point{size - 1, 0}, Point{0, size - 1}, Point{size - 1, size - 1}})
    img->At(p.x, p.y) = mask;
  return img;
}

XpProps WithCaption(const std::string& caption, int position) {
  XpProps p;
  p.ButtonStyle = 4;
  p.Caption = caption;
  p.PicturePosition = position;
  return p;
}

TEST(XpLayoutTest, PictureLeftOfCaptionIsOneCentredGroupWithFourPixelsBetween) {
  RasterSurface s(120, 40);
  XpLayout l = LayOut(s, WithCaption("Yes", 1), true);
  const int tw = 3 * RasterSurface::kCellWidth + 2;  // the test font's measure with its margins
  EXPECT_EQ(l.caption.Width(), tw);
  EXPECT_EQ(l.caption.left - l.picture.right, 4);
  const int groupLeft = l.picture.left, groupRight = l.caption.right;
  EXPECT_EQ(groupLeft - 4, 116 - groupRight);  // equal room on both sides of the content
  EXPECT_EQ(l.picture, (Rect{groupLeft, 4, groupLeft + 32, 36}));
  EXPECT_EQ(l.caption.top, 4 + (32 - 10) / 2);
}

TEST(XpLayoutTest, OtherPositionsAndTheCentredCases) {
  RasterSurface s(100, 80);
  const int tw = 2 * RasterSurface::kCellWidth + 2, th = RasterSurface::kLineHeight;
  XpLayout above = LayOut(s, WithCaption("OK", 0), true);
  EXPECT_EQ(above.picture.top, 4 + (72 - (32 + 4 + th)) / 2);
  EXPECT_EQ(above.caption.top, above.picture.bottom + 4);
  EXPECT_EQ(above.picture.left, 4 + (92 - 32) / 2);
  XpLayout right = LayOut(s, WithCaption("OK", 2), true);
  EXPECT_EQ(right.caption.left, 4 + (92 - (tw + 4 + 32)) / 2);
  EXPECT_EQ(right.picture.left, right.caption.right + 4);
  XpLayout below = LayOut(s, WithCaption("OK", 3), true);
  EXPECT_EQ(below.picture.top, below.caption.bottom + 4);
  EXPECT_EQ(below.caption.top, 4 + (72 - (th + 4 + 32)) / 2);
  XpLayout odd = LayOut(s, WithCaption("OK", 7), true);
  XpLayout left = LayOut(s, WithCaption("OK", 1), true);
  EXPECT_EQ(odd.picture, left.picture);
  XpLayout onlyPicture = LayOut(s, WithCaption("", 1), true);
  EXPECT_FALSE(onlyPicture.hasCaption);
  EXPECT_EQ(onlyPicture.picture, (Rect{34, 24, 66, 56}));
  XpLayout onlyText = LayOut(s, WithCaption("OK", 1), false);
  EXPECT_EQ(onlyText.caption.left, 4 + (92 - tw) / 2);
}

TEST(XpPictureTest, MaskColourPixelsShowTheBackground) {
  XpProps p = WithCaption("", 1);
  p.BackColor = kWhite;
  p.MaskColor = kBlue;
  Picture pic = CornerMasked(32, kRed, kBlue);
  RasterSurface s(40, 40);
  PaintContext c{p, {}, true, false, {}, nullptr, pic.get()};
  XpLayout l = PaintButton(s, c);
  const Rect r = l.picture;
  EXPECT_EQ(s.Pixel(r.left, r.top), kWhite);
  EXPECT_EQ(s.Pixel(r.right - 1, r.bottom - 1), kWhite);
  EXPECT_EQ(s.Pixel(r.left + 1, r.top), kRed);
  EXPECT_EQ(s.Pixel(r.left + 16, r.top + 16), kRed);
}

TEST(XpPictureTest, MaskCombineKeepsDestinationExactlyWhereTheSourceHasTheMaskColour) {
  Image dst(3, 1, MakeRgb(10, 20, 30));
  Image src(3, 1, kBlue);
  src.At(1, 0) = MakeRgb(0, 0, 254);
  src.At(2, 0) = 0;
  Image out = MaskCombine(dst, src, kBlue);
  EXPECT_EQ(out.At(0, 0), MakeRgb(10, 20, 30));
  EXPECT_EQ(out.At(1, 0), MakeRgb(0, 0, 254));
  EXPECT_EQ(out.At(2, 0), 0u);
}

TEST(XpPictureTest, IconTransparencyShowsTheBackgroundThroughTheBlackMask) {
  auto icon = std::make_shared<Image>(16, 16, kRed);
  icon->isIcon = true;
  icon->transparent.assign(256, 0);
  icon->transparent[0] = 1;
  XpProps p = WithCaption("", 1);
  p.BackColor = kWhite;
  p.PictureSize = 2;
  p.PictureWidth = p.PictureHeight = 16;
  RasterSurface s(30, 30);
  PaintContext c{p, {}, true, false, {}, nullptr, icon.get()};
  XpLayout l = PaintButton(s, c);
  EXPECT_EQ(s.Pixel(l.picture.left, l.picture.top), kWhite);
  EXPECT_EQ(s.Pixel(l.picture.left + 1, l.picture.top), kRed);
}

TEST(XpPictureTest, StretchScalesToTheDrawnSize) {
  Image src(2, 2);
  src.At(0, 0) = 1, src.At(1, 0) = 2, src.At(0, 1) = 3, src.At(1, 1) = 4;
  Image big = Stretch(src, 4, 4);
  EXPECT_EQ(big.At(1, 1), 1u);
  EXPECT_EQ(big.At(2, 0), 2u);
  EXPECT_EQ(big.At(3, 3), 4u);
  EXPECT_EQ(Stretch(src, 0, 4).width, 0);
}

struct PictureStateTest : ::testing::Test {
  Picture pic = CornerMasked(8, kRed, 0);
  XpProps p = [] {
    XpProps q = WithCaption("", 1);
    q.BackColor = kWhite;
    q.PictureWidth = q.PictureHeight = 8;
    return q;
  }();
  RasterSurface s{30, 30};
  XpLayout Paint(XpFlags f) {
    PaintContext c{p, f, true, false, {}, nullptr, pic.get()};
    return PaintButton(s, c);
  }
};

TEST_F(PictureStateTest, PressedMovesOneDownRightExceptInTheFlatStyle) {
  XpLayout l = Paint({false, true, true});
  EXPECT_EQ(s.Pixel(l.picture.left + 1, l.picture.top + 1), kWhite);  // a masked corner, moved
  EXPECT_EQ(s.Pixel(l.picture.left + 2, l.picture.top + 1), kRed);
}

TEST_F(PictureStateTest, FlatStyleHoverLiftsThePictureOverAGreyShadow) {
  p.ButtonStyle = 2;
  XpLayout l = Paint({false, false, true});
  const Rect r = l.picture;
  EXPECT_EQ(s.Pixel(r.left - 3 + 1, r.top - 3), kRed);                   // the picture, 3 up and left
  EXPECT_EQ(s.Pixel(r.right - 1, r.bottom - 2), MakeRgb(146, 146, 146));  // the shadow where it was
  EXPECT_NE(s.Pixel(r.right - 1, r.bottom - 1), MakeRgb(146, 146, 146));  // masked corner casts none
}

TEST_F(PictureStateTest, DisabledPictureIsEmbossedInHighlightAndShadow) {
  p.Enabled = false;
  p.BackColor = MakeRgb(212, 208, 200);
  XpLayout l = Paint({});
  const Rect r = l.picture;
  EXPECT_EQ(s.Pixel(r.left + 1, r.top), s.SysColor(16));
  EXPECT_EQ(s.Pixel(r.right, r.top + 2), s.SysColor(20));  // the light copy, one right and down
  EXPECT_EQ(s.Pixel(r.left, r.top), p.BackColor);           // masked corner stays background
}

}  // namespace
}  // namespace nv
