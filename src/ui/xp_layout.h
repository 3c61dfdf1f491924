#pragma once
#include <string>

#include "platform/draw_surface.h"
#include "ui/xp_props.h"

namespace nv {

// Where the picture and the caption go, kept between the paint steps.
struct XpLayout {
  Rect content;
  Rect picture;
  Rect caption;
  bool hasPicture = false;
  bool hasCaption = false;
};

// Gap between picture and caption.
constexpr int kPictureGap = 4;

// The caption is measured on the surface; the picture takes `PictureWidth`
// by `PictureHeight` and sits beside, above or below it as one centred group.
XpLayout LayOut(DrawSurface& s, const XpProps& p, bool hasPicture);

}  // namespace nv
