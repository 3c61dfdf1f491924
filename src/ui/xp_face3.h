#pragma once
#include "platform/draw_surface.h"
#include "ui/xp_props.h"

namespace nv {

enum class FaceState { kNormal, kHot, kPressed };

// Style 3: rounded corners, a vertical gradient and coloured rings for focus
// and hover, filling the whole buffer.
void DrawRoundedFace(DrawSurface& s, const XpProps& p, FaceState state, bool focused);

// k of the gradient: scale * i / h to the nearest integer, halves to even.
int GradientStep(int scale, int i, int h);

}  // namespace nv
