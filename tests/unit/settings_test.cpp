#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "store/counters.h"
#include "store/error_box.h"
#include "store/log_texts.h"
#include "store/settings.h"

namespace nv {
namespace {

TEST(Settings, ReadersGetTheirOwnDefaultUntilAValueIsStored) {
  test::FakeSettingsStore store;
  Settings s(store);
  EXPECT_EQ(s.Get("Settings", "Color", "0"), "0");
  EXPECT_EQ(s.GetNumber("Settings", "AllPops", 1), 1);
  EXPECT_EQ(s.GetNumber("Settings", "AllPops", 0), 0);
  s.Save("Settings", "AllPops", "0");
  EXPECT_EQ(s.GetNumber("Settings", "AllPops", 1), 0);
  EXPECT_EQ(store.values.at("Settings\\AllPops"), "0");
}

TEST(Settings, TruthValuesAreWordsInAnyCaseOrNumbers) {
  EXPECT_TRUE(TextToBool("True"));
  EXPECT_TRUE(TextToBool(" true "));
  EXPECT_FALSE(TextToBool("FALSE"));
  EXPECT_TRUE(TextToBool("-1"));
  EXPECT_FALSE(TextToBool("0"));
  for (const char* bad : {"", "yes", "Truee", "1x"}) {
    try {
      TextToBool(bad);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const AppError& e) {
      EXPECT_EQ(e.number, 13) << bad;
    }
  }
}

TEST(Settings, WholeNumbersAreSixteenBitDecimals) {
  EXPECT_EQ(TextToNumber(" 2 "), 2);
  EXPECT_EQ(TextToNumber("-32768"), -32768);
  EXPECT_EQ(TextToNumber("+7"), 7);
  EXPECT_THROW(TextToNumber("1.5"), AppError);
  EXPECT_THROW(TextToNumber("-"), AppError);
  try {
    TextToNumber("32768");
    ADD_FAILURE();
  } catch (const AppError& e) {
    EXPECT_EQ(e.number, 6);
  }
}

TEST(Counters, StopAtTheLargestSixteenBitValue) {
  Counters c;
  c.Set(BannerAdsCount, 32766);
  c.Increment(BannerAdsCount);
  c.Increment(BannerAdsCount);
  EXPECT_EQ(c.Get(BannerAdsCount), 32767);
  c.Increment(BlockedPopupsCount);
  EXPECT_EQ(c.Get(BlockedPopupsCount), 1);
  c.Reset();
  EXPECT_EQ(c.Get(BannerAdsCount), 0);
}

TEST(Logs, DateTextLeavesOutTheTimeAtMidnightOnly) {
  test::FakeClock clock;
  EXPECT_EQ(GeneralDateText(clock), "08.12.2026 11:05:09");
  clock.now = {2026, 12, 8, 0, 0, 0};
  EXPECT_EQ(GeneralDateText(clock), "08.12.2026");
  clock.now = {2026, 12, 8, 0, 0, 1};
  EXPECT_EQ(GeneralDateText(clock), "08.12.2026 00:00:01");
}

TEST(Logs, LoginNameIsCutAtNulAndTrimmed) {
  test::FakeSystem sys;
  sys.userName = std::string(" Ann \0junk", 10);
  EXPECT_EQ(GetLoginName(sys), "Ann");
}

TEST(Logs, ErrorBoxShowsNumberAndDescriptionWithTheCriticalIcon) {
  test::FakeDialogs d;
  ShowErrorBox(d, AppError(53, "File not found"));
  ASSERT_EQ(d.shown.size(), 1u);
  EXPECT_EQ(d.shown[0].text, "53 : File not found");
  EXPECT_EQ(d.shown[0].title, "Error");
  EXPECT_EQ(d.shown[0].style, 16u);
}

}  // namespace
}  // namespace nv
