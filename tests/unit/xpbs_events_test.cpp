#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_platform.h"
#include "fakes/fake_xp_host.h"
#include "ui/access_key.h"
#include "ui/xpbs.h"

namespace nv {
namespace {

using Seq = std::vector<std::string>;

struct XpBsEventsTest : ::testing::Test {
  test::FakeXpHost host{75, 23};
  test::FakeSound sound;
  test::EventLog events{host.log};
  XpBs button{host, sound, events};

  void SetUp() override {
    button.InitProperties();
    button.SetURL("http://example.test/");
    host.log.clear();
  }
  // The log since the last call.
  Seq Take() {
    Seq s = host.log;
    host.log.clear();
    return s;
  }
};

TEST_F(XpBsEventsTest, PressAndReleaseInsideClicksWithSoundThenOpensTheAddress) {
  button.MouseDown(1, 0, 10, 10);
  EXPECT_TRUE(button.Flags().pressed);
  button.MouseUp(1, 0, 10, 10);
  EXPECT_EQ(Take(), (Seq{"MouseDown 1 0 10 10", "Click", "Navigate http://example.test/", "MouseUp 1 0 10 10"}));
  ASSERT_EQ(sound.played.size(), 1u);
  EXPECT_EQ(sound.played[0].path, ".\\resources\\click.wav");
  EXPECT_EQ(sound.played[0].flags, 0x20003u);
  EXPECT_FALSE(button.Flags().pressed);
}

TEST_F(XpBsEventsTest, ReleaseOutsideGivesNoClickNoSoundNoNavigationButMouseUp) {
  button.MouseDown(1, 0, 10, 10);
  button.MouseUp(1, 0, 75, 10);  // x == W is outside
  button.MouseDown(1, 0, 10, 10);
  button.MouseUp(1, 0, 10, -1);
  EXPECT_EQ(Take(), (Seq{"MouseDown 1 0 10 10", "MouseUp 1 0 75 10", "MouseDown 1 0 10 10", "MouseUp 1 0 10 -1"}));
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(XpBsEventsTest, RightButtonHasNoPressedLookAndNoClick) {
  int shownBefore = host.shown;
  button.MouseDown(2, 0, 5, 5);
  EXPECT_FALSE(button.Flags().pressed);
  EXPECT_EQ(host.shown, shownBefore);
  button.MouseUp(2, 0, 5, 5);
  EXPECT_EQ(Take(), (Seq{"MouseDown 2 0 5 5", "MouseUp 2 0 5 5"}));
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(XpBsEventsTest, MiddleButtonPressesAndClicksLikeTheLeft) {
  button.MouseDown(4, 0, 5, 5);
  EXPECT_TRUE(button.Flags().pressed);
  button.MouseUp(4, 0, 5, 5);
  EXPECT_EQ(Take(), (Seq{"MouseDown 4 0 5 5", "Click", "Navigate http://example.test/", "MouseUp 4 0 5 5"}));
}

TEST_F(XpBsEventsTest, DoubleClickCapturesAndPressesAgainSoTheReleaseClicksTwice) {
  button.MouseDown(1, 1, 7, 8);
  button.MouseUp(1, 1, 7, 8);
  button.DblClick();
  button.MouseUp(1, 1, 7, 8);
  EXPECT_EQ(Take(), (Seq{"MouseDown 1 1 7 8", "Click", "Navigate http://example.test/", "MouseUp 1 1 7 8",
                         "SetCapture", "MouseDown 1 1 7 8", "Click", "Navigate http://example.test/",
                         "MouseUp 1 1 7 8"}));
  EXPECT_EQ(sound.played.size(), 2u);
}

TEST_F(XpBsEventsTest, HoverEntersOnceAndLeavesWhenTheTimerSeesAnotherWindow) {
  host.pointerOver = true;
  button.MouseMove(0, 0, 3, 3);
  button.MouseMove(0, 0, 4, 4);
  EXPECT_TRUE(host.timerRunning);
  EXPECT_TRUE(button.Flags().hovered);
  button.OverTimer();  // still over: nothing
  host.pointerOver = false;
  button.OverTimer();
  EXPECT_FALSE(host.timerRunning);
  EXPECT_FALSE(button.Flags().hovered);
  EXPECT_EQ(Take(), (Seq{"MouseIn 0", "MouseMove 0 0 3 3", "MouseMove 0 0 4 4", "MouseOut 0"}));
}

TEST_F(XpBsEventsTest, MoveOutsideWhileNotHoveredOnlyRaisesMouseMove) {
  button.MouseMove(1, 0, -2, 3);
  EXPECT_EQ(Take(), (Seq{"MouseMove 1 0 -2 3"}));
  EXPECT_FALSE(host.timerRunning);
}

TEST_F(XpBsEventsTest, LeavingWhilePressedRaisesMouseOutLooksRaisedAndPressedAgainOnReturn) {
  button.SetButtonStyle(0);
  host.pointerOver = true;
  button.MouseMove(0, 0, 5, 5);
  button.MouseDown(1, 2, 5, 5);
  host.pointerOver = false;
  int before = host.shown;
  button.OverTimer();
  EXPECT_EQ(host.shown, before + 1);
  // Drawn raised: the top-left pixel is the raised frame's light edge.
  EXPECT_EQ(host.surface.Pixel(0, 0), host.surface.SysColor(20));
  EXPECT_EQ(host.surface.Pixel(74, 22), host.surface.SysColor(16));
  EXPECT_TRUE(button.Flags().pressed);  // still held
  host.pointerOver = true;
  button.MouseMove(1, 2, 6, 6);
  EXPECT_EQ(host.surface.Pixel(0, 0), host.surface.SysColor(16));  // sunken again
  button.MouseUp(1, 2, 6, 6);
  EXPECT_EQ(Take(), (Seq{"MouseIn 0", "MouseMove 0 0 5 5", "MouseDown 1 2 5 5", "MouseOut 2", "MouseIn 2",
                         "MouseMove 1 2 6 6", "Click", "Navigate http://example.test/", "MouseUp 1 2 6 6"}));
}

TEST_F(XpBsEventsTest, HoverPictureIsShownWhileThePointerIsOver) {
  auto normal = std::make_shared<Image>(8, 8, 0x0000FF);
  auto hover = std::make_shared<Image>(8, 8, 0x00FF00);
  button.SetPicture(normal);
  button.SetPictureHover(hover);
  host.pointerOver = true;
  button.MouseMove(0, 0, 1, 1);
  EXPECT_EQ(button.DisplayedPicture(), hover);
  host.pointerOver = false;
  button.OverTimer();
  EXPECT_EQ(button.DisplayedPicture(), normal);
}

TEST_F(XpBsEventsTest, HoldingSpaceRedrawsPressedOnceRaisesEveryKeyDownAndClicksOnce) {
  int before = host.shown;
  button.KeyDown(32, 0);
  EXPECT_TRUE(button.Flags().pressed);
  EXPECT_TRUE(button.Flags().hovered);
  button.KeyDown(32, 0);
  button.KeyDown(32, 0);
  EXPECT_EQ(host.shown, before + 1);
  button.KeyPress(32);
  button.KeyUp(32, 1);
  EXPECT_FALSE(button.Flags().pressed);
  EXPECT_FALSE(button.Flags().hovered);
  EXPECT_EQ(Take(), (Seq{"KeyDown 32 0", "KeyDown 32 0", "KeyDown 32 0", "KeyPress 32", "Click",
                         "Navigate http://example.test/", "MouseUp 1 1 0 0", "KeyUp 32 1"}));
  EXPECT_EQ(sound.played.size(), 1u);
  button.KeyDown(32, 0);  // the latch was cleared by the key-up
  EXPECT_TRUE(button.Flags().pressed);
}

TEST_F(XpBsEventsTest, OtherKeysOnlyRaiseTheirEvents) {
  button.KeyDown(13, 0);
  button.KeyUp(13, 0);
  EXPECT_FALSE(button.Flags().pressed);
  EXPECT_EQ(Take(), (Seq{"KeyDown 13 0", "KeyUp 13 0"}));
}

TEST_F(XpBsEventsTest, AccessKeyClicksWithoutSoundAndOnlyWhenEnabled) {
  button.AccessKeyPress();
  EXPECT_EQ(Take(), (Seq{"Click", "Navigate http://example.test/"}));
  EXPECT_TRUE(sound.played.empty());
  button.SetEnabled(false);
  EXPECT_FALSE(host.windowEnabled);
  button.AccessKeyPress();
  EXPECT_TRUE(Take().empty());
}

TEST_F(XpBsEventsTest, MailAddressesGoToTheShellOthersToTheHyperlinkService) {
  const std::pair<std::string, Seq> cases[] = {
      {"mailto:ann@example.test", {"ShellOpen mailto:ann@example.test"}},
      {"MAILTO:ann@example.test", {"Navigate MAILTO:ann@example.test"}},
      {"www.example.test", {"Navigate www.example.test"}},
      {"", {}},
  };
  for (const auto& [url, expected] : cases) {
    button.SetURL(url);
    button.GoToURL();
    EXPECT_EQ(Take(), expected) << url;
  }
}

TEST_F(XpBsEventsTest, EmptySoundTextPlaysNothing) {
  button.SetSoundClick("");
  button.MouseDown(1, 0, 1, 1);
  button.MouseUp(1, 0, 1, 1);
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(XpBsEventsTest, LosingTheFocusClearsFocusAndPressed) {
  button.GotFocus();
  button.MouseDown(1, 0, 1, 1);
  EXPECT_TRUE(button.Flags().focused);
  button.LostFocus();
  EXPECT_FALSE(button.Flags().focused);
  EXPECT_FALSE(button.Flags().pressed);
}

// A `Click` handler that closes the form destroys the button's window: by
// mouse, space bar and access key alike, the click is the button's last act.
TEST(XpBsClosingClick, NothingOfTheButtonsOwnRunsOnceItsWindowIsGone) {
  struct Closing : test::EventLog {
    Closing(test::FakeXpHost& h) : EventLog(h.log), host(h) {}
    void Click() override {
      EventLog::Click();
      host.alive = false;
    }
    test::FakeXpHost& host;
  };
  const std::function<void(XpBs&)> ways[] = {
      [](XpBs& b) { b.MouseDown(1, 0, 5, 5), b.MouseUp(1, 0, 5, 5); },
      [](XpBs& b) { b.KeyDown(32, 0), b.KeyUp(32, 0); },
      [](XpBs& b) { b.AccessKeyPress(); },
  };
  for (const auto& press : ways) {
    test::FakeXpHost host;
    test::FakeSound sound;
    Closing events(host);
    XpBs button(host, sound, events);
    button.InitProperties();
    button.SetURL("http://example.test/");
    press(button);
    ASSERT_FALSE(host.log.empty());
    EXPECT_EQ(host.log.back(), "Click") << "no address opened, no MouseUp or KeyUp after the window went";
    const int shown = host.shown;
    button.Refresh();
    EXPECT_EQ(host.shown, shown) << "no drawing into a destroyed window";
  }
}

TEST(XpAccessKeyTest, CaptionRules) {
  const std::pair<std::string, char> cases[] = {
      {"Save && Exit", 0}, {"&Yes", 'y'}, {"A&&B&c", 'c'}, {"Quit&", 0}, {"&", 0},
      {"&&&&x", 0},        {"A&&B&&C&d", 0}, {"&NO", 'n'}, {"x", 0},    {"", 0},
  };
  for (const auto& [caption, key] : cases) EXPECT_EQ(AccessKeyOf(caption), key) << caption;
}

TEST(XpAccessKeyTest, MnemonicTextMarksOnlyTheDeclaredKey) {
  EXPECT_EQ(MnemonicText("&Yes"), "&Yes");
  EXPECT_EQ(MnemonicText("A&&B&c"), "A&&B&c");
  EXPECT_EQ(MnemonicText("Save && Exit"), "Save && Exit");
  EXPECT_EQ(MnemonicText("A&&B&&C&d"), "A&&B&&C&&d");
  EXPECT_EQ(MnemonicText("Quit&"), "Quit&&");
}

TEST_F(XpBsEventsTest, CaptionDeclaresItsAccessKeyToTheContainer) {
  button.SetCaption("&Yes");
  EXPECT_EQ(host.accessKey, 'y');
  EXPECT_EQ(button.AccessKey(), 'y');
  button.SetCaption("Save && Exit");
  EXPECT_EQ(host.accessKey, 0);
}

}  // namespace
}  // namespace nv
