#include "ui/raster_surface.h"

#include <algorithm>
#include <cstdlib>

#include "ui/test_font.h"

namespace nv {

std::array<Rgb, 31> ClassicSysColors() {
  std::array<Rgb, 31> c{};
  c.fill(0);
  c[5] = MakeRgb(255, 255, 255);    // window
  c[8] = MakeRgb(0, 0, 0);          // window text
  c[13] = MakeRgb(10, 36, 106);     // highlight
  c[15] = MakeRgb(212, 208, 200);   // button face
  c[16] = MakeRgb(128, 128, 128);   // button shadow
  c[17] = MakeRgb(128, 128, 128);   // grey text
  c[18] = MakeRgb(0, 0, 0);         // button text
  c[20] = MakeRgb(255, 255, 255);   // 3-D highlight
  c[21] = MakeRgb(64, 64, 64);      // 3-D dark shadow
  c[22] = MakeRgb(212, 208, 200);   // 3-D light
  return c;
}

RasterSurface::RasterSurface(int w, int h) : image_(std::max(w, 0), std::max(h, 0)), sysColors_(ClassicSysColors()) {}

Rgb RasterSurface::SysColor(int index) {
  return index >= 0 && index < static_cast<int>(sysColors_.size()) ? sysColors_[index] : 0;
}

void RasterSurface::Put(int x, int y, Rgb colour) {
  if (x >= 0 && y >= 0 && x < image_.width && y < image_.height) image_.At(x, y) = colour;
}

void RasterSurface::Clear(Rgb colour) { std::fill(image_.pixels.begin(), image_.pixels.end(), colour); }

void RasterSurface::FillBox(const Rect& r, Rgb colour) {
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) Put(x, y, colour);
  }
}

void RasterSurface::FrameBox(const Rect& r, Rgb colour) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  FillBox({r.left, r.top, r.left + 1, r.bottom}, colour);
  FillBox({r.right - 1, r.top, r.right, r.bottom}, colour);
  FillBox({r.left, r.top, r.right, r.top + 1}, colour);
  FillBox({r.left, r.bottom - 1, r.right, r.bottom}, colour);
}

// Bresenham from `from` towards `to`, leaving out the end point.
void RasterSurface::Line(Point from, Point to, Rgb colour) {
  int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
  int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
  int err = dx + dy, x = from.x, y = from.y;
  while (x != to.x || y != to.y) {
    Put(x, y, colour);
    int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

void RasterSurface::SetPixel(Point p, Rgb colour) { Put(p.x, p.y, colour); }

void RasterSurface::FocusRect(const Rect& r) {
  ForEachFocusPixel(r, [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < image_.width && y < image_.height) image_.At(x, y) ^= 0xFFFFFF;
  });
}

TextExtent RasterSurface::MeasureText(const std::string& text, const Rect& within, const FontSpec& font) {
  if (measurer_) return measurer_(text, within, font);
  ShownText shown = StripPrefixes(text);
  int maxChars = std::max((within.Width() - 2) / kCellWidth, 1);
  int widest = 0;
  auto lines = WrapFixed(shown.text, maxChars);
  for (const TextLine& l : lines) widest = std::max(widest, static_cast<int>(l.end - l.begin));
  return {widest * kCellWidth + 2, static_cast<int>(lines.size()) * kLineHeight};
}

namespace {
Rect Intersect(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}
}  // namespace

// Like DrawTextExA without no-clip, nothing lands outside the rectangle.
void RasterSurface::DrawText(const std::string& text, const Rect& r, Rgb colour, const FontSpec&) {
  textAreas_.push_back(r);
  ShownText shown = StripPrefixes(text);
  int maxChars = std::max((r.Width() - 2) / kCellWidth, 1);
  int y = r.top;
  for (const TextLine& l : WrapFixed(shown.text, maxChars)) {
    int n = static_cast<int>(l.end - l.begin);
    int x = r.left + (r.Width() - n * kCellWidth) / 2;
    for (size_t i = l.begin; i < l.end; ++i, x += kCellWidth) {
      if (shown.text[i] != ' ') FillBox(Intersect({x, y + 1, x + kGlyphWidth, y + 1 + kGlyphHeight}, r), colour);
      if (static_cast<int>(i) == shown.underline) FillBox(Intersect({x, y + 9, x + kGlyphWidth, y + 10}, r), colour);
    }
    y += kLineHeight;
  }
}

Image RasterSurface::ReadPixels(const Rect& r) {
  Image out(std::max(r.Width(), 0), std::max(r.Height(), 0));
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      int sx = r.left + x, sy = r.top + y;
      if (sx >= 0 && sy >= 0 && sx < image_.width && sy < image_.height) out.At(x, y) = image_.At(sx, sy);
    }
  }
  return out;
}

void RasterSurface::WritePixels(const Image& image, Point at) {
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) Put(at.x + x, at.y + y, image.At(x, y));
  }
}

}  // namespace nv
