#include "gallery_compare.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/win32/gdi_surface.h"
#include "ui/raster_surface.h"
#include "ui/xp_paint.h"
#include "ui/xp_region.h"
#include "ui/xpbs.h"
#include "ui/xpbs_win32.h"

namespace nv {
namespace {

// The window's client pixels as GDI shows them.
Image Capture(HWND window) {
  RECT rc{};
  GetClientRect(window, &rc);
  GdiSurface copy;
  copy.Resize(rc.right, rc.bottom);
  HDC dc = GetDC(window);
  BitBlt(copy.Dc(), 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  return copy.ReadPixels({0, 0, rc.right, rc.bottom});
}

bool InText(const std::vector<Rect>& areas, int x, int y) {
  for (const Rect& r : areas) {
    if (r.Contains(x, y)) return true;
  }
  return false;
}

}  // namespace

Agreement CompareWithRaster(HWND button, std::string* firstDifference) {
  XpBs& b = *XpBsOf(button);
  const Image gdi = Capture(button);
  RasterSurface raster(gdi.width, gdi.height);
  for (int i = 0; i <= 30; ++i) raster.SetSysColor(i, GetSysColor(i));
  // Text is laid out with GDI's measure, so that only the glyphs differ.
  GdiSurface measure;
  measure.Resize(gdi.width, gdi.height);
  raster.SetMeasurer([&](const std::string& t, const Rect& r, const FontSpec& f) { return measure.MeasureText(t, r, f); });
  PaintContext c{b.Props(), b.Flags(), true, false, {}, nullptr, b.DisplayedPicture().get()};
  PaintButton(raster, c);

  const WindowRegion shape = b.Props().ButtonStyle == kStyleRounded ? RoundedRegion(gdi.width, gdi.height)
                                                                    : WindowRegion{gdi.width, gdi.height, {}};
  Agreement a;
  for (int y = 0; y < gdi.height; ++y) {
    for (int x = 0; x < gdi.width; ++x) {
      if (!shape.Contains(x, y) || InText(raster.TextAreas(), x, y)) continue;
      ++a.compared;
      if (gdi.At(x, y) == raster.Pixel(x, y)) {
        ++a.equal;
      } else if (firstDifference && firstDifference->empty()) {
        char buf[120];
        std::snprintf(buf, sizeof buf, "(%d,%d) GDI %06X raster %06X", x, y, gdi.At(x, y), raster.Pixel(x, y));
        *firstDifference = buf;
      }
    }
  }
  return a;
}

bool SaveWindowBitmap(HWND window, const std::string& path) {
  const Image img = Capture(window);
  const int stride = (img.width * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof ih;
  ih.biWidth = img.width;
  ih.biHeight = img.height;  // bottom row first
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = static_cast<DWORD>(stride * img.height);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + ih.biSizeImage;
  std::vector<unsigned char> rows(ih.biSizeImage);
  for (int y = 0; y < img.height; ++y) {
    unsigned char* row = &rows[static_cast<size_t>(img.height - 1 - y) * stride];
    for (int x = 0; x < img.width; ++x) {
      const Rgb c = img.At(x, y);
      row[x * 3] = static_cast<unsigned char>(BlueOf(c));
      row[x * 3 + 1] = static_cast<unsigned char>(GreenOf(c));
      row[x * 3 + 2] = static_cast<unsigned char>(RedOf(c));
    }
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&ih), sizeof ih);
  out.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(rows.size()));
  return static_cast<bool>(out);
}

}  // namespace nv
