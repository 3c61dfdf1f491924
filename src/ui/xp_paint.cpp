#include "ui/xp_paint.h"

#include <algorithm>

#include "ui/xp_colors.h"
#include "ui/xp_face3.h"
#include "ui/xp_frames.h"
#include "ui/xp_picture.h"

namespace nv {
namespace {

// The part of the parent's picture that lies under the control. What falls
// outside the picture keeps the background it had.
void CopyContainerPicture(DrawSurface& s, const PaintContext& c) {
  if (!c.parentPicture) return;
  const Image& src = *c.parentPicture;
  const int x0 = std::max(c.extenderPosition.x, 0), y0 = std::max(c.extenderPosition.y, 0);
  const int x1 = std::min(c.extenderPosition.x + s.Width(), src.width);
  const int y1 = std::min(c.extenderPosition.y + s.Height(), src.height);
  if (x1 <= x0 || y1 <= y0) return;
  Image part(x1 - x0, y1 - y0);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) part.At(x - x0, y - y0) = src.At(x, y);
  }
  s.WritePixels(part, {x0 - c.extenderPosition.x, y0 - c.extenderPosition.y});
}

void PaintFramedStyles(DrawSurface& s, const PaintContext& c) {
  const XpProps& p = c.props;
  const XpFlags& f = c.flags;
  const std::int32_t style = p.DrawnStyle();
  if (f.pressed) {
    DrawSunkenFrame(s, p);
  } else if (f.hovered || style == kStyleRaised) {
    DrawRaisedFrame(s, p);
  }
  if ((c.extenderDefault || f.focused) && style == kStyleRaised && !f.pressed) DrawDefaultFrame(s, p);
}

FaceState RoundedState(const XpFlags& f) {
  if (f.pressed) return FaceState::kPressed;
  return f.hovered ? FaceState::kHot : FaceState::kNormal;
}

}  // namespace

Rect FocusRectangle(int w, int h) { return {4, 4, w - 4, h - 4}; }

void PaintBackground(DrawSurface& s, const PaintContext& c) {
  const XpProps& p = c.props;
  switch (p.DrawnStyle()) {
    case kStyleRounded:
      return;
    case kStyleFlat: {
      if (c.flags.pressed || !p.TransparentBG) {
        s.Clear(ResolveColor(s, p.BackColor));
      } else {
        CopyContainerPicture(s, c);
      }
      const Tints t = FlatStyleTints(s, p);
      if (c.flags.pressed) {
        s.Clear(t.pressed);
      } else if (c.flags.hovered) {
        s.Clear(t.hover);
      }
      return;
    }
    default:
      if (p.TransparentBG) CopyContainerPicture(s, c);
      return;
  }
}

void PaintBorderAndFace(DrawSurface& s, const PaintContext& c) {
  const XpProps& p = c.props;
  const std::int32_t style = p.DrawnStyle();
  if (style == kStyleBare) return;
  if (!c.userMode) {
    if (style == kStyleRounded) return DrawRoundedFace(s, p, FaceState::kNormal, false);
    if (style != kStyleFlat) DrawRaisedFrame(s, p);
    return;
  }
  switch (style) {
    case kStyleFlat:
      if (c.flags.hovered || p.XPShowBorderAlways) {
        s.FrameBox({0, 0, s.Width(), s.Height()}, ResolveColor(s, p.ForeColor));
      }
      return;
    case kStyleRounded:
      return DrawRoundedFace(s, p, RoundedState(c.flags), c.flags.focused);
    default:
      return PaintFramedStyles(s, c);
  }
}

void PaintCaption(DrawSurface& s, const PaintContext& c, const XpLayout& layout) {
  const XpProps& p = c.props;
  if (!layout.hasCaption) return;
  Rect r = layout.caption;
  if (c.flags.pressed && p.DrawnStyle() != kStyleFlat) r = r.Moved(1, 1);
  if (p.Enabled) {
    s.DrawText(p.Caption, r, ResolveColor(s, p.ForeColor), p.Font);
    return;
  }
  s.DrawText(p.Caption, {r.left + 1, r.top + 1, r.right + 1, r.bottom}, s.SysColor(syscolor::k3dHighlight),
             p.Font);
  s.DrawText(p.Caption, r, s.SysColor(syscolor::kButtonShadow), p.Font);
}

XpLayout PaintButton(DrawSurface& s, const PaintContext& c) {
  const XpProps& p = c.props;
  s.Clear(ResolveColor(s, p.BackColor));
  PaintBackground(s, c);
  PaintBorderAndFace(s, c);
  const bool hasPicture = c.picture && c.picture->width > 0 && c.picture->height > 0;
  XpLayout layout = LayOut(s, p, hasPicture);
  if (hasPicture) DrawPictureStep(s, p, *c.picture, layout, c.flags);
  if (c.flags.focused && p.ShowFocusRect && p.DrawnStyle() != kStyleRounded) {
    s.FocusRect(FocusRectangle(s.Width(), s.Height()));
  }
  PaintCaption(s, c, layout);
  return layout;
}

}  // namespace nv
