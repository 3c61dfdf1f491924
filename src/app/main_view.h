#pragma once
#include <cstdint>
#include <string>

namespace nv {

class UpdateViews;

enum class MenuItem { BlockAds, KillCookies, BlockPopups };

// The on-screen side of the hidden main window frmMain (which doubles as the
// About window) and the windows it opens. The Win32 layer implements it;
// tests record the calls.
class MainView {
 public:
  virtual ~MainView() = default;
  virtual void SetVersionLabel(const std::string& text) = 0;  // Label4
  virtual void SetStatusLabel(const std::string& text) = 0;   // Label2
  virtual void SetAboutVisible(bool visible) = 0;
  virtual void SetMenuCheck(MenuItem item, bool checked) = 0;
  // Brings the main window to the foreground, then shows the tray menu at the pointer.
  virtual void ShowTrayMenu() = 0;
  virtual void ShowHelp() = 0;
  virtual void ShowSettings() = 0;
  // Unloads the settings dialog when it is open; changes not applied are dropped.
  virtual void CloseSettings() = 0;
  // The windows of live update; none by default.
  virtual UpdateViews* UpdateWindows() { return nullptr; }
  // The handles the tray icon record carries.
  virtual std::uintptr_t WindowHandle() = 0;
  virtual std::uintptr_t IconHandle() = 0;
};

}  // namespace nv
