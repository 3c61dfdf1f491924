#pragma once
#include "platform/draw_surface.h"
#include "ui/xp_props.h"

namespace nv {

// The 3-D frames of styles 0 and 1 on a W by H buffer. With `BEVEL` above 1
// they become bevels of `BEVEL` + 1 rings around the resolved `BackColor`.
void DrawRaisedFrame(DrawSurface& s, const XpProps& p);
void DrawSunkenFrame(DrawSurface& s, const XpProps& p);
void DrawDefaultFrame(DrawSurface& s, const XpProps& p);

}  // namespace nv
