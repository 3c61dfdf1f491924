#include "gallery_scenes.h"

#include "ui/xpbs.h"

namespace nv {
namespace {

constexpr Rgb kMask = MakeRgb(255, 0, 255);

// A 32 by 32 picture: a green disc with a white highlight on the mask colour.
Picture Disc() {
  auto img = std::make_shared<Image>(32, 32, kMask);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int dx = x - 15, dy = y - 15;
      if (dx * dx + dy * dy <= 13 * 13) img->At(x, y) = MakeRgb(40, 150, 60);
      if ((dx + 5) * (dx + 5) + (dy + 5) * (dy + 5) <= 9) img->At(x, y) = MakeRgb(255, 255, 255);
    }
  }
  return img;
}

}  // namespace

std::vector<GalleryRow> GalleryRows() {
  std::vector<GalleryRow> rows;
  for (int style = 0; style <= 4; ++style) {
    rows.push_back({"Style " + std::to_string(style), style, false, 1, 1});
    rows.push_back({"Style " + std::to_string(style) + " picture", style, true, 1, 1});
  }
  rows.push_back({"Style 0 bevel 2", 0, false, 2, 1});
  rows.push_back({"Style 1 bevel 3", 1, true, 3, 2});
  return rows;
}

const char* StateName(SceneState s) {
  switch (s) {
    case SceneState::kNormal: return "normal";
    case SceneState::kHot: return "hot";
    case SceneState::kPressed: return "pressed";
    case SceneState::kFocused: return "focused";
    default: return "disabled";
  }
}

void ApplyRow(XpBs& b, const GalleryRow& row, int column) {
  static const Picture disc = Disc();
  static const char* captions[] = {"&Apply", "Save && Exit", "&Yes", "A&&B&c", "Cancel"};
  b.SetButtonStyle(row.style);
  b.SetCaption(captions[column % 5]);
  b.SetBEVEL(static_cast<std::int16_t>(row.bevel));
  b.SetPicturePosition(row.position);
  b.SetMaskColor(kMask);
  b.SetPicture(row.picture ? disc : nullptr);
}

void EnterState(XpBs& b, SceneState s) {
  switch (s) {
    case SceneState::kHot:
      b.MouseMove(0, 0, 2, 2);
      break;
    case SceneState::kPressed:
      b.MouseMove(0, 0, 2, 2);
      b.MouseDown(1, 0, 2, 2);
      break;
    case SceneState::kFocused:
      b.GotFocus();
      break;
    case SceneState::kDisabled:
      b.SetEnabled(false);
      break;
    default:
      break;
  }
}

}  // namespace nv
