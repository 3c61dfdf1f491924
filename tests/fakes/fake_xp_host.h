#pragma once
#include <optional>
#include <string>
#include <vector>

#include "ui/raster_surface.h"
#include "ui/xp_host.h"
#include "ui/xpbs_events.h"

namespace nv::test {

// A container and window for one button, over a pixel-array back buffer.
// Every call that matters to the tests is logged by name.
class FakeXpHost : public XpHost {
 public:
  FakeXpHost(int w = 75, int h = 23) : surface(w, h) {}

  FontSpec AmbientFont() override { return ambientFont; }
  std::string DisplayName() override { return displayName; }
  bool UserMode() override { return userMode; }
  Point ExtenderPosition() override { return position; }
  bool ExtenderDefault() override { return isDefault; }
  Picture ParentPicture() override { return parentPicture; }
  void PropertyChanged(const std::string& name) override { changed.push_back(name); }
  void DeclareAccessKey(char key, const std::string& text) override {
    accessKey = key;
    mnemonic = text;
  }
  void Navigate(const std::string& url) override { log.push_back("Navigate " + url); }
  void ShellOpen(const std::string& file) override { log.push_back("ShellOpen " + file); }
  DrawSurface& BackBuffer() override { return surface; }
  void ShowBackBuffer() override { ++shown; }
  void SetWindowEnabled(bool e) override { windowEnabled = e; }
  int TwipsToPixelsX(int twips) override { return twips / 15; }
  int TwipsToPixelsY(int twips) override { return twips / 15; }
  void SetSize(int w, int h) override {
    surface = RasterSurface(w, h);
    log.push_back("SetSize " + std::to_string(w) + "x" + std::to_string(h));
  }
  void SetWindowRegion(const WindowRegion* r) override {
    region = r ? std::optional<WindowRegion>(*r) : std::nullopt;
    ++regionCalls;
  }
  void SetPointer(int shape, const Picture&, bool hand) override {
    pointer = shape;
    handPointer = hand;
  }
  void StartOverTimer() override { timerRunning = true; }
  void StopOverTimer() override { timerRunning = false; }
  bool PointerOverControl() override { return pointerOver; }
  void CaptureMouse() override { log.push_back("SetCapture"); }
  bool WindowAlive() override { return alive; }

  RasterSurface surface;
  FontSpec ambientFont{"Tahoma", 8, false, false, false, false};
  std::string displayName = "XpBs1";
  bool userMode = true;
  Point position{0, 0};
  bool isDefault = false;
  Picture parentPicture;
  std::vector<std::string> changed;
  std::vector<std::string> log;  // host services, in order
  char accessKey = 0;
  std::string mnemonic;
  int shown = 0;
  bool windowEnabled = true;
  std::optional<WindowRegion> region;
  int regionCalls = 0;
  int pointer = 0;
  bool handPointer = false;
  bool timerRunning = false;
  bool pointerOver = false;
  bool alive = true;
};

// Writes each event as one line into the host's log, so that tests compare
// whole sequences of events and services.
class EventLog : public XpBsEvents {
 public:
  explicit EventLog(std::vector<std::string>& into) : log(into) {}
  void Click() override { log.push_back("Click"); }
  void KeyDown(std::int16_t k, std::int16_t s) override { log.push_back(Fmt("KeyDown", {k, s})); }
  void KeyPress(std::int16_t a) override { log.push_back(Fmt("KeyPress", {a})); }
  void KeyUp(std::int16_t k, std::int16_t s) override { log.push_back(Fmt("KeyUp", {k, s})); }
  void MouseDown(std::int16_t b, std::int16_t s, float x, float y) override {
    log.push_back(Fmt("MouseDown", {b, s, int(x), int(y)}));
  }
  void MouseMove(std::int16_t b, std::int16_t s, float x, float y) override {
    log.push_back(Fmt("MouseMove", {b, s, int(x), int(y)}));
  }
  void MouseUp(std::int16_t b, std::int16_t s, float x, float y) override {
    log.push_back(Fmt("MouseUp", {b, s, int(x), int(y)}));
  }
  void MouseIn(std::int16_t s) override { log.push_back(Fmt("MouseIn", {s})); }
  void MouseOut(std::int16_t s) override { log.push_back(Fmt("MouseOut", {s})); }

 private:
  static std::string Fmt(const char* name, std::initializer_list<int> args) {
    std::string s = name;
    for (int a : args) s += " " + std::to_string(a);
    return s;
  }
  std::vector<std::string>& log;
};

}  // namespace nv::test
