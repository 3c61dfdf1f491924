// Pictures of the program for the README. Runs only when NV_SHOTS names a
// folder (tools/screenshots); otherwise every case is skipped. With NV_DPI
// set (say 144), the program runs at that dpi and the pictures' names end
// in it, for a look at larger fonts.
#include <gtest/gtest.h>

#include "harness/harness.h"
#include "harness/test_http_server.h"
#include "harness/settings_driver.h"
#include "settings/settings_ids.h"

using namespace e2e;

namespace {

std::string Dpi() {
  char buf[16] = {};
  return GetEnvironmentVariableA("NV_DPI", buf, sizeof buf) ? buf : "";
}

std::string ShotName(const std::string& name) { return Dpi().empty() ? name + ".png" : name + "-" + Dpi() + ".png"; }

// Wine reads the screen's dpi when a program starts.
void SetDpi(DWORD dpi) {
  HKEY k = nullptr;
  for (auto [root, path] : {std::pair{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                            std::pair{HKEY_CURRENT_CONFIG, "Software\\Fonts"}}) {
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS) continue;
    RegSetValueExA(k, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(k);
  }
}

void UseDpi() {
  if (!Dpi().empty()) SetDpi(std::stoul(Dpi()));
}

// Starts the program and waits until the splash has gone.
bool StartAfterSplash(Norvane& app) {
  return app.Start() && app.WaitRunning() &&
         WaitUntil([&] { return !FindTopWindow("NorvaneSplash", "", app.pid()); }, 8000);
}

TEST(Screens, TrayMenuAndAboutWindow) {
  if (!GetEnvironmentVariableA("NV_SHOTS", nullptr, 0)) GTEST_SKIP() << "NV_SHOTS is not set";
  ClearSettings();
  Norvane app(InstallFresh("screens"));
  ASSERT_TRUE(StartAfterSplash(app));
  SetCursorPos(560, 300);
  HWND menu = app.OpenTrayMenu();
  ASSERT_TRUE(menu);
  PostKeys(menu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
  Sleep(300);
  EXPECT_TRUE(Screenshot("tray-menu.png"));
  PostKeys(menu, {VK_UP, VK_RETURN});
  HWND main = app.MainWindow();
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  Sleep(300);
  EXPECT_TRUE(Screenshot("about.png"));
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

// The manual window after a check, then the prompt the checker opens a
// minute after start.
TEST(Screens, UpdateWindowAndPrompt) {
  if (!GetEnvironmentVariableA("NV_SHOTS", nullptr, 0)) GTEST_SKIP() << "NV_SHOTS is not set";
  TestHttpServer server;
  ASSERT_TRUE(server.Listening());
  server.Serve("/norvane/update/application.ver", {200, "2.0.1\r\n"});
  ClearSettings();
  SetSetting("Settings", "UpdateServer", server.Url());
  UseDpi();
  Norvane app(InstallFresh("screens"));
  ASSERT_TRUE(StartAfterSplash(app));
  SetCursorPos(1020, 760);
  ASSERT_TRUE(app.PickMenuItem(5));
  HWND w = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (w = FindTopWindow("", "Internet Product Update", app.pid())) != nullptr; }));
  Click(FindDescendant(w, "XpBs", "Check For Updates"));
  ASSERT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(w, 106)) == "No newer version was released"; }));
  Sleep(300);
  EXPECT_TRUE(Screenshot(ShotName("update-window")));
  PostMessageA(w, WM_CLOSE, 0, 0);

  server.Serve("/norvane/update/application.ver", {200, "3.0.0\r\n"});
  HWND prompt = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (prompt = FindTopWindow("", "Update?", app.pid())) != nullptr; }, 90000, 200));
  Sleep(300);
  EXPECT_TRUE(Screenshot(ShotName("update-prompt")));
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

// The four tabs of the settings dialog, and the confirmation of "Delete all
// cookies".
TEST(Screens, SettingsDialog) {
  if (!GetEnvironmentVariableA("NV_SHOTS", nullptr, 0)) GTEST_SKIP() << "NV_SHOTS is not set";
  namespace id = nv::settings_id;
  ClearSettings();
  SetSetting("Settings", "UseDNS", "1");
  Norvane app(InstallFresh("screens-settings"));
  WriteFile(app.File("\\data\\dns.svr"), "93.184.216.34 www.example.com\r\n10.1.2.3 intranet.example\r\n");
  ASSERT_TRUE(StartAfterSplash(app));
  SetCursorPos(1000, 740);
  HWND dialog = OpenSettings(app);
  ASSERT_TRUE(dialog);
  HWND tab = ControlById(dialog, id::kTab);
  Sleep(400);
  EXPECT_TRUE(SettledScreenshot("settings-dns.png"));  // the tab it opens on
  const struct {
    int tab;
    const char* name;
  } shots[] = {{0, "settings-adblocking.png"}, {1, "settings-cookies.png"}, {3, "settings-popups.png"}};
  for (const auto& shot : shots) {
    ClickTab(tab, shot.tab);
    Sleep(400);
    EXPECT_TRUE(SettledScreenshot(shot.name));
  }
  ClickTab(tab, 1);
  Click(ControlById(dialog, id::kAllCookies));
  HWND confirm = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (confirm = FindDialog(app, "Are you Sure?")) != nullptr; }));
  Sleep(400);
  EXPECT_TRUE(SettledScreenshot("settings-confirm.png"));
  Click(ControlById(confirm, id::kNo));
  ASSERT_TRUE(WaitUntil([&] { return !FindDialog(app, "Are you Sure?"); }));
  Click(ControlById(dialog, id::kCancel));
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

// The same dialog at 144 dpi (150 %): every text must still fit.
TEST(Screens, SettingsDialogAt144Dpi) {
  if (!GetEnvironmentVariableA("NV_SHOTS", nullptr, 0)) GTEST_SKIP() << "NV_SHOTS is not set";
  ClearSettings();
  SetDpi(144);
  Norvane app(InstallFresh("screens-144"));
  ASSERT_TRUE(StartAfterSplash(app));
  HWND dialog = OpenSettings(app);
  ASSERT_TRUE(dialog);
  ClickTab(ControlById(dialog, nv::settings_id::kTab), 1);
  Sleep(400);
  EXPECT_TRUE(SettledScreenshot("settings-cookies-144dpi.png"));
  app.Close();
  EXPECT_TRUE(app.WaitExit());
  SetDpi(96);
}

}  // namespace
