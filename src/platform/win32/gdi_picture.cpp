// Turns GDI bitmaps and icons into the pixel pictures the button draws.
#include "platform/win32/gdi_surface.h"

#include <vector>

namespace nv {
namespace {

// The pixels of a bitmap as 32-bit top-down rows, or empty.
std::vector<std::uint32_t> Pixels(HBITMAP bitmap, int w, int h) {
  std::vector<std::uint32_t> px(static_cast<size_t>(w) * h);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  int lines = GetDIBits(dc, bitmap, 0, h, px.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (lines != h) px.clear();
  return px;
}

Rgb FromDib(std::uint32_t d) { return ((d & 0xFF) << 16) | (d & 0xFF00) | ((d >> 16) & 0xFF); }

}  // namespace

Picture PictureFromBitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObject(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
  std::vector<std::uint32_t> px = Pixels(bitmap, bm.bmWidth, bm.bmHeight);
  if (px.empty()) return nullptr;
  auto img = std::make_shared<Image>(bm.bmWidth, bm.bmHeight);
  for (size_t i = 0; i < px.size(); ++i) img->pixels[i] = FromDib(px[i]);
  return img;
}

Picture PictureFromIcon(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return nullptr;
  Picture colour = info.hbmColor ? PictureFromBitmap(info.hbmColor) : nullptr;
  std::shared_ptr<Image> img;
  if (colour) {
    img = std::make_shared<Image>(*colour);
    BITMAP bm{};
    GetObject(info.hbmMask, sizeof bm, &bm);
    std::vector<std::uint32_t> mask = Pixels(info.hbmMask, bm.bmWidth, bm.bmHeight);
    img->isIcon = true;
    img->transparent.assign(img->pixels.size(), 0);
    for (size_t i = 0; i < img->pixels.size() && i < mask.size(); ++i) img->transparent[i] = (mask[i] & 0xFFFFFF) != 0;
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return img;
}

}  // namespace nv
