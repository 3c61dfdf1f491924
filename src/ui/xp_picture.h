#pragma once
#include "platform/draw_surface.h"
#include "ui/xp_layout.h"
#include "ui/xp_props.h"

namespace nv {

// The picture as it lands in a memory bitmap of its natural size filled with
// `canvas`: a bitmap covers it all, an icon only where it is opaque.
Image RenderNatural(const Image& picture, Rgb canvas);

// Scaled to w by h, each target pixel taking the source pixel it falls on.
Image Stretch(const Image& src, int w, int h);

// The masked copy: where `src` has the mask colour, `dst` stays; elsewhere
// `src` replaces it. Done as GDI does it: a monochrome mask and its inverse,
// two ANDs and an XOR.
Image MaskCombine(const Image& dst, const Image& src, Rgb mask);
void MaskBlit(DrawSurface& s, Point at, const Image& src, Rgb mask);

// The picture step of a redraw: offset, hover shadow, disabled look.
void DrawPictureStep(DrawSurface& s, const XpProps& p, const Image& picture, const XpLayout& layout,
                     const XpFlags& flags);

}  // namespace nv
