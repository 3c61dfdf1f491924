#pragma once
#include <string>
#include <vector>

#include "platform/draw_surface.h"

namespace nv {

class XpBs;

enum class SceneState { kNormal, kHot, kPressed, kFocused, kDisabled };

// One row of the gallery: a look shown in every state.
struct GalleryRow {
  std::string label;
  int style;
  bool picture;
  int bevel;
  int position;
};

std::vector<GalleryRow> GalleryRows();
const char* StateName(SceneState s);

// Sets up a button for a row and drives it into a state through its own
// notifications, as the user would.
void ApplyRow(XpBs& b, const GalleryRow& row, int column);
void EnterState(XpBs& b, SceneState s);

}  // namespace nv
