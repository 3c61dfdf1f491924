#pragma once
#include <windows.h>

#include <string>

#include "update/update_views.h"

namespace nv {

// What the prompt and the manual window have in common on screen: a
// top-level window of controls laid out in 96-dpi units and scaled to the
// screen, our XP-style buttons, the labels the core fills in, the hourglass
// over the whole window, and the keyboard of a dialog (Tab, access keys,
// Enter on the focused button, Escape for the close box).
class UpdateFormWindow : public UpdateFormView {
 public:
  ~UpdateFormWindow() override;
  UpdateFormWindow(const UpdateFormWindow&) = delete;
  UpdateFormWindow& operator=(const UpdateFormWindow&) = delete;

  void SetLabel(UpdateLabel label, const std::string& text) override;
  void SetMousePointer(int pointer) override;
  void Show() override;
  void ShowInactive() override;
  WindowHandle BoxOwner() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void Close() override;
  HWND hwnd() const { return hwnd_; }

 protected:
  UpdateFormWindow(HINSTANCE inst, const char* className, const char* caption, int clientW, int clientH);

  HWND Label(const std::string& text, int x, int y, int w, int h, int id = 0, HFONT font = nullptr,
             DWORD style = SS_LEFT);
  HWND Group(const std::string& text, int x, int y, int w, int h);
  void Icon(int x, int y);
  // An XP-style button with the rounded look and the arrow of its own.
  HWND Button(const std::string& caption, int x, int y, int w, int h, int id);
  static HFONT VersionFont();  // Verdana
  static HFONT HeadingFont();  // Tahoma

  // The control that has the focus when the window first shows; else the
  // first button.
  void FirstFocus(HWND control) { firstFocus_ = control; }
  virtual void OnCommand(int id) = 0;
  virtual void OnClose() = 0;  // the close box and Escape

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
  LRESULT Handle(HWND h, UINT m, WPARAM w, LPARAM l);
  void ClickFocusedButton();
  void RestoreFocus();
  bool PointerOverWindow() const;

  HWND hwnd_ = nullptr;
  HWND lastFocus_ = nullptr;
  HWND firstFocus_ = nullptr;
  int pointer_ = 0;
  bool closing_ = false;
};

}  // namespace nv
