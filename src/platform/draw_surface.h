#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nv {

// A colour as GDI keeps it: 0x00BBGGRR.
using Rgb = std::uint32_t;
constexpr Rgb MakeRgb(int r, int g, int b) {
  return static_cast<Rgb>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Rgb c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Rgb c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Rgb c) { return static_cast<int>((c >> 16) & 0xFF); }

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

// Right and bottom are exclusive, as in GDI.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  Rect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const Rect&) const = default;
};

// A picture as pixels. Icons also carry their own transparency.
struct Image {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;               // row by row, top row first
  std::vector<std::uint8_t> transparent;  // icons only: 1 where the icon lets the background show
  bool isIcon = false;

  Image() = default;
  Image(int w, int h, Rgb fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
  Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  Rgb& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  bool Transparent(int x, int y) const {
    return isIcon && !transparent.empty() && transparent[static_cast<size_t>(y) * width + x];
  }
};
using Picture = std::shared_ptr<const Image>;

struct FontSpec {
  std::string name = "MS Sans Serif";
  double size = 8.25;  // points
  bool bold = false, italic = false, underline = false, strikethrough = false;
  bool operator==(const FontSpec&) const = default;
};

struct TextExtent {
  int width = 0, height = 0;
};

// The focus rectangle's dotted look: every other pixel of the outline is
// inverted, those whose x + y is odd, each pixel once.
template <class F>
void ForEachFocusPixel(const Rect& r, F&& invert) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  auto hit = [&](int x, int y) { if ((x + y) & 1) invert(x, y); };
  for (int x = r.left; x < r.right; ++x) {
    hit(x, r.top);
    if (r.bottom - 1 > r.top) hit(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    hit(r.left, y);
    if (r.right - 1 > r.left) hit(r.right - 1, y);
  }
}

// A window's back buffer: everything the XP-style button paints goes through
// these operations, so that a pixel array can stand in for GDI in tests.
// Coordinates are pixels of the buffer; drawing outside it is clipped.
class DrawSurface {
 public:
  virtual ~DrawSurface() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // GetSysColor.
  virtual Rgb SysColor(int index) = 0;
  // A new background colour clears the whole buffer to it.
  virtual void Clear(Rgb colour) = 0;
  // FillRect and FrameRect with a solid brush.
  virtual void FillBox(const Rect& r, Rgb colour) = 0;
  virtual void FrameBox(const Rect& r, Rgb colour) = 0;
  // MoveToEx + LineTo with a 1-pixel solid pen: the end point is not drawn.
  virtual void Line(Point from, Point to, Rgb colour) = 0;
  // SetPixelV.
  virtual void SetPixel(Point p, Rgb colour) = 0;
  // DrawFocusRect's look (see ForEachFocusPixel).
  virtual void FocusRect(const Rect& r) = 0;
  // DrawTextExA with word-break, vertical-centre and centre, tab length 1 and
  // margins of 1; '&' underlines the next character and "&&" prints one.
  // MeasureText is the same call with calculate-rectangle, starting from `within`.
  virtual TextExtent MeasureText(const std::string& text, const Rect& within, const FontSpec& font) = 0;
  virtual void DrawText(const std::string& text, const Rect& r, Rgb colour, const FontSpec& font) = 0;
  // Copies pixels out of and into the buffer (BitBlt, source copy). Pixels of
  // `r` outside the buffer read as black.
  virtual Image ReadPixels(const Rect& r) = 0;
  virtual void WritePixels(const Image& image, Point at) = 0;
};

}  // namespace nv
