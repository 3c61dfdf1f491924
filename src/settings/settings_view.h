#pragma once
#include <string>

#include "platform/desktop.h"
#include "settings/block_lists_tab.h"

namespace nv {

// The four list families of the settings dialog, in the order of their tabs.
enum class SettingsList { lstadservers, lstcookies, lstdns, lstpopups };
inline constexpr int kSettingsLists = 4;
// The dialog's check boxes: three options and start with Windows.
enum class SettingsCheck { chkallcookies, chkusedns, chkblockallpops, Check1 };
inline constexpr int kSettingsChecks = 4;

// The on-screen side of frmSettings. The core keeps every control's state;
// the window shows what it is told, and reports the user's actions back as
// the core's handlers. Setting a control here never runs a reaction: the
// core runs it itself.
class SettingsView {
 public:
  virtual ~SettingsView() = default;
  // The main window's icon becomes the dialog's.
  virtual void CopyMainIcon() = 0;
  virtual void FillColours(const char* const* names, int count) = 0;
  virtual void ShowColour(int index) = 0;
  virtual void ShowCheck(SettingsCheck check, bool checked) = 0;
  virtual void ShowEntry(SettingsList list, const std::string& text) = 0;
  virtual void ShowCount(SettingsList list, const std::string& text) = 0;
  // The list's entries changed or its selection moved (-1: none); the
  // window draws its rows from the core's list.
  virtual void ShowList(SettingsList list, int count, int selected) = 0;
  virtual void SetListEnabled(SettingsList list, bool enabled) = 0;
  virtual void SetAddEnabled(SettingsList list, bool enabled) = 0;
  virtual void SetApplyEnabled(bool enabled) = 0;
  // The line under the "&Cookies" tab's list that names the browsers whose
  // cookie stores are cleaned too; UTF-8. None by default.
  virtual void ShowCookieStores(const std::string& utf8Line) {}
  // The "Ad&Blocking" tab's address for blocked names (an index of
  // kRedirectChoices); the colour list matters only for the first.
  virtual void ShowRedirect(int index) {}
  virtual void SetColoursEnabled(bool enabled) {}
  // The "Block &Lists" tab's controls; none by default.
  virtual BlockListsTabView* ListsView() { return nullptr; }
  // Closes and destroys the dialog once the current handler has returned.
  virtual void Unload() = 0;
  // The dialog's window, which owns the boxes its handlers show.
  virtual WindowHandle BoxOwner() = 0;
};

// The on-screen side of the confirmation dialog frmComfirm.
class ConfirmView {
 public:
  virtual ~ConfirmView() = default;
  virtual void Open(const std::string& question) = 0;
  virtual void BringForward() = 0;
  virtual void Close() = 0;
};

}  // namespace nv
