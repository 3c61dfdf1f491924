#pragma once
#include <cstdint>
#include <string>

#include "adblock/ad_server.h"
#include "adblock/hosts_redirect.h"
#include "adblock/hosts_watch.h"
#include "adblock/lists/block_lists.h"
#include "app/main_view.h"
#include "app/tray_icon.h"
#include "app/tray_menu.h"
#include "cookies/cookie_cleaner.h"
#include "popups/popup_scanner.h"
#include "settings/main_window_link.h"
#include "settings/start_with_windows.h"
#include "store/services.h"
#include "store/vendor.h"
#include "update/live_update.h"

namespace nv {

inline constexpr char kVersionLine[] = "Norvane v2.0 Beta 002";
inline constexpr char kForumPath[] = "/modules.php?name=Forums&file=index";
inline constexpr int kCsidlCookies = 33;
inline constexpr int kTickMs = 100;

// The hidden main window: owns everything that lives as long as the program,
// runs the start-up and exit sequences, the timer tick and the menu commands.
class frmMain {
 public:
  frmMain(Platform& platform, MainView& view);

  // The whole start-up. Afterwards Ended() tells whether it ended the process.
  void Form_Load();
  // A close request of any kind runs the exit sequence and is never cancelled.
  void Form_QueryUnload(int& cancel, int unloadMode);
  // The exit sequence, the one way out of a started program (the close box,
  // "&Exit", the end of the Windows session, a newer version's installer, a
  // port taken while serving); ends the process. Runs once.
  void ExitSequence();
  bool Ended() const { return ended_; }

  // The 100 ms tick: popup step, cookie step, status update, under one trap.
  void Timer_Timer();
  // After the settings dialog's Apply: the block lists, then HOSTS and the
  // allow lists as the three switches stand.
  void ReloadAfterApply();
  std::string StatusText() const;

  // The tray callback: the window's mouse-move message, with the tray event
  // in place of the pointer's horizontal position.
  void Form_MouseMove(int trayEvent);
  // Explorer restarted: the icon must be added again.
  void OnTaskbarCreated();
  void OnMenuCommand(MenuCommand command);
  void OpenWebPage(const std::string& address);

  // Tray menu commands.
  void mnublockads_Click();
  void mnukillcookies_Click();
  void mnublockpopups_Click();
  void mnusettings_Click();
  void mnuhelp_Click();
  void mnuupdate_Click();
  void mnuabout_Click();
  void online_Click();
  void beta_Click();
  void mnuexit_Click();
  void cmdOk_Click();

  // Start with Windows, as the settings dialog reads and applies it.
  StartupRegistration& Startup() { return startup_; }

  // The check marks of the three tray menu switches.
  bool Checked(MenuItem item) const;
  std::string GetSpecialFolderPath(int csidl);

  // The features the main window owns, for the windows that show them and
  // the tests that drive them.
  Services& Shared() { return services; }
  Counters& Counts() { return counters; }
  HostsRedirect& Hosts() { return hosts; }
  CookieCleaner& Cookies() { return cookies; }
  LiveUpdate& Update() { return update; }

  // The HOSTS file start-up found (or made); empty until then.
  std::string HostsPath;

 private:
  friend class FrmMainLink;
  friend class MainWindow;  // its window: the help file, the error log
  bool CheckRequiredFiles();
  void UnlockDataFiles();
  void RestoreToggles();
  void SaveSessionState();

  Platform& platform;
  Store store;
  Settings settings;
  Counters counters;
  Services services;
  bool mnublockads = false, mnukillcookies = false, mnublockpopups = false;
  HostsRedirect hosts;
  HostsWatch hostsWatch;
  BlockLists blockLists;  // the subscriptions, written into HOSTS after the own list
  AdServer server;
  PopupScanner popups;
  CookieCleaner cookies;
  TrayIcon tray;
  LiveUpdate update;

  void StartUpSteps();
  void LoadVersionChecker();
  void LocateHostsFile(const std::string& windowsDir);
  void CapLog(const char* relative);
  void EndWithoutExitSequence();
  void UpdateStatus();
  void ToggleFeature(bool& check, MenuItem item);
  void SubscribedNamesChanged();

  MainView& view_;
  StartWithWindows startup_;
  bool exiting_ = false;
  bool togglesRestored_ = false;
  bool started_ = false;  // start-up has run all its steps
  bool ended_ = false;
};

// The four list files, in the order the exit sequence protects them.
inline constexpr const char* kListFiles[] = {"\\data\\hosts.svr", "\\data\\cookies.svr",
                                             "\\data\\dns.svr", "\\data\\popups.svr"};

// The running main window as the settings dialog sees it.
class FrmMainLink : public MainWindowLink {
 public:
  explicit FrmMainLink(frmMain& main) : main_(main) {}
  void Reload() override { main_.ReloadAfterApply(); }
  std::string CookieStoresLine() override { return main_.cookies.stores.BrowsersLine(); }
  BlockLists* RunningLists() override { return &main_.blockLists; }

 private:
  frmMain& main_;
};

}  // namespace nv
