#pragma once
#include <string>

#include "platform/draw_surface.h"
#include "ui/xp_region.h"

namespace nv {

// What the button needs from the window that hosts it: the container's
// ambient properties and extender, its services, and the control's own
// window. The Win32 layer implements it over a child window; tests fake it.
class XpHost {
 public:
  virtual ~XpHost() = default;

  // Ambient properties.
  virtual FontSpec AmbientFont() = 0;
  virtual std::string DisplayName() = 0;
  virtual bool UserMode() = 0;  // false while a form is being designed

  // Extender: `Left` and `Top` in pixels of the parent, `Default`, the
  // parent's picture (empty when it has none).
  virtual Point ExtenderPosition() = 0;
  virtual bool ExtenderDefault() = 0;
  virtual Picture ParentPicture() = 0;

  // Container services.
  virtual void PropertyChanged(const std::string& storedName) = 0;
  virtual void DeclareAccessKey(char key, const std::string& mnemonicText) = 0;
  virtual void Navigate(const std::string& url) = 0;    // the hyperlink service
  virtual void ShellOpen(const std::string& file) = 0;  // "open" with the parent window, shown normally

  // The control's window.
  virtual DrawSurface& BackBuffer() = 0;  // sized to the window
  virtual void ShowBackBuffer() = 0;
  virtual void SetWindowEnabled(bool enabled) = 0;
  virtual int TwipsToPixelsX(int twips) = 0;
  virtual int TwipsToPixelsY(int twips) = 0;
  virtual void SetSize(int w, int h) = 0;                     // pixels
  virtual void SetWindowRegion(const WindowRegion* region) = 0;  // nullptr: the whole rectangle
  virtual void SetPointer(int mousePointer, const Picture& icon, bool hand) = 0;
  virtual void StartOverTimer() = 0;  // every 10 ms
  virtual void StopOverTimer() = 0;
  virtual bool PointerOverControl() = 0;  // the window under the cursor is this one
  virtual void CaptureMouse() = 0;
  // False once the window is being destroyed: a `Click` handler may close
  // the form the button sits on, and the button then touches nothing more.
  virtual bool WindowAlive() = 0;
};

}  // namespace nv
