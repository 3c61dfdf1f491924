#include "ui/xp_picture.h"

#include "ui/xp_colors.h"

namespace nv {
namespace {

constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kShadowInk = MakeRgb(146, 146, 146);

Point PictureOffset(std::int32_t style, const XpFlags& f) {
  if (f.pressed && style != kStyleFlat) return {1, 1};
  if (f.hovered && !f.pressed && style == kStyleFlat) return {-3, -3};
  return {0, 0};
}

// DrawStateA's mono look: every pixel of `image` that is not white is painted
// in `ink`; white ones leave the surface as it is.
void DrawInk(DrawSurface& s, Point at, const Image& image, Rgb ink) {
  Image area = s.ReadPixels({at.x, at.y, at.x + image.width, at.y + image.height});
  for (size_t i = 0; i < area.pixels.size(); ++i) {
    if (image.pixels[i] != kWhite) area.pixels[i] = ink;
  }
  s.WritePixels(area, at);
}

// The picture at its drawn size with the mask colour turned white, as the
// shadow and the disabled look take it.
Image OnWhite(const Image& picture, const XpProps& p, Rgb mask) {
  Image natural = RenderNatural(picture, kWhite);
  Image white(natural.width, natural.height, kWhite);
  return Stretch(MaskCombine(white, natural, mask), p.PictureWidth, p.PictureHeight);
}

}  // namespace

Image RenderNatural(const Image& picture, Rgb canvas) {
  Image out(picture.width, picture.height, canvas);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (!picture.Transparent(x, y)) out.At(x, y) = picture.At(x, y);
    }
  }
  return out;
}

Image Stretch(const Image& src, int w, int h) {
  if (w <= 0 || h <= 0 || src.width <= 0 || src.height <= 0) return Image();
  if (w == src.width && h == src.height) return src;
  Image out(w, h);
  for (int y = 0; y < h; ++y) {
    const int sy = static_cast<int>(static_cast<long long>(y) * src.height / h);
    for (int x = 0; x < w; ++x) {
      out.At(x, y) = src.At(static_cast<int>(static_cast<long long>(x) * src.width / w), sy);
    }
  }
  return out;
}

Image MaskCombine(const Image& dst, const Image& src, Rgb mask) {
  Image out = dst;
  for (size_t i = 0; i < out.pixels.size() && i < src.pixels.size(); ++i) {
    const Rgb maskBits = src.pixels[i] == mask ? 0xFFFFFF : 0;  // white where the mask colour is
    const Rgb kept = dst.pixels[i] & maskBits;
    const Rgb drawn = src.pixels[i] & ~maskBits & 0xFFFFFF;
    out.pixels[i] = kept ^ drawn;
  }
  return out;
}

void MaskBlit(DrawSurface& s, Point at, const Image& src, Rgb mask) {
  if (src.width <= 0 || src.height <= 0) return;
  Image area = s.ReadPixels({at.x, at.y, at.x + src.width, at.y + src.height});
  s.WritePixels(MaskCombine(area, src, mask), at);
}

void DrawPictureStep(DrawSurface& s, const XpProps& p, const Image& picture, const XpLayout& layout,
                     const XpFlags& flags) {
  if (!layout.hasPicture || picture.width <= 0 || picture.height <= 0) return;
  const Rgb mask = ResolveColor(s, p.MaskColor);
  const Point off = PictureOffset(p.DrawnStyle(), flags);
  const Point at{layout.picture.left + off.x, layout.picture.top + off.y};

  if (!p.Enabled) {
    Image ink = OnWhite(picture, p, mask);
    DrawInk(s, {at.x + 1, at.y + 1}, ink, s.SysColor(syscolor::k3dHighlight));
    DrawInk(s, at, ink, s.SysColor(syscolor::kButtonShadow));
    return;
  }
  if (p.DrawnStyle() == kStyleFlat && flags.hovered && !flags.pressed) {
    DrawInk(s, {layout.picture.left, layout.picture.top}, OnWhite(picture, p, mask), kShadowInk);
  }
  Image scaled = Stretch(RenderNatural(picture, 0), p.PictureWidth, p.PictureHeight);
  MaskBlit(s, at, scaled, mask);
}

}  // namespace nv
