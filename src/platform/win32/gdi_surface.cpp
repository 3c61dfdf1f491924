#include "platform/win32/gdi_surface.h"

#include <cmath>

namespace nv {
namespace {

constexpr UINT kTextFlags = DT_WORDBREAK | DT_VCENTER | DT_CENTER;

std::uint32_t ToDib(Rgb c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
Rgb FromDib(std::uint32_t d) { return ((d & 0xFF) << 16) | (d & 0xFF00) | ((d >> 16) & 0xFF); }
RECT ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

DRAWTEXTPARAMS TextParams() {
  DRAWTEXTPARAMS p{};
  p.cbSize = sizeof p;
  p.iTabLength = 1;
  p.iLeftMargin = 1;
  p.iRightMargin = 1;
  return p;
}

// A brush or pen of one colour, deleted when done.
struct SolidBrush {
  explicit SolidBrush(Rgb c) : h(CreateSolidBrush(c)) {}
  ~SolidBrush() { DeleteObject(h); }
  HBRUSH h;
};

}  // namespace

GdiSurface::~GdiSurface() {
  Release();
  if (dc_) {
    if (oldFont_) SelectObject(dc_, oldFont_);
    DeleteDC(dc_);
  }
  if (font_) DeleteObject(font_);
}

void GdiSurface::Release() {
  if (bitmap_) {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    bitmap_ = nullptr;
    bits_ = nullptr;
  }
}

void GdiSurface::Resize(int w, int h) {
  w = w < 1 ? 1 : w;
  h = h < 1 ? 1 : h;
  if (bitmap_ && w == w_ && h == h_) return;
  if (!dc_) dc_ = CreateCompatibleDC(nullptr);
  Release();
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) {
    w_ = h_ = 0;
    return;
  }
  bits_ = static_cast<std::uint32_t*>(bits);
  oldBitmap_ = SelectObject(dc_, bitmap_);
  w_ = w;
  h_ = h;
}

void GdiSurface::Present(HDC target) const {
  if (bitmap_) BitBlt(target, 0, 0, w_, h_, dc_, 0, 0, SRCCOPY);
}

Rgb GdiSurface::SysColor(int index) { return GetSysColor(index); }

void GdiSurface::Clear(Rgb colour) { FillBox({0, 0, w_, h_}, colour); }

void GdiSurface::FillBox(const Rect& r, Rgb colour) {
  RECT rc = ToRect(r);
  SolidBrush b(colour);
  FillRect(dc_, &rc, b.h);
}

void GdiSurface::FrameBox(const Rect& r, Rgb colour) {
  RECT rc = ToRect(r);
  SolidBrush b(colour);
  FrameRect(dc_, &rc, b.h);
}

void GdiSurface::Line(Point from, Point to, Rgb colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ old = SelectObject(dc_, pen);
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
  SelectObject(dc_, old);
  DeleteObject(pen);
}

void GdiSurface::SetPixel(Point p, Rgb colour) { SetPixelV(dc_, p.x, p.y, colour); }

// The system's DrawFocusRect inverts every other pixel of the outline on
// Windows, but only XORs with the window-text colour on Wine, which leaves a
// black-text desktop unchanged; inverting the pixels ourselves looks the same
// everywhere.
void GdiSurface::FocusRect(const Rect& r) {
  ForEachFocusPixel(r, [&](int x, int y) { PatBlt(dc_, x, y, 1, 1, DSTINVERT); });
}

void GdiSurface::UseFont(const FontSpec& font) {
  if (font_ && font == fontSpec_) return;
  const int dpi = GetDeviceCaps(dc_, LOGPIXELSY);
  HFONT f = CreateFontA(-static_cast<int>(std::lround(font.size * dpi / 72.0)), 0, 0, 0,
                        font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline, font.strikethrough,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, font.name.c_str());
  if (!f) return;
  HGDIOBJ old = SelectObject(dc_, f);
  if (!oldFont_) oldFont_ = old;
  if (font_) DeleteObject(font_);
  font_ = f;
  fontSpec_ = font;
}

TextExtent GdiSurface::MeasureText(const std::string& text, const Rect& within, const FontSpec& font) {
  UseFont(font);
  std::string buf = text;
  RECT rc = ToRect(within);
  DRAWTEXTPARAMS params = TextParams();
  DrawTextExA(dc_, buf.data(), -1, &rc, DT_CALCRECT | kTextFlags, &params);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

void GdiSurface::DrawText(const std::string& text, const Rect& r, Rgb colour, const FontSpec& font) {
  UseFont(font);
  std::string buf = text;
  RECT rc = ToRect(r);
  DRAWTEXTPARAMS params = TextParams();
  SetTextColor(dc_, colour);
  SetBkMode(dc_, TRANSPARENT);
  DrawTextExA(dc_, buf.data(), -1, &rc, kTextFlags, &params);
}

Image GdiSurface::ReadPixels(const Rect& r) {
  Image out(r.Width() > 0 ? r.Width() : 0, r.Height() > 0 ? r.Height() : 0);
  GdiFlush();
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      const int sx = r.left + x, sy = r.top + y;
      if (bits_ && sx >= 0 && sy >= 0 && sx < w_ && sy < h_) out.At(x, y) = FromDib(bits_[sy * w_ + sx]);
    }
  }
  return out;
}

void GdiSurface::WritePixels(const Image& image, Point at) {
  GdiFlush();
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const int dx = at.x + x, dy = at.y + y;
      if (bits_ && dx >= 0 && dy >= 0 && dx < w_ && dy < h_) bits_[dy * w_ + dx] = ToDib(image.At(x, y));
    }
  }
}

}  // namespace nv
