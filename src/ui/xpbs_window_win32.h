#pragma once
// The parts of one XP-style button window: the container services over the
// child window, the events sent on to the parent, and the control itself.
#include <windows.h>

#include "platform/win32/gdi_surface.h"
#include "platform/win32/win32_services.h"
#include "ui/xp_host.h"
#include "ui/xpbs.h"
#include "ui/xpbs_events.h"

namespace nv {

class XpBsWin32Host : public XpHost {
 public:
  XpBsWin32Host(HWND window, std::string displayName);

  FontSpec AmbientFont() override { return ambientFont; }
  std::string DisplayName() override { return displayName_; }
  bool UserMode() override { return true; }
  Point ExtenderPosition() override;
  bool ExtenderDefault() override { return isDefault; }
  Picture ParentPicture() override { return parentPicture; }
  void PropertyChanged(const std::string&) override {}
  void DeclareAccessKey(char key, const std::string& mnemonicText) override;
  void Navigate(const std::string& url) override;
  void ShellOpen(const std::string& file) override;
  DrawSurface& BackBuffer() override { return surface; }
  void ShowBackBuffer() override;
  void SetWindowEnabled(bool enabled) override;
  int TwipsToPixelsX(int twips) override;
  int TwipsToPixelsY(int twips) override;
  void SetSize(int w, int h) override;
  void SetWindowRegion(const WindowRegion* region) override;
  void SetPointer(int mousePointer, const Picture& icon, bool hand) override;
  void StartOverTimer() override;
  void StopOverTimer() override;
  bool PointerOverControl() override;
  void CaptureMouse() override;
  bool WindowAlive() override { return alive; }

  // WM_SETCURSOR: true when the pointer was set.
  bool ApplyPointer();

  GdiSurface surface;
  FontSpec ambientFont;
  bool isDefault = false;
  Picture parentPicture;
  bool alive = true;  // false from WM_DESTROY on

 private:
  HWND window_;
  std::string displayName_;
  Win32Shell shell_;
  Win32Dialogs dialogs_;
  int pointer_ = 0;
  bool hand_ = false;
};

// Sends the control's events to the parent window.
class XpBsParentNotifier : public XpBsEvents {
 public:
  explicit XpBsParentNotifier(HWND window) : window_(window) {}
  void Click() override;
  void KeyDown(std::int16_t keyCode, std::int16_t shift) override;
  void KeyPress(std::int16_t keyAscii) override;
  void KeyUp(std::int16_t keyCode, std::int16_t shift) override;
  void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) override;
  void MouseMove(std::int16_t button, std::int16_t shift, float x, float y) override;
  void MouseUp(std::int16_t button, std::int16_t shift, float x, float y) override;
  void MouseIn(std::int16_t shift) override;
  void MouseOut(std::int16_t shift) override;

 private:
  void Notify(UINT code, short key, short button, short shift, float x, float y);
  HWND window_;
};

struct XpBsWindow {
  XpBsWindow(HWND window, std::string displayName)
      : host(window, std::move(displayName)), notifier(window), button(host, sound, notifier) {}
  XpBsWin32Host host;
  XpBsParentNotifier notifier;
  Win32Sound sound;
  XpBs button;
  // Messages being handled: a `Click` handler may destroy the window, and
  // the object then goes only once the outermost handler has returned.
  int depth = 0;
  bool destroyed = false;
};

FontSpec FontSpecOf(HFONT font);

}  // namespace nv
