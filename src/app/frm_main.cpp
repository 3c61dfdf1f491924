#include "app/frm_main.h"

#include "adblock/hosts_location.h"
#include "ui/open_for_user.h"
#include "app/start_gate.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "popups/log_trap.h"
#include "popups/main_tick.h"
#include "store/error_box.h"
#include "store/file_found.h"
#include "store/paths.h"

namespace nv {

namespace {
constexpr char kAlreadyRunning[] =
    "Norvane is Already running, Please right click on its icon near the clock and select exit.";
constexpr char kFilesMissing[] =
    "The required settings file(s) are missing. Please reinstall Norvane!. You may also download "
    "the files from ";
constexpr char kNoWindowsDir[] =
    "Error retrieveing Windows directory name\r\nC:\\WINDOWS will be used as the default windows "
    "directory";
constexpr std::int64_t kLogCapBytes = 16000;
}  // namespace

frmMain::frmMain(Platform& p, MainView& view)
    : platform(p),
      store(*p.files, p.system->ProgramFolder(), p.clock),
      settings(*p.settings),
      services{p, store, settings, counters},
      hosts(services, HostsPath),
      hostsWatch(services, hosts,
                 {[this](const std::string& text) { tray.Balloon(kProductTitle, text); },
                  [this] {
                    if (mnublockads) mnublockads_Click();
                  }}),
      blockLists(services, [this] { SubscribedNamesChanged(); }),
      server(services),
      popups(services),
      cookies(services),
      tray(p.tray),
      update(p, store, settings, view.UpdateWindows(), [this] { ExitSequence(); }),
      view_(view),
      startup_(store, *p.registry, *p.logonTask) {
  server.SetOnPortTaken([this] { ExitSequence(); });
  hosts.SetSubscribed(&blockLists.Names());
}

// A list fetched or merged on the worker reaches HOSTS while ad blocking is
// on. Nobody asked for it at that moment, so a failure is only logged.
void frmMain::SubscribedNamesChanged() {
  if (!mnublockads || !started_ || exiting_ || ended_) return;
  RunLoggingFailures(store, [&] { hosts.blockads(true); });
}

// Every tick also takes any client still waiting, should a connection-request
// event go missing (Wine's stale readiness report, which the Winsock backend
// now clears, once left hundreds of clients waiting): one refused accept a
// tick when there is none.
void frmMain::Timer_Timer() {
  RunMainTick(store, {popups, cookies, hostsWatch, [this] { UpdateStatus(); }},
              {mnublockpopups, mnukillcookies, mnublockads});
  server.AcceptWaiting();
}

void frmMain::ReloadAfterApply() {
  blockLists.Reload();
  hosts.blockads(mnublockads);
  cookies.KillCookies(mnukillcookies);
  popups.killpopups(mnublockpopups);
}

bool frmMain::Checked(MenuItem item) const {
  switch (item) {
    case MenuItem::BlockAds: return mnublockads;
    case MenuItem::KillCookies: return mnukillcookies;
    case MenuItem::BlockPopups: return mnublockpopups;
  }
  return false;
}

void frmMain::Form_Load() {
  if (const StartGate gate = PassStartGate(*platform.system, *platform.registry); gate != StartGate::Go) {
    if (gate == StartGate::Refuse) platform.dialogs->Show(kAlreadyRunning, kProductTitle, kBoxOk | kBoxCritical);
    EndWithoutExitSequence();
    return;
  }
  LoadVersionChecker();
  view_.SetAboutVisible(false);
  if (!CheckRequiredFiles()) {
    platform.dialogs->Show(std::string(kFilesMissing) + kVendorSite, "Error",
                                 kBoxOk | kBoxCritical);
    EndWithoutExitSequence();
    return;
  }
  try {
    StartUpSteps();
  } catch (const AppError& e) {
    ReportError(*platform.dialogs, store, e);
    ExitSequence();
  }
}

// Start-up from the lists and the HOSTS backup on; any failure goes to
// Form_Load's handler.
void frmMain::StartUpSteps() {
  std::string windowsDir = platform.system->WindowsDirectory(255);
  if (windowsDir.empty()) {
    platform.dialogs->Show(kNoWindowsDir, "Error", kBoxOk | kBoxCritical);
    windowsDir = "C:\\WINDOWS";
  }
  counters.Reset();
  LocateHostsFile(windowsDir);
  RemoveHostsLeftOvers(*platform.files, HostsPath);
  cookies.SetFolder(GetSpecialFolderPath(kCsidlCookies));
  tray.Prepare(view_.WindowHandle(), view_.IconHandle());
  server.StartAdServer();
  if (ended_ || exiting_) return;
  tray.Add();
  UnlockDataFiles();
  hosts.TakeBackup();
  store.EnsureFileExists(store.Path(paths::kAdsLog));
  store.EnsureFileExists(store.Path(paths::kCookiesLog));
  CapLog(paths::kAdsLog);
  CapLog(paths::kCookiesLog);
  RestoreToggles();
  started_ = true;
  RunLoggingFailures(store, [&] { blockLists.Start(); });
}

void frmMain::LoadVersionChecker() { update.LoadChecker(); }

bool frmMain::CheckRequiredFiles() {
  bool all = true;
  for (const char* rel : {paths::kHostsList, paths::kDnsList, paths::kCookiesList, paths::kPopupsList})
    if (!FileFound(*platform.files, store.Path(rel), kAttrReadOnly | kAttrSystem)) all = false;
  return all;
}

// Without any HOSTS file the first location is used and created empty, so the
// program never runs without a HOSTS path.
void frmMain::LocateHostsFile(const std::string& windowsDir) {
  HostsPath = FindHostsFile(*platform.files, windowsDir);
  if (!HostsPath.empty()) return;
  HostsPath = UsualHostsPath(windowsDir);
  store.CreateFileIfAbsent(HostsPath);
  store.LogError(AppError(err::kFileNotFound, "No HOSTS file was found; created " + HostsPath));
}

std::string frmMain::GetSpecialFolderPath(int csidl) {
  auto path = platform.system->SpecialFolder(csidl);
  if (!path) return "";
  if (auto nul = path->find('\0'); nul != std::string::npos) path->resize(nul);
  return *path;
}

void frmMain::UnlockDataFiles() {
  try {
    for (const char* rel : kListFiles) platform.files->SetAttributes(store.Path(rel), kAttrNormal);
    if (FileFound(*platform.files, HostsPath, kAttrReadOnly | kAttrHidden | kAttrSystem))
      platform.files->SetAttributes(HostsPath, kAttrNormal);
  } catch (const AppError& e) {
    ReportError(*platform.dialogs, store, e);
  }
}

void frmMain::CapLog(const char* relative) {
  const std::string path = store.Path(relative);
  if (platform.files->Size(path) > kLogCapBytes) platform.files->Remove(path);
}

void frmMain::RestoreToggles() {
  togglesRestored_ = true;
  try {
    const bool ads = settings.GetBool(keys::kData, keys::kAdBlock, true);
    const bool cookiesOn = settings.GetBool(keys::kData, keys::kCookies, false);
    const bool pops = settings.GetBool(keys::kData, keys::kPopup, true);
    if (ads) mnublockads_Click();
    if (cookiesOn) mnukillcookies_Click();
    if (pops) mnublockpopups_Click();
  } catch (const AppError& e) {
    ReportError(*platform.dialogs, store, e);
  }
}

void frmMain::Form_QueryUnload(int& cancel, int /*unloadMode*/) {
  cancel = 0;
  ExitSequence();
}

void frmMain::ExitSequence() {
  if (exiting_) return;
  exiting_ = true;
  view_.CloseSettings();
  // An exit before this run took its backup must not write an older or
  // missing backup over the user's current HOSTS file.
  try {
    if (hosts.GovernedByBackup()) hosts.blockads(false);
  } catch (const AppError& e) {
    ReportError(*platform.dialogs, store, e);
  }
  server.StopAdServer();
  SaveSessionState();
  tray.Delete();
  ended_ = true;
  platform.system->EndProcess();
}

// The switches are stored only once this run has restored them: a start-up
// that failed earlier would otherwise store all three as off.
void frmMain::SaveSessionState() {
  try {
    if (togglesRestored_) {
      settings.Save(keys::kData, keys::kAdBlock, BoolText(mnublockads));
      settings.Save(keys::kData, keys::kCookies, BoolText(mnukillcookies));
      settings.Save(keys::kData, keys::kPopup, BoolText(mnublockpopups));
    }
    // A HOSTS file still holding the block list must never become the next backup.
    if (hosts.UserContentInPlace()) settings.Save(keys::kData, keys::kRestore, "True");
    for (const char* rel : kListFiles)
      platform.files->SetAttributes(store.Path(rel), kAttrReadOnly | kAttrSystem);
    platform.files->SetAttributes(HostsPath, kAttrReadOnly);
  } catch (const AppError& e) {
    ReportError(*platform.dialogs, store, e);
  }
}

void frmMain::EndWithoutExitSequence() {
  ended_ = true;
  platform.system->EndProcess();
}

void frmMain::ToggleFeature(bool& check, MenuItem item) {
  check = !check;
  view_.SetMenuCheck(item, check);
}

// The tick stays as set when the HOSTS file could not follow it.
void frmMain::mnublockads_Click() {
  ToggleFeature(mnublockads, MenuItem::BlockAds);
  try {
    hosts.blockads(mnublockads);
  } catch (const AppError& e) {
    ReportError(*platform.dialogs, store, e);
  }
}

void frmMain::mnukillcookies_Click() {
  ToggleFeature(mnukillcookies, MenuItem::KillCookies);
  cookies.KillCookies(mnukillcookies);
}

void frmMain::mnublockpopups_Click() {
  ToggleFeature(mnublockpopups, MenuItem::BlockPopups);
  popups.killpopups(mnublockpopups);
}

void frmMain::mnusettings_Click() { view_.ShowSettings(); }
void frmMain::mnuhelp_Click() { view_.ShowHelp(); }
void frmMain::mnuupdate_Click() { update.ShowManualWindow(); }
void frmMain::mnuabout_Click() { view_.SetAboutVisible(true); }
void frmMain::online_Click() { OpenWebPage(std::string(kVendorSite) + kForumPath); }
void frmMain::beta_Click() { OpenWebPage(std::string(kVendorSite) + kForumPath); }

// The show command is "normal": the browser window must come up visible.
void frmMain::OpenWebPage(const std::string& address) {
  if (platform.shell) OpenForUser(*platform.shell, platform.dialogs, "Open", address, 1);
}
void frmMain::mnuexit_Click() { ExitSequence(); }
void frmMain::cmdOk_Click() { view_.SetAboutVisible(false); }

std::string frmMain::StatusText() const {
  return "Banner Ads:" + std::to_string(counters.Get(BannerAdsCount)) +
         " Deleted Cookies:" + std::to_string(counters.Get(DeletedCookiesCount)) +
         " Blocked Popups:" + std::to_string(counters.Get(BlockedPopupsCount));
}

void frmMain::UpdateStatus() {
  const std::string text = StatusText();
  tray.Modify(text);
  view_.SetStatusLabel(text);
}

// Start-up's message boxes let the tray icon's messages through; the menu and
// the settings dialog wait until start-up has finished (and the HOSTS file is
// governed by a backup, or known not to be).
void frmMain::Form_MouseMove(int trayEvent) {
  if (!started_) return;
  counters.Set(TrayMessageSlot, static_cast<std::int16_t>(trayEvent));
  switch (trayEvent) {
    case tray_event::kLeftDown:
    case tray_event::kLeftDoubleClick:
    case tray_event::kKeySelect:
      mnusettings_Click();
      break;
    case tray_event::kRightDown:
    case tray_event::kContextMenu:
      view_.ShowTrayMenu();
      break;
    default:
      break;
  }
}

void frmMain::OnTaskbarCreated() {
  if (!ended_) tray.Add();
}

void frmMain::OnMenuCommand(MenuCommand command) {
  if (!started_) return;
  switch (command) {
    case MenuCommand::Help: mnuhelp_Click(); break;
    case MenuCommand::Settings: mnusettings_Click(); break;
    case MenuCommand::Online: online_Click(); break;
    case MenuCommand::Beta: beta_Click(); break;
    case MenuCommand::LiveUpdate: mnuupdate_Click(); break;
    case MenuCommand::About: mnuabout_Click(); break;
    case MenuCommand::BlockAds: mnublockads_Click(); break;
    case MenuCommand::KillCookies: mnukillcookies_Click(); break;
    case MenuCommand::BlockPopups: mnublockpopups_Click(); break;
    case MenuCommand::Exit: mnuexit_Click(); break;
    case MenuCommand::None: break;
  }
}

}  // namespace nv
