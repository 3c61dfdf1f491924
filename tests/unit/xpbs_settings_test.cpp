#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_xp_host.h"
#include "ui/xpbs.h"

namespace nv {
namespace {

// Records the names read, in order.
class RecordingBag : public MemoryPropertyBag {
 public:
  std::optional<PropValue> Read(const std::string& name) override {
    reads.push_back(name);
    return MemoryPropertyBag::Read(name);
  }
  std::vector<std::string> reads;
};

struct XpBsSettingsTest : ::testing::Test {
  test::FakeXpHost host{75, 23};
  test::FakeSound sound;
  test::EventLog events{host.log};
  XpBs button{host, sound, events};
};

TEST_F(XpBsSettingsTest, NewInstanceTakesDefaultsCaptionFromDisplayNameAndFontFromContainer) {
  button.InitProperties();
  EXPECT_EQ(button.Caption(), "XpBs1");
  EXPECT_EQ(button.Font(), host.ambientFont);
  EXPECT_EQ(button.ButtonStyle(), 2);
  EXPECT_EQ(button.PicturePosition(), 1);
  EXPECT_EQ(button.BackColor(), 0x8000000Fu);
  EXPECT_EQ(button.ForeColor(), 0x80000012u);
  EXPECT_EQ(button.SoundClick(), ".\\resources\\click.wav");
  EXPECT_EQ(button.BEVELDEPTH(), 8);
  MemoryPropertyBag bag;
  button.WriteProperties(bag);
  EXPECT_TRUE(bag.Entries().empty());  // nothing differs from its default
}

TEST_F(XpBsSettingsTest, ChangedSettingsRoundTripAndDefaultsAreOmitted) {
  button.InitProperties();
  auto pic = std::make_shared<Image>(20, 10, 0x123456);
  button.SetCaption("&Apply");
  button.SetButtonStyle(0);
  button.SetPicture(pic);
  button.SetURL("mailto:a@b.test");
  button.SetBackColor(0x00FF00);
  button.SetFont({"Verdana", 10, true, false, false, false});
  button.SetEnabled(false);
  button.SetBEVEL(3);
  button.SetXPDefaultColors(false);
  MemoryPropertyBag bag;
  button.WriteProperties(bag);
  std::vector<std::string> names;
  for (const auto& e : bag.Entries()) names.push_back(e.first);
  EXPECT_EQ(names, (std::vector<std::string>{"Caption", "ButtonStyle", "Picture", "OriginalPicSizeW",
                                             "OriginalPicSizeH", "Enabled", "Font", "URL", "XPDefaultColors",
                                             "BackColor", "BEVEL"}));

  test::FakeXpHost host2{75, 23};
  XpBs loaded{host2, sound, events};
  loaded.ReadProperties(bag);
  EXPECT_EQ(loaded.Caption(), "&Apply");
  EXPECT_EQ(loaded.AccessKey(), 'a');
  EXPECT_EQ(loaded.ButtonStyle(), 0);
  EXPECT_EQ(loaded.GetPicture(), pic);
  EXPECT_EQ(loaded.DisplayedPicture(), pic);
  EXPECT_EQ(loaded.Props().OriginalPicSizeW, 20);
  EXPECT_EQ(loaded.URL(), "mailto:a@b.test");
  EXPECT_EQ(loaded.BackColor(), 0x00FF00u);
  EXPECT_EQ(loaded.Font().name, "Verdana");
  EXPECT_FALSE(loaded.Enabled());
  EXPECT_FALSE(host2.windowEnabled);
  EXPECT_EQ(loaded.BEVEL(), 3);
  EXPECT_FALSE(loaded.XPDefaultColors());
  EXPECT_EQ(loaded.PictureWidth(), 32);  // not stored, so the default
  EXPECT_GT(host2.shown, 0);             // the resize step redrew
}

TEST_F(XpBsSettingsTest, NamesAreMatchedWithoutRegardToCaseAndWrongTypesFallBack) {
  MemoryPropertyBag bag;
  bag.Write("buttonstyle", std::int64_t{3});
  bag.Write("CAPTION", std::string("Hi"));
  bag.Write("BEVEL", std::string("not a number"));
  EXPECT_TRUE(bag.Has("ButtonStyle"));
  button.ReadProperties(bag);
  EXPECT_EQ(button.ButtonStyle(), 3);
  EXPECT_EQ(button.Caption(), "Hi");
  EXPECT_EQ(button.BEVEL(), 1);
  bag.Write("ButtonStyle", std::int64_t{1});
  EXPECT_EQ(bag.Entries().size(), 3u);  // replaced, not added
}

TEST_F(XpBsSettingsTest, LoadReadsInTheFixedOrder) {
  RecordingBag bag;
  button.ReadProperties(bag);
  EXPECT_EQ(bag.reads,
            (std::vector<std::string>{
                "BackColor", "ForeColor", "ShowFocusRect", "Caption", "PicturePosition", "ButtonStyle", "Picture",
                "PictureWidth", "PictureHeight", "PictureSize", "OriginalPicSizeW", "OriginalPicSizeH", "Font",
                "PictureHover", "Picture", "MouseIcon", "Enabled", "MousePointer", "URL", "XPColor_Pressed",
                "XPColor_Hover", "XPDefaultColors", "SoundOver", "SoundClick", "DefCurHand", "XPShowBorderAlways",
                "MaskColor", "TransparentBG", "BEVEL", "BEVELDEPTH"}));
  EXPECT_EQ(button.Caption(), "XpBs1");
}

TEST_F(XpBsSettingsTest, SettersNotifyTheContainerUnderTheStoredName) {
  button.InitProperties();
  host.changed.clear();
  button.SetPicture(nullptr);
  button.SetXPColor_Hover(1);
  button.SetBEVELDEPTH(4);
  EXPECT_EQ(host.changed, (std::vector<std::string>{"Picture", "XPColor_Hover", "BEVELDEPTH"}));
}

TEST_F(XpBsSettingsTest, PictureSizeRules) {
  button.InitProperties();
  button.SetPictureSize(2);
  EXPECT_EQ(button.PictureWidth(), 32);  // natural size without a picture
  button.SetPictureSize(0);
  EXPECT_EQ(button.PictureWidth(), 16);
  EXPECT_EQ(button.PictureHeight(), 16);
  button.SetPictureWidth(50);
  button.SetPictureSize(7);
  EXPECT_EQ(button.PictureWidth(), 50);
  button.SetPictureSize(2);
  button.SetPicture(std::make_shared<Image>(24, 12));
  EXPECT_EQ(button.PictureWidth(), 24);
  EXPECT_EQ(button.PictureHeight(), 12);
}

TEST_F(XpBsSettingsTest, StyleThreeDropsTransparencyShapesTheWindowAndOtherStylesResetIt) {
  button.InitProperties();
  button.SetTransparentBG(true);
  button.SetButtonStyle(3);
  EXPECT_FALSE(button.TransparentBG());
  ASSERT_TRUE(host.region.has_value());
  EXPECT_EQ(host.region->cut.size(), 12u);
  EXPECT_EQ(host.region->width, 75);
  button.Resize(40, 20);
  EXPECT_EQ(host.region->width, 40);
  button.SetButtonStyle(0);
  EXPECT_FALSE(host.region.has_value());
}

TEST_F(XpBsSettingsTest, TooSmallControlGrowsToOneHundredFiftyTwips) {
  button.InitProperties();
  host.log.clear();
  button.Resize(5, 30);
  EXPECT_EQ(host.log, (std::vector<std::string>{"SetSize 10x30"}));
  EXPECT_EQ(button.W(), 10);
  EXPECT_EQ(button.H(), 30);
  button.Resize(10, 10);
  EXPECT_EQ(host.log.size(), 1u);
}

TEST_F(XpBsSettingsTest, HandPointerFollowsDefCurHand) {
  button.InitProperties();
  button.SetDefCurHand(true);
  EXPECT_TRUE(host.handPointer);
  button.SetMousePointer(99);
  EXPECT_EQ(host.pointer, 99);
  EXPECT_EQ(button.version(), "1.0");
}

}  // namespace
}  // namespace nv
