#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/draw_surface.h"

namespace nv {

// The drawing surface as a plain pixel array: the reference that GDI's
// rendering is compared with, and the surface of the native tests. Text uses
// a fixed test font unless a measurer is given (the gallery lends GDI's, so
// that both renderings lay out the same).
class RasterSurface : public DrawSurface {
 public:
  using Measurer = std::function<TextExtent(const std::string&, const Rect&, const FontSpec&)>;

  RasterSurface(int w, int h);

  int Width() const override { return image_.width; }
  int Height() const override { return image_.height; }
  Rgb SysColor(int index) override;
  void Clear(Rgb colour) override;
  void FillBox(const Rect& r, Rgb colour) override;
  void FrameBox(const Rect& r, Rgb colour) override;
  void Line(Point from, Point to, Rgb colour) override;
  void SetPixel(Point p, Rgb colour) override;
  void FocusRect(const Rect& r) override;
  TextExtent MeasureText(const std::string& text, const Rect& within, const FontSpec& font) override;
  void DrawText(const std::string& text, const Rect& r, Rgb colour, const FontSpec& font) override;
  Image ReadPixels(const Rect& r) override;
  void WritePixels(const Image& image, Point at) override;

  Rgb Pixel(int x, int y) const { return image_.At(x, y); }
  const Image& Pixels() const { return image_; }
  void SetSysColor(int index, Rgb colour) { sysColors_.at(index) = colour; }
  void SetMeasurer(Measurer m) { measurer_ = std::move(m); }
  // Every rectangle text was drawn into, in order.
  const std::vector<Rect>& TextAreas() const { return textAreas_; }

  // The test font: fixed cells, a glyph is a filled block.
  static constexpr int kCellWidth = 6, kLineHeight = 10, kGlyphWidth = 4, kGlyphHeight = 7;

 private:
  void Put(int x, int y, Rgb colour);

  Image image_;
  std::array<Rgb, 31> sysColors_;
  Measurer measurer_;
  std::vector<Rect> textAreas_;
};

// The system colours of a classic Windows desktop, for tests.
std::array<Rgb, 31> ClassicSysColors();

}  // namespace nv
