#include "ui/xp_layout.h"

namespace nv {
namespace {

// Start of a span of `size` centred in [lo, hi).
int Centre(int lo, int hi, int size) { return lo + ((hi - lo) - size) / 2; }

Rect At(int left, int top, int w, int h) { return {left, top, left + w, top + h}; }

}  // namespace

XpLayout LayOut(DrawSurface& s, const XpProps& p, bool hasPicture) {
  XpLayout out;
  const int w = s.Width(), h = s.Height();
  const Rect c{4, 4, w - 4, h - 4};
  out.content = c;
  out.hasPicture = hasPicture;
  out.hasCaption = !p.Caption.empty();

  int tw = 0, th = 0;
  if (out.hasCaption) {
    TextExtent e = s.MeasureText(p.Caption, c, p.Font);
    tw = e.width;
    th = e.height;
    out.caption = At(Centre(c.left, c.right, tw), Centre(c.top, c.bottom, th), tw, th);
  }
  if (!hasPicture) return out;

  const int pw = p.PictureWidth, ph = p.PictureHeight;
  if (!out.hasCaption) {
    out.picture = At(Centre(c.left, c.right, pw), Centre(c.top, c.bottom, ph), pw, ph);
    return out;
  }
  const int g = kPictureGap;
  switch (p.DrawnPosition()) {
    case kPictureAbove:
      out.picture = At(Centre(c.left, c.right, pw), Centre(c.top, c.bottom, ph + g + th), pw, ph);
      out.caption = At(Centre(c.left, c.right, tw), out.picture.bottom + g, tw, th);
      break;
    case kPictureRight:
      out.caption = At(Centre(c.left, c.right, tw + g + pw), Centre(c.top, c.bottom, th), tw, th);
      out.picture = At(out.caption.right + g, Centre(c.top, c.bottom, ph), pw, ph);
      break;
    case kPictureBelow:
      out.caption = At(Centre(c.left, c.right, tw), Centre(c.top, c.bottom, th + g + ph), tw, th);
      out.picture = At(Centre(c.left, c.right, pw), out.caption.bottom + g, pw, ph);
      break;
    default:  // picture left of the caption
      out.picture = At(Centre(c.left, c.right, pw + g + tw), Centre(c.top, c.bottom, ph), pw, ph);
      out.caption = At(out.picture.right + g, Centre(c.top, c.bottom, th), tw, th);
      break;
  }
  return out;
}

}  // namespace nv
