#pragma once
#include "platform/draw_surface.h"

namespace nv {

// The 16 by 16 picture of "Check For Updates": a globe with a green arrow
// pointing down, on black, the button's default mask colour.
Picture UpdateButtonPicture();

}  // namespace nv
