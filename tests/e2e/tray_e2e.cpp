// The tray menu, the About window and the help window of the real program.
#include <gtest/gtest.h>

#include "harness/harness.h"
#include "platform/win32/win32_message_filter.h"

using namespace e2e;

namespace {

// Steps down from the top of the tray menu (separators are skipped).
constexpr int kHelp = 1, kAbout = 6, kBlockAds = 7, kExit = 10;

const char kUserHosts[] = "# user\r\n127.0.0.1 localhost\r\n";
const char kUserListForm[] = "# user\r\n127.0.0.1 localhost\r\n\r\n\r\n";

class Tray : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    WriteFile(HostsPath(), kUserHosts);
    folder = InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  bool HostsBlocked() { return ReadFile(HostsPath()).rfind("127.0.0.1 101com.com\r\n", 0) == 0; }
  // Starts the program, picks "&Help" and returns the help window's text box.
  HWND OpenHelp(Norvane& app, HWND& help) {
    if (!app.Start() || !app.WaitRunning() || !app.PickMenuItem(kHelp)) return nullptr;
    if (!WaitUntil([&] { return (help = FindTopWindow("", "Help!", app.pid())) != nullptr; })) return nullptr;
    HWND text = FindDescendant(help, "RICHEDIT50W", "");
    return text ? text : FindDescendant(help, "RichEdit20A", "");
  }
  std::string folder;
};

TEST_F(Tray, BlockAdsFromTheMenuSwitchesHostsAndIsRememberedAtExit) {
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  ASSERT_TRUE(HostsBlocked()) << "ad blocking is on by default";

  ASSERT_TRUE(app.PickMenuItem(kBlockAds));
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(HostsPath()) == kUserListForm; })) << ReadFile(HostsPath());
  ASSERT_TRUE(app.PickMenuItem(kBlockAds));
  EXPECT_TRUE(WaitUntil([&] { return HostsBlocked(); }));
  ASSERT_TRUE(app.PickMenuItem(kBlockAds));
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(HostsPath()) == kUserListForm; }));

  ASSERT_TRUE(app.PickMenuItem(kExit));
  ASSERT_TRUE(app.WaitExit());
  EXPECT_EQ(GetSetting("Data", "AdBlock").value_or("absent"), "False");

  Norvane again(folder);
  ASSERT_TRUE(again.Start());
  ASSERT_TRUE(again.WaitRunning());
  EXPECT_EQ(ReadFile(HostsPath()), kUserListForm) << "blocking stays off at the next start";
  again.Close();
  ASSERT_TRUE(again.WaitExit());
}

TEST_F(Tray, AboutShowsTheStatusOkHidesItAndClosingItEndsTheProgram) {
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  HWND main = app.MainWindow();
  EXPECT_FALSE(IsWindowVisible(main));
  ASSERT_TRUE(app.PickMenuItem(kAbout));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  EXPECT_EQ(TextOf(main), "About Norvane!");
  EXPECT_EQ(app.StatusLine(), "Banner Ads:0 Deleted Cookies:0 Blocked Popups:0");

  HWND ok = FindDescendant(main, "Button", "&OK");
  ASSERT_TRUE(ok);
  Click(ok);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  EXPECT_TRUE(app.Running());

  ASSERT_TRUE(app.PickMenuItem(kAbout));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(app.WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserListForm);
  EXPECT_EQ(GetSetting("Data", "Restore").value_or("absent"), "True");
}

TEST_F(Tray, HelpShowsTheHelpTextAndCloseDestroysIt) {
  Norvane app(folder);
  HWND help = nullptr;
  HWND text = OpenHelp(app, help);
  ASSERT_TRUE(text);
  EXPECT_NE(TextOf(text).find("Norvane keeps banner ads"), std::string::npos) << TextOf(text);
  EXPECT_TRUE(FindDescendant(help, "Static", "For Online help, Please visit our site. http://www.norvane.example"));

  HWND close = FindDescendant(help, "Button", "Close");
  ASSERT_TRUE(close);
  Click(close);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(help); }));
  EXPECT_TRUE(app.Running());
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

TEST_F(Tray, HelpWithoutItsFileSaysSoInOneLine) {
  RemoveFile(folder + "\\help.rtf");
  Norvane app(folder);
  HWND help = nullptr;
  HWND text = OpenHelp(app, help);
  ASSERT_TRUE(text);
  EXPECT_EQ(TextOf(text), "The help file " + folder + "\\help.rtf could not be read.");
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

// Windows keeps Explorer's "TaskbarCreated" broadcast from an elevated
// window unless the window lets it through; where the filter functions do
// not exist (before Vista) the program must start all the same. Wine has no
// such filter, so the calls and their fallbacks are what can be checked here.
TEST(MessageFilter, TaskbarCreatedIsLetThroughWhereTheFilterExists) {
  HWND window = CreateWindowExA(0, "STATIC", "filter", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  EXPECT_EQ(nv::AllowMessageFromLowerIntegrity(window, taskbarCreated), nv::MessageFilterRoute::PerWindow);
  // A system whose user32 lacks both functions (kernel32 stands in for it).
  EXPECT_EQ(nv::AllowMessageFromLowerIntegrity(window, taskbarCreated, GetModuleHandleA("kernel32.dll")),
            nv::MessageFilterRoute::NoFilter);
  DestroyWindow(window);
}

}  // namespace
