#pragma once
#include <array>
#include <memory>
#include <string>

#include "settings/block_lists_tab.h"
#include "settings/frm_comfirm.h"
#include "settings/lookup_socket.h"
#include "settings/main_window_link.h"
#include "settings/settings_view.h"
#include "settings/startup_registration.h"
#include "store/list_box.h"
#include "store/services.h"

namespace nv {

// The settings dialog: four lists and four options on four tabs, and
// start with Windows. Nothing takes effect before Apply. The dialog works on
// its own copies of the lists; the main window changes only through Apply.
//
// Setting a control from code runs its reaction as a user's action does, so
// reactions nest: Add's SelectLastItem fills the entry box before Add clears
// it, and "&No" in frmComfirm runs the delete-all box's reaction again.
class frmSettings : public LookupSocket::Events {
 public:
  frmSettings(Services& services, StartupRegistration& startup, MainWindowLink& main, SettingsView& view,
              ConfirmView& confirmView);
  ~frmSettings();

  // Opening: icon, colours, ad servers, options, list states, Apply off,
  // the other three lists.
  void Form_Load();

  // The user's actions.
  void cmdAdd_Click(SettingsList list);
  // The "&DNS Caching" tab's Add starts looking the site's address up on
  // `ws` and returns at once; the outcome is one of the two events below.
  void cmdAddDns_Click();
  // `ws` reached the site: its address and the entry box's text of this
  // moment become a cached-address entry.
  void ws_Connect() override;
  // `ws` found no site: "Host not found", then the entry box is cleared.
  void ws_Error() override;
  void cmdRemove_Click(SettingsList list);
  void lst_Click(SettingsList list, int index);
  void txt_Change(SettingsList list, const std::string& text);
  // Enter in an entry box: that tab's Add, when it is enabled.
  void txt_Enter(SettingsList list);
  void cbocols_Click(int index);
  // The address blocked names point to, an index of kRedirectChoices.
  void cboredirect_Click(int index);
  void chk_Click(SettingsCheck check, bool checked);
  // Apply's five steps under one trap: a failed step shows the error box,
  // logs it and stops there; Apply stays enabled. True when all ran.
  bool cmdapply_Click();
  // Apply, then Cancel; a failed Apply keeps the dialog open with the edits.
  void cmdOk_Click();
  void cmdcancel_Click();

  // The dialog's routines.
  void EnableApply();
  void LoadAdServers();
  void LoadOptions();
  void UpdateDnsListState();
  void UpdateCookieListState();
  void SelectLastItem(SettingsList list);
  // A check box set from code: runs its reaction when the state changes.
  void SetCheck(SettingsCheck check, bool checked);

  // What the controls hold.
  const ListBox& List(SettingsList list) const { return Family(list).list; }
  const std::string& Entry(SettingsList list) const { return Family(list).entry; }
  bool AddEnabled(SettingsList list) const { return Family(list).addEnabled; }
  bool ListEnabled(SettingsList list) const { return Family(list).listEnabled; }
  bool Checked(SettingsCheck check) const { return checks_[static_cast<size_t>(check)]; }
  int Colour() const { return colour_; }
  int Redirect() const { return redirect_; }
  bool ApplyEnabled() const { return applyEnabled_; }
  frmComfirm& Confirm() { return confirm_; }
  BlockListsTab& Lists() { return lists_; }
  const LookupSocket& ws() const { return ws_; }

 private:
  struct ListFamily {
    explicit ListFamily(ListBox l) : list(std::move(l)) {}
    ListBox list;
    std::string entry;
    bool addEnabled = false;
    bool listEnabled = true;
  };
  ListFamily& Family(SettingsList list) { return families_[static_cast<size_t>(list)]; }
  const ListFamily& Family(SettingsList list) const { return families_[static_cast<size_t>(list)]; }

  // A protected name is refused with a box that says why.
  bool RefusedAsProtected(const std::string& text);
  void LoadList(SettingsList list);
  void SayUnreadLists();
  void ShowCount(SettingsList list);
  void SetColour(int index);
  void SetEntry(SettingsList list, const std::string& text);
  void SelectEntry(SettingsList list, int index);
  void ListClicked(SettingsList list);
  void EntryChanged(SettingsList list);
  void CheckClicked(SettingsCheck check);
  int ReadOption(const char* key, int highest);
  void Apply();
  void SaveLists();
  void SaveOptions();
  void LoadRedirect();
  void ShowRedirect();
  void SaveRedirect();

  Services& s_;
  StartupRegistration& startup_;
  MainWindowLink& main_;
  SettingsView& view_;
  frmComfirm confirm_;
  std::array<ListFamily, kSettingsLists> families_;
  std::array<bool, kSettingsChecks> checks_{};
  // The lists whose files could not be read when the dialog opened.
  std::array<bool, kSettingsLists> unread_{};
  int colour_ = -1;
  int redirect_ = 0;
  bool applyEnabled_ = true;
  // Expires with the dialog: a handler that waited on a modal box learns
  // whether the dialog was freed meanwhile.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  NoBlockListsTabView noListsView_;
  BlockLists* running_ = nullptr;  // shows its states on the tab while the dialog lives
  BlockListsTab lists_;
  // Last, so that it is closed before anything it reports to goes.
  LookupSocket ws_;
};

}  // namespace nv
