#include "settings/frm_settings.h"

#include "adblock/lists/block_lists.h"
#include "platform/dialogs.h"
#include "store/list_file.h"
#include "store/error_box.h"
#include "settings/settings_texts.h"
#include "store/vendor.h"

namespace nv {

namespace {
constexpr int kInvalidPropertyValue = 380;

// The option keys in the order Apply writes them, and the boxes they belong to.
struct OptionKey {
  const char* key;
  SettingsCheck check;
};
constexpr OptionKey kOptionKeys[] = {{keys::kAll, SettingsCheck::chkallcookies},
                                     {keys::kUseDNS, SettingsCheck::chkusedns},
                                     {keys::kAllPops, SettingsCheck::chkblockallpops}};

std::string ListPath(Store& store, SettingsList list) {
  return store.Path(settings_text::kFamilies[static_cast<size_t>(list)].file);
}
}  // namespace

frmSettings::frmSettings(Services& services, StartupRegistration& startup, MainWindowLink& main,
                         SettingsView& view, ConfirmView& confirmView)
    : s_(services),
      startup_(startup),
      main_(main),
      view_(view),
      confirm_(*this, confirmView),
      families_{ListFamily(ListBox(*services.platform.text)), ListFamily(ListBox()),
                ListFamily(ListBox()), ListFamily(ListBox())},
      lists_(services, view.ListsView() ? *view.ListsView() : noListsView_, [this] { EnableApply(); }),
      ws_(services.platform.net, *this) {
  running_ = main.RunningLists();
  lists_.SetRunning(running_, [running = running_] {
    if (running) running->UpdateNow();
  });
  if (running_) running_->SetStateShown([this] { lists_.ShowState(); });
}

frmSettings::~frmSettings() {
  if (running_) running_->SetStateShown(nullptr);
}

void frmSettings::Form_Load() {
  view_.CopyMainIcon();
  view_.FillColours(settings_text::kColours, settings_text::kColourCount);
  SetColour(0);
  LoadAdServers();
  LoadOptions();
  LoadRedirect();
  UpdateDnsListState();
  UpdateCookieListState();
  applyEnabled_ = false;
  view_.SetApplyEnabled(false);
  for (SettingsList list : {SettingsList::lstcookies, SettingsList::lstdns, SettingsList::lstpopups})
    LoadList(list);
  lists_.Load();
  view_.ShowCookieStores(main_.CookieStoresLine());
  SayUnreadLists();
}

// Task-modal, as the lookup's box.
void frmSettings::SayUnreadLists() {
  std::string text = settings_text::kUnreadLists;
  bool any = false;
  for (int i = 0; i < kSettingsLists; ++i) {
    if (!unread_[static_cast<size_t>(i)]) continue;
    text += "\r\n" + ListPath(s_.store, static_cast<SettingsList>(i));
    any = true;
  }
  if (any)
    s_.platform.dialogs->Show(text, kProductTitle, kBoxOk | kBoxExclamation | kBoxTaskModal,
                              view_.BoxOwner());
}

void frmSettings::EnableApply() {
  applyEnabled_ = true;
  view_.SetApplyEnabled(true);
}

void frmSettings::LoadAdServers() { LoadList(SettingsList::lstadservers); }

// A line the file holds twice is selected by AddUnique, and the list's
// click reaction then shows it in the entry box.
void frmSettings::LoadList(SettingsList list) {
  ListFamily& f = Family(list);
  unread_[static_cast<size_t>(list)] = !s_.store.LoadListFile(f.list, ListPath(s_.store, list));
  view_.ShowList(list, f.list.Count(), f.list.Selected());
  if (f.list.Selected() >= 0) ListClicked(list);
  ShowCount(list);
}

void frmSettings::ShowCount(SettingsList list) { view_.ShowCount(list, std::to_string(List(list).Count())); }

// A stored value the controls cannot show leaves the control at its default
// and is logged; the dialog opens normally, and Apply stores a good value.
// Check1 shows whether the program is registered to start at log-on.
void frmSettings::LoadOptions() {
  SetColour(ReadOption(keys::kColor, settings_text::kColourCount - 1));
  for (const OptionKey& o : kOptionKeys) SetCheck(o.check, ReadOption(o.key, 1) == 1);
  SetCheck(SettingsCheck::Check1, startup_.Registered());
}

int frmSettings::ReadOption(const char* key, int highest) {
  AppError problem(kInvalidPropertyValue, "Invalid property value");
  try {
    const int value = s_.settings.GetNumber(keys::kSettings, key, 0);
    if (value >= 0 && value <= highest) return value;
  } catch (const AppError& e) {
    problem = e;
  }
  const std::string stored = s_.settings.Get(keys::kSettings, key, "");
  s_.store.LogError(AppError(problem.number, problem.description + ": Settings\\" + key + " is \"" + stored +
                                                 "\"; the dialog shows the default"));
  return 0;
}

void frmSettings::UpdateDnsListState() {
  Family(SettingsList::lstdns).listEnabled = Checked(SettingsCheck::chkusedns);
  view_.SetListEnabled(SettingsList::lstdns, Checked(SettingsCheck::chkusedns));
}

void frmSettings::UpdateCookieListState() {
  Family(SettingsList::lstcookies).listEnabled = !Checked(SettingsCheck::chkallcookies);
  view_.SetListEnabled(SettingsList::lstcookies, !Checked(SettingsCheck::chkallcookies));
}

void frmSettings::SelectLastItem(SettingsList list) { SelectEntry(list, List(list).Count() - 1); }

// Controls set from code run the reaction a user's action would.
void frmSettings::SetColour(int index) {
  if (index == colour_) return;
  colour_ = index;
  view_.ShowColour(index);
  EnableApply();
}

void frmSettings::SetCheck(SettingsCheck check, bool checked) {
  if (Checked(check) == checked) return;
  checks_[static_cast<size_t>(check)] = checked;
  view_.ShowCheck(check, checked);
  CheckClicked(check);
}

void frmSettings::SetEntry(SettingsList list, const std::string& text) {
  Family(list).entry = text;
  view_.ShowEntry(list, text);
  EntryChanged(list);
}

void frmSettings::SelectEntry(SettingsList list, int index) {
  ListFamily& f = Family(list);
  f.list.Select(index);
  view_.ShowList(list, f.list.Count(), f.list.Selected());
  if (f.list.Selected() >= 0) ListClicked(list);
}

// The reactions.
void frmSettings::ListClicked(SettingsList list) {
  const int selected = List(list).Selected();
  SetEntry(list, selected >= 0 ? List(list)[selected] : std::string());
}

void frmSettings::EntryChanged(SettingsList list) {
  ListFamily& f = Family(list);
  f.addEnabled = !TrimSpaces(f.entry).empty();
  view_.SetAddEnabled(list, f.addEnabled);
}

void frmSettings::CheckClicked(SettingsCheck check) {
  switch (check) {
    case SettingsCheck::chkallcookies:
      confirm_.Show();
      EnableApply();
      break;
    case SettingsCheck::chkusedns:
      EnableApply();
      UpdateDnsListState();
      break;
    case SettingsCheck::chkblockallpops:
    case SettingsCheck::Check1:
      EnableApply();
      break;
  }
}

// The user's actions.
void frmSettings::cbocols_Click(int index) {
  colour_ = index;
  EnableApply();
}

void frmSettings::chk_Click(SettingsCheck check, bool checked) {
  checks_[static_cast<size_t>(check)] = checked;
  CheckClicked(check);
}

void frmSettings::txt_Change(SettingsList list, const std::string& text) {
  Family(list).entry = text;
  EntryChanged(list);
}

void frmSettings::lst_Click(SettingsList list, int index) {
  Family(list).list.Select(index);
  ListClicked(list);
}

void frmSettings::txt_Enter(SettingsList list) {
  if (AddEnabled(list)) cmdAdd_Click(list);
}

// An entry that is present already is not added again; AddUnique selects
// it, and the click reaction shows it before the last entry is selected.
void frmSettings::cmdAdd_Click(SettingsList list) {
  if (list == SettingsList::lstdns) {
    cmdAddDns_Click();
    return;
  }
  ListFamily& f = Family(list);
  const std::string text(TrimSpaces(f.entry));
  if (text.empty()) return;
  if (list == SettingsList::lstadservers && RefusedAsProtected(text)) return;
  if (f.list.AddUnique(text)) EnableApply();
  else ListClicked(list);
  SelectLastItem(list);
  SetEntry(list, "");
  ShowCount(list);
}

void frmSettings::cmdRemove_Click(SettingsList list) {
  ListFamily& f = Family(list);
  const int selected = f.list.Selected();
  if (selected < 0) return;
  f.list.RemoveAt(selected);
  view_.ShowList(list, f.list.Count(), -1);
  EnableApply();
  SetEntry(list, "");
  ShowCount(list);
}

bool frmSettings::cmdapply_Click() {
  try {
    Apply();
    return true;
  } catch (const AppError& e) {
    ReportError(*s_.platform.dialogs, s_.store, e, view_.BoxOwner());
    return false;
  }
}

// Each list file is replaced whole, so a failure leaves every file either
// as it was or as applied. The main window's state is rebuilt only from
// what was written.
void frmSettings::Apply() {
  SaveLists();
  SaveOptions();
  SaveRedirect();
  startup_.Update(Checked(SettingsCheck::Check1));
  main_.ReloadBlockLists();
  main_.blockads(main_.MenuChecked(MenuItem::BlockAds));
  main_.KillCookies(main_.MenuChecked(MenuItem::KillCookies));
  main_.killpopups(main_.MenuChecked(MenuItem::BlockPopups));
  applyEnabled_ = false;
  view_.SetApplyEnabled(false);
}

// A list that could not be read shows empty; saving it would replace the
// real file with nothing.
void frmSettings::SaveLists() {
  for (int i = 0; i < kSettingsLists; ++i) {
    const auto list = static_cast<SettingsList>(i);
    if (unread_[static_cast<size_t>(i)]) continue;
    s_.store.SaveListFile(Family(list).list, ListPath(s_.store, list), false);
  }
  lists_.Save();
}

void frmSettings::SaveOptions() {
  s_.settings.Save(keys::kSettings, keys::kColor, std::to_string(colour_));
  for (const OptionKey& o : kOptionKeys) s_.settings.Save(keys::kSettings, o.key, Checked(o.check) ? "1" : "0");
}

void frmSettings::cmdOk_Click() {
  if (cmdapply_Click()) cmdcancel_Click();
}

// The confirmation and the lookup socket belong to this dialog and go with it.
void frmSettings::cmdcancel_Click() {
  ws_.Close();
  confirm_.Unload();
  view_.Unload();
}

}  // namespace nv
