// The button's reactions to its window: resize, redraw, pointer, mouse,
// keyboard, access key and focus.
#include "ui/xp_paint.h"
#include "ui/xp_region.h"
#include "ui/xpbs.h"

namespace nv {
namespace {
constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;
constexpr std::int16_t kSpaceBar = 32;
constexpr int kMinimumSize = 10;     // pixels
constexpr int kEnlargedTwips = 150;  // what a too small control grows to
constexpr unsigned kClickSoundFlags = kSoundFileName | kSoundAsync | kSoundNoDefault;  // 0x20003
}  // namespace

void XpBs::Resize(int w, int h) {
  if (resizing_) return;  // the window's own size notice while it grows
  bool grow = false;
  if (w < kMinimumSize) w = host_.TwipsToPixelsX(kEnlargedTwips), grow = true;
  if (h < kMinimumSize) h = host_.TwipsToPixelsY(kEnlargedTwips), grow = true;
  w_ = w;
  h_ = h;
  if (grow) {
    resizing_ = true;
    host_.SetSize(w, h);
    resizing_ = false;
  }
  // A square style must not keep the rounded shape of style 3.
  if (p_.ButtonStyle == kStyleRounded) {
    WindowRegion region = RoundedRegion(w_, h_);
    host_.SetWindowRegion(&region);
    shaped_ = true;
  } else if (shaped_) {
    host_.SetWindowRegion(nullptr);
    shaped_ = false;
  }
  Refresh();
}

void XpBs::Refresh() {
  if (!host_.WindowAlive()) return;
  Picture parent = p_.TransparentBG ? host_.ParentPicture() : nullptr;
  PaintContext c{p_, flags_, host_.UserMode(), host_.ExtenderDefault(), host_.ExtenderPosition(),
                 parent.get(), displayed_.get()};
  layout_ = PaintButton(host_.BackBuffer(), c);
  host_.ShowBackBuffer();
}

void XpBs::GoToURL() {
  if (p_.URL.compare(0, 7, "mailto:") == 0) {
    host_.ShellOpen(p_.URL);
  } else if (!p_.URL.empty()) {
    host_.Navigate(p_.URL);
  }
}

void XpBs::MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
  if (Inside(x, y) && !flags_.hovered) {
    host_.StartOverTimer();
    flags_.hovered = true;
    if (p_.PictureHover) displayed_ = p_.PictureHover;
    events_.MouseIn(shift);
    Refresh();
  }
  events_.MouseMove(button, shift, x, y);
}

void XpBs::OverTimer() {
  if (host_.PointerOverControl()) return;
  host_.StopOverTimer();
  flags_.hovered = false;
  displayed_ = p_.PictureNormal;
  events_.MouseOut(lastShift_);
  // While the pointer is away a held button looks raised; it looks pressed
  // again when the pointer comes back.
  const bool held = flags_.pressed;
  flags_.pressed = false;
  Refresh();
  flags_.pressed = held;
}

void XpBs::MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
  lastButton_ = button;
  lastShift_ = shift;
  lastX_ = x;
  lastY_ = y;
  if (button != kRightButton) {
    flags_.pressed = true;
    Refresh();
  }
  events_.MouseDown(button, shift, x, y);
}

void XpBs::MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
  ReleaseMouse(button, shift, x, y);
}

// A `Click` handler may destroy the window and this object with it (the
// window then frees it only once its handler returns): after `Click`
// nothing of the button's own is touched unless its window lives on.
void XpBs::ReleaseMouse(std::int16_t button, std::int16_t shift, float x, float y) {
  flags_.pressed = false;
  if (button != kRightButton) {
    Refresh();
    if (Inside(x, y)) {
      PlayClickSound();
      events_.Click();
      if (!host_.WindowAlive()) return;
      GoToURL();
    }
  }
  events_.MouseUp(button, shift, x, y);
}

void XpBs::DblClick() {
  host_.CaptureMouse();
  MouseDown(lastButton_, lastShift_, lastX_, lastY_);
}

void XpBs::KeyDown(std::int16_t keyCode, std::int16_t shift) {
  if (!spaceLatch_ && keyCode == kSpaceBar) {
    flags_.pressed = true;
    flags_.hovered = true;
    Refresh();
    spaceLatch_ = true;
  }
  events_.KeyDown(keyCode, shift);
}

void XpBs::KeyPress(std::int16_t keyAscii) { events_.KeyPress(keyAscii); }

void XpBs::KeyUp(std::int16_t keyCode, std::int16_t shift) {
  if (keyCode == kSpaceBar) {
    flags_.hovered = false;
    ReleaseMouse(kLeftButton, shift, 0, 0);
    if (!host_.WindowAlive()) return;
  }
  spaceLatch_ = false;
  events_.KeyUp(keyCode, shift);
}

void XpBs::AccessKeyPress() {
  if (!p_.Enabled) return;
  events_.Click();
  if (host_.WindowAlive()) GoToURL();
}

void XpBs::GotFocus() {
  flags_.focused = true;
  Refresh();
}

void XpBs::LostFocus() {
  flags_.focused = false;
  flags_.pressed = false;
  Refresh();
}

void XpBs::PlayClickSound() {
  if (!p_.SoundClick.empty()) sound_.Play(p_.SoundClick, kClickSoundFlags);
}

}  // namespace nv
