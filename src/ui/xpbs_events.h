#pragma once
#include <cstdint>

namespace nv {

// The button's events. Mouse button values: 1 left, 2 right, 4 middle; shift
// bits: 1 Shift, 2 Ctrl, 4 Alt.
class XpBsEvents {
 public:
  virtual ~XpBsEvents() = default;
  virtual void Click() {}
  virtual void KeyDown(std::int16_t keyCode, std::int16_t shift) {}
  virtual void KeyPress(std::int16_t keyAscii) {}
  virtual void KeyUp(std::int16_t keyCode, std::int16_t shift) {}
  virtual void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {}
  virtual void MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {}
  virtual void MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {}
  virtual void MouseIn(std::int16_t shift) {}
  virtual void MouseOut(std::int16_t shift) {}
};

}  // namespace nv
