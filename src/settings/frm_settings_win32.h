#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>

#include "settings/block_lists_page_win32.h"
#include "settings/frm_comfirm_win32.h"
#include "settings/frm_settings.h"

namespace nv {

// The settings dialog's window: a modeless dialog with the blue background,
// the title, a tab strip over four pages, Check1 and OK, Cancel, Apply. Each
// list is a virtual list-view that draws its visible rows from the core's
// list. It translates messages into frmSettings's handlers and shows what
// the core tells it; it decides nothing.
class SettingsWindow : public SettingsView {
 public:
  // closedMessage is posted to notify once the window is gone, so that its
  // owner may free it outside the window's own handlers.
  SettingsWindow(HINSTANCE inst, Services& services, StartupRegistration& startup, MainWindowLink& main,
                 HWND notify, UINT closedMessage);
  ~SettingsWindow() override;
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  // Creates the dialog, runs the core's opening, then shows it.
  void Open();
  void BringForward();
  // False from the unload on, though the window itself goes a moment later.
  bool IsOpen() const { return hwnd_ != nullptr && !closing_; }
  // The exit sequence's unload: edits not applied are dropped.
  void Close() { core_.cmdcancel_Click(); }

  void CopyMainIcon() override;
  void FillColours(const char* const* names, int count) override;
  void ShowColour(int index) override;
  void ShowCheck(SettingsCheck check, bool checked) override;
  void ShowEntry(SettingsList list, const std::string& text) override;
  void ShowCount(SettingsList list, const std::string& text) override;
  void ShowList(SettingsList list, int count, int selected) override;
  void SetListEnabled(SettingsList list, bool enabled) override;
  void SetAddEnabled(SettingsList list, bool enabled) override;
  void SetApplyEnabled(bool enabled) override;
  void ShowCookieStores(const std::string& utf8Line) override;
  void ShowRedirect(int index) override;
  void SetColoursEnabled(bool enabled) override;
  void Unload() override;
  WindowHandle BoxOwner() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  BlockListsTabView* ListsView() override { return &listsPage_; }

 private:
  struct Family {
    HWND page, list, entry, add, remove, count;
  };

  static INT_PTR CALLBACK DialogProc(HWND h, UINT m, WPARAM w, LPARAM l);
  static LRESULT CALLBACK PageProc(HWND h, UINT m, WPARAM w, LPARAM l);
  static LRESULT CALLBACK TabProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK EntryProc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR self);
  INT_PTR Handle(UINT m, WPARAM w, LPARAM l);
  void OnCommand(int id, int code, HWND control);
  void OnNotify(const NMHDR& n);
  void OnListChanged(int family, const NMLISTVIEW& change);
  HBRUSH OnColour(HDC dc, HWND control);

  // Layout (settings_layout_win32.cpp).
  void Build();
  void BuildTitle();
  void BuildTabs();
  HWND BuildPage(int family, int top, int height);
  void BuildFamily(int family, HWND page, int pageHeight96);
  void BuildOptions(int family, HWND page);
  void BuildRedirect(HWND page);
  void BuildButtons();
  // A child control at a position laid out for 96 dpi.
  HWND Control(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id);
  HWND Check(HWND parent, const char* text, int x, int y, int w, int id);
  void AddTip(HWND control, const char* text, HWND tooltip = nullptr);

  // The tab strip and the keyboard (settings_keys_win32.cpp).
  void ShowTab(int family);
  void PaintTabs(HDC dc);
  bool FilterKeys(MSG& msg);
  bool AccessKey(char key);

  int FamilyOf(HWND control) const;
  // The page of a tab: the four lists' then "Block &Lists".
  HWND PageOf(int tab) const;
  static const char* TabCaption(int tab);
  void MoveFocusOffIfDisabled(HWND control, HWND next);

  HINSTANCE inst_;
  HWND notify_;
  UINT closedMessage_;
  HWND hwnd_ = nullptr, tab_ = nullptr, tip_ = nullptr, title_ = nullptr, colours_ = nullptr, hint_ = nullptr;
  HWND storesLine_ = nullptr;
  HWND redirect_ = nullptr, redirectTip_ = nullptr;  // where blocked names point
  HWND notes_[2] = {};  // red texts: chkallcookies's is its own control
  HWND ok_ = nullptr, cancel_ = nullptr, apply_ = nullptr;
  std::array<Family, kSettingsLists> families_{};
  std::array<HWND, kSettingsChecks> checks_{};
  HFONT titleFont_ = nullptr;
  HBRUSH blue_ = nullptr, yellow_ = nullptr, white_ = nullptr;
  int shownTab_ = -1;
  bool quiet_ = false;  // the core is setting a control: nothing is reported back
  bool closing_ = false;
  // Messages being handled right now; a destroy asked for inside one waits
  // until the outermost returns (destroyPending_).
  int depth_ = 0;
  bool destroyPending_ = false;
  ConfirmWindow confirm_;
  BlockListsPage listsPage_;  // before core_, which shows the tab through it
  frmSettings core_;
};

}  // namespace nv
