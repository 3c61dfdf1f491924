#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_platform.h"
#include "popups/popup_scanner.h"

namespace nv {
namespace {

using test::FakeDesktop;
using test::FakePlatform;

struct PopupTest : ::testing::Test {
  FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  PopupScanner scanner{services};
  FakeDesktop& desktop = fp.desktop;

  void SetUp() override { scanner.killpopups(true); }
  void Tick() {
    scanner.ResetScanState();
    scanner.PopupStep();
  }
  void UseAllowList(const std::string& fileBytes) {
    fp.settings.values["Settings\\AllPops"] = "0";
    fp.files.Put("C:\\N\\data\\popups.svr", fileBytes);
    scanner.killpopups(true);
  }
  int Blocked() const { return counters.Get(BlockedPopupsCount); }
};

// Which foreground windows count as toolbar-less browser or folder windows.
TEST_F(PopupTest, RecognisesOnlyVisibleBrowserWindowsWithAHiddenWorkerWFirstChild) {
  struct Case {
    const char* what;
    std::function<WindowHandle(FakeDesktop&)> make;
    bool popup;
  };
  const Case cases[] = {
      {"browser, toolbars hidden", [](FakeDesktop& d) { return d.AddBrowser("IEFrame", "x"); }, true},
      {"folder, toolbars hidden", [](FakeDesktop& d) { return d.AddBrowser("CabinetWClass", "x"); }, true},
      {"class merely beginning with IEFrame",
       [](FakeDesktop& d) { return d.AddBrowser("IEFrameOfSomeoneElse", "x"); }, true},
      {"class beginning with CabinetWClass",
       [](FakeDesktop& d) { return d.AddBrowser("CabinetWClassic", "x"); }, true},
      {"child class beginning with WorkerW",
       [](FakeDesktop& d) {
         WindowHandle w = d.Add("IEFrame");
         d.Add("WorkerWide", "", false, w);
         return d.foreground = w;
       },
       true},
      {"toolbars shown", [](FakeDesktop& d) { return d.AddBrowser("IEFrame", "x", true); }, false},
      {"other letter case of the class", [](FakeDesktop& d) { return d.AddBrowser("ieframe", "x"); }, false},
      {"shorter class", [](FakeDesktop& d) { return d.AddBrowser("IEFram", "x"); }, false},
      {"other class", [](FakeDesktop& d) { return d.AddBrowser("Notepad", "x"); }, false},
      {"no children", [](FakeDesktop& d) { return d.foreground = d.Add("IEFrame"); }, false},
      {"first child not WorkerW",
       [](FakeDesktop& d) {
         WindowHandle w = d.Add("IEFrame");
         d.Add("ReBarWindow32", "", false, w);
         d.Add("WorkerW", "", false, w);
         return d.foreground = w;
       },
       false},
      {"window itself hidden",
       [](FakeDesktop& d) {
         WindowHandle w = d.AddBrowser("IEFrame", "x");
         d.windows[w].visible = false;
         return w;
       },
       false},
      {"no foreground window", [](FakeDesktop& d) { return d.foreground = 0; }, false},
  };
  for (const Case& c : cases) {
    FakePlatform fresh;
    Store st{fresh.files, "C:\\N"};
    Settings se{fresh.settings};
    Counters co;
    Services sv{fresh.platform, st, se, co};
    PopupScanner sc{sv};
    const WindowHandle w = c.make(fresh.desktop);
    sc.PopupStep();
    const std::vector<WindowHandle> expected = c.popup ? std::vector<WindowHandle>{w} : std::vector<WindowHandle>{};
    EXPECT_EQ(fresh.desktop.closeRequests, expected) << c.what;
  }
}

TEST_F(PopupTest, ClassNamesAreReadIntoRoomFor15Then8Bytes) {
  desktop.AddBrowser("IEFrameOfSomeone", "x");
  Tick();
  EXPECT_EQ(desktop.classBufferSizes, (std::vector<int>{15, 8}));
  // The child's 7 characters and NUL over the window's first 14 and NUL.
  EXPECT_EQ(std::string(scanner.scan.className, 16), std::string("WorkerW\0fSomeo\0 ", 16));
}

TEST_F(PopupTest, WithoutAllowListClosesAtOnceThenCountsAndSoundsAfterThePause) {
  const WindowHandle w = desktop.AddBrowser("IEFrame", "Buy now");
  Tick();
  EXPECT_EQ(desktop.closeRequests, std::vector<WindowHandle>{w});
  EXPECT_TRUE(desktop.captionBufferSizes.empty()) << "no caption is read without an allow list";
  EXPECT_EQ(fp.timers.started, std::vector<unsigned>{100});
  EXPECT_EQ(Blocked(), 0) << "counted only after the pause";
  EXPECT_TRUE(fp.sound.played.empty());

  fp.timers.Advance(99);
  EXPECT_EQ(Blocked(), 0);
  fp.timers.Advance(1);
  EXPECT_EQ(Blocked(), 1);
  ASSERT_EQ(fp.sound.played.size(), 1u);
  EXPECT_EQ(fp.sound.played[0].path, "C:\\N\\popupblock.wav");
  EXPECT_EQ(fp.sound.played[0].flags, kSoundNoDefault | kSoundAsync) << "the sound must not wait";
}

TEST_F(PopupTest, TicksDuringThePauseLeaveTheDesktopAloneAndAStillOpenWindowIsClosedAgain) {
  const WindowHandle w = desktop.AddBrowser("IEFrame", "Buy now");
  Tick();
  const int calls = desktop.calls;
  Tick();
  EXPECT_EQ(desktop.calls, calls);
  fp.timers.Advance(100);
  Tick();  // still in front 100 ms later: examined, closed and counted again
  fp.timers.Advance(100);
  EXPECT_EQ(desktop.closeRequests, (std::vector<WindowHandle>{w, w}));
  EXPECT_EQ(Blocked(), 2);
}

TEST_F(PopupTest, AllowListReadsTheCaptionOnlyAfterTheTitleWait) {
  UseAllowList("news\r\n");
  const WindowHandle w = desktop.AddBrowser("IEFrame", "Casino");
  Tick();
  EXPECT_TRUE(desktop.captionBufferSizes.empty());
  EXPECT_EQ(fp.timers.started, std::vector<unsigned>{500});
  const int calls = desktop.calls;
  Tick();
  Tick();
  EXPECT_EQ(desktop.calls, calls) << "no second check while one is waiting";

  fp.timers.Advance(500);
  EXPECT_EQ(desktop.captionBufferSizes, std::vector<int>{100});
  EXPECT_EQ(desktop.closeRequests, std::vector<WindowHandle>{w});
  EXPECT_EQ(Blocked(), 1);
  EXPECT_TRUE(fp.sound.played.empty()) << "no sound while the allow list is in use";
  EXPECT_EQ(fp.timers.Pending(), 0u) << "no pause after the close";
}

TEST_F(PopupTest, CaptionHoldingAnEntryInOtherLetterCaseKeepsTheWindowAndIsCheckedAgain) {
  UseAllowList("casino\r\nnews\r\n");
  desktop.AddBrowser("IEFrame", "Daily NEWS - Browser");
  Tick();
  fp.timers.Advance(500);
  EXPECT_TRUE(desktop.closeRequests.empty());
  EXPECT_TRUE(scanner.scan.kept);
  Tick();
  EXPECT_EQ(fp.timers.started, (std::vector<unsigned>{500, 500})) << "kept window examined again";
  fp.timers.Advance(500);
  EXPECT_TRUE(desktop.closeRequests.empty());
  EXPECT_EQ(Blocked(), 0);
}

TEST_F(PopupTest, OnlyTheFirst99CharactersOfTheCaptionAreSearched) {
  UseAllowList("news\r\n");
  const WindowHandle late = desktop.AddBrowser("IEFrame", std::string(96, 'x') + "news");
  Tick();
  fp.timers.Advance(500);
  EXPECT_EQ(desktop.closeRequests, std::vector<WindowHandle>{late});

  desktop.AddBrowser("IEFrame", std::string(95, 'x') + "news");
  Tick();
  fp.timers.Advance(500);
  EXPECT_EQ(desktop.closeRequests, std::vector<WindowHandle>{late}) << "ending at 99 still matches";
}

TEST_F(PopupTest, SwitchingOffDropsAWaitingCheck) {
  UseAllowList("news\r\n");
  desktop.AddBrowser("IEFrame", "Casino");
  Tick();
  scanner.killpopups(false);
  EXPECT_EQ(fp.timers.Pending(), 0u);
  fp.timers.Advance(1000);
  EXPECT_TRUE(desktop.closeRequests.empty());
  EXPECT_FALSE(scanner.CheckPending());
}

TEST_F(PopupTest, WindowGoneDuringTheTitleWaitIsNotCounted) {
  UseAllowList("news\r\n");
  const WindowHandle w = desktop.AddBrowser("IEFrame", "Casino");
  Tick();
  desktop.Destroy(w);
  fp.timers.Advance(500);
  EXPECT_EQ(Blocked(), 0);
}

TEST_F(PopupTest, KillpopupsLoadsTheAllowListOnlyWhenAllPopsIsZero) {
  fp.files.Put("C:\\N\\data\\popups.svr", "news\r\nmail\r\n");
  scanner.killpopups(true);
  EXPECT_TRUE(scanner.lstpops.Empty()) << "absent AllPops blocks every popup";
  fp.settings.values["Settings\\AllPops"] = "0";
  scanner.killpopups(true);
  EXPECT_EQ(scanner.lstpops.Items(), (std::vector<std::string>{"news", "mail"}));
  scanner.killpopups(false);
  EXPECT_TRUE(scanner.lstpops.Empty());
  fp.settings.values["Settings\\AllPops"] = "1";
  scanner.killpopups(true);
  EXPECT_TRUE(scanner.lstpops.Empty());
}

TEST_F(PopupTest, AllPopsThatIsNoNumberBlocksEveryPopupAndIsLogged) {
  fp.files.Put("C:\\N\\data\\popups.svr", "news\r\n");
  fp.settings.values["Settings\\AllPops"] = "zero";
  scanner.killpopups(true);
  EXPECT_TRUE(scanner.lstpops.Empty());
  EXPECT_NE(fp.files.Get("C:\\N\\err.log").find("13:Type mismatch:Norvane"), std::string::npos);
}

TEST_F(PopupTest, MissingAllowListFileBlocksEveryPopup) {
  fp.settings.values["Settings\\AllPops"] = "0";
  scanner.killpopups(true);
  const WindowHandle w = desktop.AddBrowser("IEFrame", "news");
  Tick();
  EXPECT_EQ(desktop.closeRequests, std::vector<WindowHandle>{w});
  EXPECT_NE(fp.files.Get("C:\\N\\err.log").find("53:File not found"), std::string::npos);
}

}  // namespace
}  // namespace nv
