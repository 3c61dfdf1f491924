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
  auto setDpi = [](DWORD dpi) {
    for (auto [root, key] : {std::pair{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                             std::pair{HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}}) {
      HKEY k = nullptr;
      RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr);
      RegSetValueExA(k, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
      RegCloseKey(k);
    }
  };
  ClearSettings();
  setDpi(144);
  Norvane app(InstallFresh("screens-144"));
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  EXPECT_TRUE(WaitUntil([&] { return !FindTopWindow("NorvaneSplash", "", app.pid()); }, 8000));
  HWND dialog = OpenSettings(app);
  ASSERT_TRUE(dialog);
  ClickTab(ControlById(dialog, nv::settings_id::kTab), 1);
  Sleep(400);
  EXPECT_TRUE(SettledScreenshot("settings-cookies-144dpi.png"));
  app.Close();
  EXPECT_TRUE(app.WaitExit());
  setDpi(96);
}

}  // namespace
