#pragma once
#include <memory>
#include <string>

#include "platform/desktop.h"

namespace nv {

class Form5;
class frmauto;
class xpUpdate;

// The labels that the update windows fill in: the prompt's "Current Version"
// (Label4) and "Update Version" (Label5); the manual window's status
// (Label6), "Current version" (Label7) and "Newer Version" (Label8).
enum class UpdateLabel { Label4, Label5, Label6, Label7, Label8 };

// The on-screen side of the prompt and of the manual window.
class UpdateFormView {
 public:
  virtual ~UpdateFormView() = default;
  virtual void SetLabel(UpdateLabel label, const std::string& text) = 0;
  // 0: the default pointer; 11: the hourglass, over the whole window.
  virtual void SetMousePointer(int pointer) = 0;
  // Shows the window modeless and active, as the user asked for it; one
  // already on screen is brought forward.
  virtual void Show() = 0;
  // Shows it, or brings it forward, without activating it: a window that
  // comes by itself never takes the keyboard from where the user types.
  virtual void ShowInactive() = 0;
  // The window that the boxes it asks for belong to.
  virtual WindowHandle BoxOwner() = 0;
  // The window goes away; nothing arrives from it afterwards.
  virtual void Close() = 0;
};

// The checker's window is never shown.
class CheckerView {
 public:
  virtual ~CheckerView() = default;
  virtual void Hide() = 0;
  virtual void Close() = 0;
};

// Makes the windows of live update; each sends its user's actions to the core
// object it is made for.
class UpdateViews {
 public:
  virtual ~UpdateViews() = default;
  virtual std::unique_ptr<CheckerView> MakeChecker(Form5& form) = 0;
  virtual std::unique_ptr<UpdateFormView> MakePrompt(frmauto& form) = 0;
  virtual std::unique_ptr<UpdateFormView> MakeManual(xpUpdate& form) = 0;
};

}  // namespace nv
