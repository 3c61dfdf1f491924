#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "fakes/fake_main_view.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

using test::FakeMainView;
using test::FakePlatform;

constexpr char kCookies[] = "C:\\Cookies";

struct TickTest : ::testing::Test {
  FakePlatform fp;
  FakeMainView view;
  frmMain frm{fp.platform, view};

  void SetUp() override {
    fp.files.MakeFolder(kCookies);
    fp.files.Put("C:\\Program Files\\Norvane\\cookies.log", "\r\n\r\n");
    frm.Cookies().SetFolder(kCookies);
  }
  void PutCookie(const std::string& name) {
    fp.files.Put(std::string(kCookies) + "\\" + name, "id\nv\n" + name + ".example/\n0\n*\n");
  }
  bool HasCookie(const std::string& name) { return fp.files.Has(std::string(kCookies) + "\\" + name); }
  std::string ErrLog() { return fp.files.Get("C:\\Program Files\\Norvane\\err.log"); }
};

TEST_F(TickTest, WithBothBlockersOffOnlyTheStatusIsUpdated) {
  fp.desktop.AddBrowser("IEFrame", "Casino");
  PutCookie("a.txt");
  frm.Timer_Timer();
  EXPECT_EQ(fp.desktop.calls, 0);
  EXPECT_TRUE(HasCookie("a.txt"));
  EXPECT_EQ(view.statusLabel, "Banner Ads:0 Deleted Cookies:0 Blocked Popups:0");
}

TEST_F(TickTest, BlockedPopupAndDeletedCookieShowInTheStatusLine) {
  frm.mnublockpopups_Click();
  fp.settings.values["Settings\\All"] = "1";
  frm.mnukillcookies_Click();
  fp.desktop.AddBrowser("IEFrame", "Casino");
  PutCookie("a.txt");
  frm.Timer_Timer();
  EXPECT_EQ(view.statusLabel, "Banner Ads:0 Deleted Cookies:1 Blocked Popups:0");
  fp.timers.Advance(100);
  fp.desktop.foreground = 0;  // the popup went away
  frm.Timer_Timer();
  EXPECT_EQ(view.statusLabel, "Banner Ads:0 Deleted Cookies:1 Blocked Popups:1");
}

TEST_F(TickTest, AFailureIsLoggedSkipsTheRestOfTheTickAndTheNextTickStartsAfresh) {
  frm.mnublockpopups_Click();
  fp.settings.values["Settings\\All"] = "1";
  frm.mnukillcookies_Click();
  PutCookie("a.txt");
  view.statusLabel = "before";
  fp.desktop.failure = AppError(5, "Invalid procedure call or argument");
  frm.Timer_Timer();
  EXPECT_NE(ErrLog().find("5:Invalid procedure call or argument:Norvane"), std::string::npos);
  EXPECT_TRUE(HasCookie("a.txt")) << "the cookie step is skipped";
  EXPECT_EQ(view.statusLabel, "before") << "the status update is skipped";
  EXPECT_TRUE(fp.dialogs.shown.empty());

  fp.desktop.failure.reset();
  frm.Timer_Timer();
  EXPECT_FALSE(HasCookie("a.txt"));
  EXPECT_EQ(view.statusLabel, "Banner Ads:0 Deleted Cookies:1 Blocked Popups:0");
}

TEST_F(TickTest, ACookieStepFailureSkipsTheStatusUpdate) {
  fp.settings.values["Settings\\All"] = "1";
  frm.mnukillcookies_Click();
  PutCookie("a.txt");
  fp.files.Remove("C:\\Program Files\\Norvane\\cookies.log");
  fp.files.failWrites.insert("c:\\program files\\norvane\\cookies.log");
  view.statusLabel = "before";
  frm.Timer_Timer();
  EXPECT_NE(ErrLog().find("70:Permission denied"), std::string::npos);
  EXPECT_EQ(view.statusLabel, "before");
}

// The box waits for the user while ticks go on: they must run, block the
// popup that appears meanwhile and update the status line, and leave only the
// cookies alone.
TEST_F(TickTest, TicksDuringTheEmptyLoginBoxSkipOnlyTheCookieStep) {
  fp.system.userName = "  ";
  fp.settings.values["Settings\\All"] = "1";
  frm.mnukillcookies_Click();
  frm.mnublockpopups_Click();
  PutCookie("a.txt");
  PutCookie("b.txt");
  std::vector<std::string> statusDuringBox;
  fp.dialogs.whileOpen = [&] {
    fp.desktop.AddBrowser("IEFrame", "Casino");
    for (int i = 0; i < 3; ++i) {
      view.statusLabel.clear();
      frm.Timer_Timer();
      fp.timers.Advance(100);
      if (!fp.desktop.closeRequests.empty()) fp.desktop.foreground = 0;  // the popup went away
      statusDuringBox.push_back(view.statusLabel);
    }
  };
  frm.Timer_Timer();
  EXPECT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(statusDuringBox, (std::vector<std::string>{"Banner Ads:0 Deleted Cookies:0 Blocked Popups:0",
                                                       "Banner Ads:0 Deleted Cookies:0 Blocked Popups:1",
                                                       "Banner Ads:0 Deleted Cookies:0 Blocked Popups:1"}));
  EXPECT_EQ(fp.desktop.closeRequests.size(), 1u);
  EXPECT_TRUE(HasCookie("b.txt"));
  EXPECT_FALSE(HasCookie("a.txt"));
  EXPECT_EQ(view.statusLabel, "Banner Ads:0 Deleted Cookies:1 Blocked Popups:1");
}

TEST_F(TickTest, AClientWaitingWithoutAConnectionEventIsAnsweredOnTheNextTick) {
  for (const char* list : kListFiles) fp.files.Put(fp.system.programFolder + list, "");
  frm.Form_Load();
  const SocketId client = fp.net.Enqueue(80);
  fp.net.conns[client].inbox = "GET /lost.gif HTTP/1.1\r\n\r\n";
  frm.Timer_Timer();
  EXPECT_TRUE(fp.net.conns[client].accepted);
  EXPECT_EQ(fp.net.conns[client].inbox, "");  // read and judged at once
  fp.net.acceptError = AppError(10055, "No buffer space");
  frm.Timer_Timer();
  frm.Timer_Timer();
  EXPECT_EQ(fp.dialogs.shown.size(), 1u);  // a failure that lasts is shown once, not every tick
}

}  // namespace
}  // namespace nv
