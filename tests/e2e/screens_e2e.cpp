// Pictures of the program for the README. Runs only when NV_SHOTS names a
// folder (tools/screenshots); otherwise every case is skipped.
#include <gtest/gtest.h>

#include "harness/harness.h"
#include "harness/settings_driver.h"
#include "settings/settings_ids.h"

using namespace e2e;

namespace {

TEST(Screens, TrayMenuAndAboutWindow) {
  if (!GetEnvironmentVariableA("NV_SHOTS", nullptr, 0)) GTEST_SKIP() << "NV_SHOTS is not set";
  ClearSettings();
  Norvane app(InstallFresh("screens"));
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  EXPECT_TRUE(WaitUntil([&] { return !FindTopWindow("NorvaneSplash", "", app.pid()); }, 8000));
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

// The four tabs of the settings dialog, and the confirmation of "Delete all
// cookies".
TEST(Screens, SettingsDialog) {
  if (!GetEnvironmentVariableA("NV_SHOTS", nullptr, 0)) GTEST_SKIP() << "NV_SHOTS is not set";
  namespace id = nv::settings_id;
  ClearSettings();
  SetSetting("Settings", "UseDNS", "1");
  Norvane app(InstallFresh("screens-settings"));
  WriteFile(app.File("\\data\\dns.svr"), "93.184.216.34 www.example.com\r\n10.1.2.3 intranet.example\r\n");
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  EXPECT_TRUE(WaitUntil([&] { return !FindTopWindow("NorvaneSplash", "", app.pid()); }, 8000));
  SetCursorPos(1000, 740);
  HWND dialog = OpenSettings(app);
  ASSERT_TRUE(dialog);
  HWND tab = ControlById(dialog, id::kTab);
  const struct {
    int tab;
    const char* name;
  } shots[] = {{2, "settings-dns.png"}, {0, "settings-adblocking.png"}, {1, "settings-cookies.png"},
               {3, "settings-popups.png"}};
  for (const auto& shot : shots) {
    ClickTab(tab, shot.tab);
    Sleep(400);
    EXPECT_TRUE(Screenshot(shot.name));
  }
  ClickTab(tab, 1);
  Click(ControlById(dialog, id::kAllCookies));
  HWND confirm = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (confirm = FindDialog(app, "Are you Sure?")) != nullptr; }));
  Sleep(400);
  EXPECT_TRUE(Screenshot("settings-confirm.png"));
  Click(ControlById(confirm, id::kNo));
  ASSERT_TRUE(WaitUntil([&] { return !FindDialog(app, "Are you Sure?"); }));
  Click(ControlById(dialog, id::kCancel));
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

}  // namespace
