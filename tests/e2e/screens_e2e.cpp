// Pictures of the program for the README. Runs only when NV_SHOTS names a
// folder (tools/screenshots); otherwise every case is skipped.
#include <gtest/gtest.h>

#include "harness/harness.h"

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

}  // namespace
