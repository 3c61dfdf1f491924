#pragma once
#include <windows.h>

#include "platform/draw_surface.h"

namespace nv {

// The drawing surface over a 32-bit DIB section selected into a memory DC:
// a window's back buffer, shown with Present.
class GdiSurface : public DrawSurface {
 public:
  GdiSurface() = default;
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  // A new buffer of w by h pixels (at least 1 by 1).
  void Resize(int w, int h);
  void Present(HDC target) const;
  HDC Dc() const { return dc_; }

  int Width() const override { return w_; }
  int Height() const override { return h_; }
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

 private:
  void Release();
  void UseFont(const FontSpec& font);

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;  // 0x00RRGGBB, top row first
  int w_ = 0, h_ = 0;
  HFONT font_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  FontSpec fontSpec_;
};

// Pictures from GDI handles, for the button's picture properties.
Picture PictureFromBitmap(HBITMAP bitmap);
Picture PictureFromIcon(HICON icon);

}  // namespace nv
