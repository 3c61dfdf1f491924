#pragma once
#include <windows.h>

#include <memory>

#include "app/frm_main.h"
#include "app/main_view.h"
#include "platform/win32/win32_platform.h"
#include "update/update_windows_win32.h"
#include "settings/frm_settings_win32.h"

namespace nv {

// The hidden main window: a real top-level window (so that it receives the
// session-end and taskbar broadcasts) that doubles as the About window.
// It maps window messages onto frmMain and frmMain's requests back onto windows.
class MainWindow : public MainView {
 public:
  static constexpr char kClass[] = "NorvaneMain";
  static constexpr char kCaption[] = "About Norvane!";

  MainWindow(HINSTANCE inst, Win32Platform& platform);
  // Runs frmMain's start-up; starts the 100 ms timer when it did not end the program.
  void Load();
  HWND hwnd() const { return hwnd_; }
  frmMain& core() { return *core_; }

  void SetVersionLabel(const std::string& text) override;
  void SetStatusLabel(const std::string& text) override;
  void SetAboutVisible(bool visible) override;
  void SetMenuCheck(MenuItem item, bool checked) override;
  void ShowTrayMenu() override;
  void ShowHelp() override;
  void ShowSettings() override;
  void CloseSettings() override;
  UpdateViews* UpdateWindows() override { return &updateViews_; }
  std::uintptr_t WindowHandle() override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
  std::uintptr_t IconHandle() override;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
  static LRESULT CALLBACK PanelProc(HWND h, UINT m, WPARAM w, LPARAM l);
  LRESULT Handle(UINT m, WPARAM w, LPARAM l);
  void BuildAboutControls();
  void OnCommand(int id);
  void BuildTrayMenu();

  HINSTANCE inst_;
  Win32Platform& platform_;
  Win32UpdateViews updateViews_;
  HWND hwnd_ = nullptr;
  HWND panel_ = nullptr, label4_ = nullptr, label2_ = nullptr;
  HMENU menu_ = nullptr;
  UINT taskbarCreated_ = 0;
  std::unique_ptr<frmMain> core_;
  std::unique_ptr<FrmMainLink> link_;
  std::unique_ptr<SettingsWindow> settings_;
};

}  // namespace nv
