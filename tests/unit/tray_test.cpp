// The tray icon record, its callback, the menu commands and the status line.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/frm_help.h"
#include "app/frm_main.h"
#include "fakes/fake_main_view.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

struct TrayTest : ::testing::Test {
  TrayTest() {
    for (const char* list : kListFiles) fp.files.Put(fp.system.programFolder + list, "");
    fp.files.Put("C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS", "# mine\r\n");
    main.Form_Load();
  }
  std::vector<std::string> TrayOps() {
    std::vector<std::string> ops;
    for (auto& c : fp.tray.calls) ops.push_back(c.op);
    return ops;
  }
  test::FakePlatform fp;
  test::FakeMainView view;
  frmMain main{fp.platform, view};
};

TEST_F(TrayTest, IconIsAddedWithTheClassicRecordAndTheProductNameAsTip) {
  ASSERT_EQ(TrayOps(), (std::vector<std::string>{"Add"}));
  const NotifyIconRecord& r = fp.tray.calls[0].record;
  EXPECT_EQ(r.hWnd, 0x1234u);
  EXPECT_EQ(r.hIcon, 0x5678u);
  EXPECT_EQ(r.uID, 1u);
  EXPECT_EQ(r.uFlags, 7u);
  EXPECT_EQ(r.uCallbackMessage, 0x200u);
  EXPECT_STREQ(r.szTip.data(), "Norvane!");
  EXPECT_EQ(r.szTip[9], ' ');
  EXPECT_EQ(r.szTip[64], ' ');
}

TEST_F(TrayTest, EveryTickShowsTheCountsInTipAndAboutWindow) {
  main.Timer_Timer();
  EXPECT_EQ(view.statusLabel, "Banner Ads:0 Deleted Cookies:0 Blocked Popups:0");
  EXPECT_EQ(fp.tray.calls.back().op, "Modify");
  EXPECT_STREQ(fp.tray.calls.back().record.szTip.data(), view.statusLabel.c_str());
  main.Counts().Set(BannerAdsCount, 32767);
  main.Counts().Set(DeletedCookiesCount, 32767);
  main.Counts().Set(BlockedPopupsCount, 32767);
  main.Timer_Timer();
  EXPECT_EQ(view.statusLabel.size(), 59u);
  EXPECT_STREQ(fp.tray.calls.back().record.szTip.data(), view.statusLabel.c_str()) << "fits the tip";
}

TEST_F(TrayTest, CallbackOpensSettingsOnLeftClicksAndTheMenuOnRightButtonDown) {
  struct Case {
    int event;
    const char* call;
  } cases[] = {{0x201, "ShowSettings"}, {0x203, "ShowSettings"}, {0x204, "ShowTrayMenu"},
               {0x200, nullptr},        {0x202, nullptr},        {0x205, nullptr},
               {0x207, nullptr},        {0x208, nullptr}};
  for (const Case& c : cases) {
    view.calls.clear();
    main.Form_MouseMove(c.event);
    EXPECT_EQ(main.Counts().Get(TrayMessageSlot), c.event);
    if (c.call) EXPECT_EQ(view.calls, std::vector<std::string>{c.call}) << std::hex << c.event;
    else EXPECT_TRUE(view.calls.empty()) << std::hex << c.event;
  }
}

TEST_F(TrayTest, BlockAdsTogglesTheCheckAndTheHostsFile) {
  ASSERT_TRUE(main.Checked(MenuItem::BlockAds));
  main.OnMenuCommand(MenuCommand::BlockAds);
  EXPECT_FALSE(view.checks[MenuItem::BlockAds]);
  EXPECT_EQ(fp.files.Get(main.HostsPath), "# mine\r\n\r\n\r\n");
  main.OnMenuCommand(MenuCommand::BlockAds);
  EXPECT_TRUE(view.checks[MenuItem::BlockAds]);
  EXPECT_EQ(fp.files.Get(main.HostsPath), "\r\n\r\n");
}

TEST_F(TrayTest, BothForumItemsOpenTheSamePageVisibly) {
  main.OnMenuCommand(MenuCommand::Online);
  main.OnMenuCommand(MenuCommand::Beta);
  ASSERT_EQ(fp.shell.calls.size(), 2u);
  EXPECT_EQ(fp.shell.calls[0].file, "http://www.norvane.example/modules.php?name=Forums&file=index");
  EXPECT_EQ(fp.shell.calls[1].file, fp.shell.calls[0].file);
  EXPECT_EQ(fp.shell.calls[0].verb, "Open");
  EXPECT_EQ(fp.shell.calls[0].show, 1);
}

TEST_F(TrayTest, AboutShowsOkHidesAndExitRemovesTheIconLast) {
  main.OnMenuCommand(MenuCommand::About);
  EXPECT_TRUE(view.aboutVisible);
  main.cmdOk_Click();
  EXPECT_FALSE(view.aboutVisible);
  EXPECT_FALSE(main.Ended());
  main.OnMenuCommand(MenuCommand::Exit);
  EXPECT_TRUE(main.Ended());
  EXPECT_EQ(TrayOps().back(), "Delete");
}

TEST_F(TrayTest, IconComesBackWhenTheTaskbarIsCreatedAgain) {
  main.Timer_Timer();
  main.OnTaskbarCreated();
  EXPECT_EQ(TrayOps(), (std::vector<std::string>{"Add", "Modify", "Add"}));
  EXPECT_STREQ(fp.tray.calls.back().record.szTip.data(), "Banner Ads:0 Deleted Cookies:0 Blocked Popups:0");
}

// Started at log-on before the taskbar: the refused icon is asked for again at
// each tick until the shell takes it, then only modified.
TEST(TrayBeforeTheTaskbar, RefusedIconIsAskedForAgainUntilItIsShown) {
  test::FakePlatform fp;
  for (const char* list : kListFiles) fp.files.Put(fp.system.programFolder + list, "");
  fp.files.Put("C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS", "# mine\r\n");
  fp.tray.refuseAdds = 2;
  test::FakeMainView view;
  frmMain main{fp.platform, view};
  main.Form_Load();
  for (int i = 0; i < 3; ++i) main.Timer_Timer();
  std::vector<std::string> ops;
  for (auto& c : fp.tray.calls) ops.push_back(c.op);
  EXPECT_EQ(ops, (std::vector<std::string>{"Add", "Add", "Add", "Modify"}));
}

// Each item, picked as the menu hands it over, does what its caption says;
// a command wired to the wrong item, or an item that does nothing, fails.
TEST_F(TrayTest, EveryMenuItemDoesWhatItsCaptionSays) {
  bool before[3] = {};
  const std::map<std::string, std::function<bool()>> effect = {
      {"&Help", [&] { return view.calls == std::vector<std::string>{"ShowHelp"}; }},
      {"&Settings", [&] { return view.calls == std::vector<std::string>{"ShowSettings"}; }},
      {"O&nline Support Forum", [&] { return fp.shell.calls.size() == 1; }},
      {"&BETA TEST FORUM", [&] { return fp.shell.calls.size() == 1; }},
      {"&Live Update", [&] { return main.Update().manual() != nullptr; }},
      {"&About", [&] { return view.aboutVisible; }},
      {"Block &Ads", [&] { return main.Checked(MenuItem::BlockAds) != before[0] && view.checks[MenuItem::BlockAds] == main.Checked(MenuItem::BlockAds); }},
      {"Kill &Cookies",
       [&] { return main.Checked(MenuItem::KillCookies) != before[1] && view.checks[MenuItem::KillCookies] == main.Checked(MenuItem::KillCookies); }},
      {"Block &Popups",
       [&] { return main.Checked(MenuItem::BlockPopups) != before[2] && view.checks[MenuItem::BlockPopups] == main.Checked(MenuItem::BlockPopups); }},
      {"&Exit", [&] { return main.Ended(); }},
  };
  std::size_t picked = 0;
  for (const MenuEntry& e : kTrayMenu) {
    before[0] = main.Checked(MenuItem::BlockAds), before[1] = main.Checked(MenuItem::KillCookies), before[2] = main.Checked(MenuItem::BlockPopups);
    if (e.command == MenuCommand::None) continue;
    view.calls.clear();
    fp.shell.calls.clear();
    view.aboutVisible = false;
    main.OnMenuCommand(e.command);
    ASSERT_TRUE(effect.count(e.caption)) << "an item the menu should not have: " << e.caption;
    EXPECT_TRUE(effect.at(e.caption)()) << e.caption;
    ++picked;
  }
  EXPECT_EQ(picked, effect.size()) << "an item is missing from the menu";
}

TEST(HelpText, RichTextIsShownAndAMissingFileSaysSoInOneLine) {
  test::FakeFiles files;
  files.Put("C:\\N\\help.rtf", "{\\rtf1 hello}");
  HelpText ok = LoadHelpText(files, "C:\\N\\help.rtf");
  EXPECT_TRUE(ok.rtf);
  EXPECT_EQ(ok.text, "{\\rtf1 hello}");
  HelpText missing = LoadHelpText(files, "C:\\N\\gone.rtf");
  EXPECT_FALSE(missing.rtf);
  EXPECT_EQ(missing.text, "The help file C:\\N\\gone.rtf could not be read.");
  files.Put("C:\\N\\plain.rtf", "not rich text");
  EXPECT_FALSE(LoadHelpText(files, "C:\\N\\plain.rtf").rtf);
}

}  // namespace
}  // namespace nv
