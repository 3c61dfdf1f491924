#pragma once
#include <string>

#include "app/main_view.h"

namespace nv {

class frmMain;
class BlockLists;

// The main window as the settings dialog's Apply sees it: the check marks of
// the three tray menu switches, and the routines that rebuild the main
// window's working state from the files and settings just written.
class MainWindowLink {
 public:
  virtual ~MainWindowLink() = default;
  virtual bool MenuChecked(MenuItem item) = 0;
  virtual void blockads(bool on) = 0;
  virtual void KillCookies(bool on) = 0;
  virtual void killpopups(bool on) = 0;
  // The browsers whose cookie stores the cookie step cleans, as the line
  // under the "&Cookies" tab's list says it (UTF-8); none by default.
  virtual std::string CookieStoresLine() { return {}; }
  // The block-list subscriptions of the running program, for the fifth tab:
  // their state, "Update now", and a reload after Apply wrote their files.
  virtual BlockLists* RunningLists() { return nullptr; }
  virtual void ReloadBlockLists() {}
};

// The running program's main window.
class FrmMainLink : public MainWindowLink {
 public:
  explicit FrmMainLink(frmMain& main) : main_(main) {}
  bool MenuChecked(MenuItem item) override;
  void blockads(bool on) override;
  void KillCookies(bool on) override;
  void killpopups(bool on) override;
  std::string CookieStoresLine() override;
  BlockLists* RunningLists() override;
  void ReloadBlockLists() override;

 private:
  frmMain& main_;
};

}  // namespace nv
