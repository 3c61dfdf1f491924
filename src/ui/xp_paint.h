#pragma once
#include "platform/draw_surface.h"
#include "ui/xp_layout.h"
#include "ui/xp_props.h"

namespace nv {

// Everything one redraw needs besides the surface.
struct PaintContext {
  const XpProps& props;
  XpFlags flags;
  bool userMode = true;          // the container runs (not design time)
  bool extenderDefault = false;  // the container's default button
  Point extenderPosition;        // the control's place on its parent, in pixels
  const Image* parentPicture = nullptr;
  const Image* picture = nullptr;  // the displayed picture
};

// One whole redraw into the back buffer, in order: clear, background, border
// and face, layout, picture, focus rectangle, caption. Returns the layout.
XpLayout PaintButton(DrawSurface& s, const PaintContext& c);

// The steps, for callers that want one of them.
void PaintBackground(DrawSurface& s, const PaintContext& c);
void PaintBorderAndFace(DrawSurface& s, const PaintContext& c);
void PaintCaption(DrawSurface& s, const PaintContext& c, const XpLayout& layout);

// The focus rectangle of every style but 3.
Rect FocusRectangle(int w, int h);

}  // namespace nv
