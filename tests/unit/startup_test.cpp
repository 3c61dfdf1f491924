// frmMain's start-up and exit sequences against the fake seam.
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "fakes/fake_main_view.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

using test::FakeMainView;
using test::FakePlatform;

constexpr char kFolder[] = "C:\\Program Files\\Norvane";
constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS";

struct StartupTest : ::testing::Test {
  StartupTest() {
    for (const char* list : kListFiles) fp.files.Put(Path(list), "x\r\n\r\n\r\n", kAttrReadOnly | kAttrSystem);
    fp.files.Put(Path("\\data\\hosts.svr"), "ads.example\r\n", kAttrReadOnly | kAttrSystem);
    fp.files.Put(kHosts, "# mine\r\n127.0.0.1 localhost  \r\n\r\n", kAttrReadOnly);
  }
  static std::string Path(const std::string& rel) { return kFolder + rel; }
  frmMain& Start() {
    main = std::make_unique<frmMain>(fp.platform, view);
    main->Form_Load();
    return *main;
  }
  std::string Setting(const char* key) { return fp.settings.Value("Data", key).value_or("absent"); }

  FakePlatform fp;
  FakeMainView view;
  std::unique_ptr<frmMain> main;
};

TEST_F(StartupTest, SecondInstanceIsRefusedBeforeAnythingIsTouched) {
  fp.system.otherInstance = true;
  Start();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text,
            "Norvane is Already running, Please right click on its icon near the clock and select exit.");
  EXPECT_EQ(fp.dialogs.shown[0].title, "Norvane!");
  EXPECT_EQ(fp.dialogs.shown[0].style, 0x10u);
  EXPECT_TRUE(main->Ended());
  EXPECT_EQ(fp.system.endProcessCalls, 1);
  EXPECT_EQ(fp.files.writes, 0);
  EXPECT_TRUE(fp.settings.values.empty());
}

TEST_F(StartupTest, MissingListFileEndsWithoutTheExitSequence) {
  fp.files.Remove(Path("\\data\\popups.svr"));
  Start();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].title, "Error");
  EXPECT_EQ(fp.dialogs.shown[0].text.rfind("The required settings file(s) are missing. Please reinstall "
                                           "Norvane!. You may also download the files from http",
                                           0),
            0u);
  EXPECT_TRUE(main->Ended());
  EXPECT_EQ(fp.files.writes, 0);
  EXPECT_TRUE(fp.settings.values.empty());
  EXPECT_EQ(fp.files.Attrs(kHosts), kAttrReadOnly);
}

TEST_F(StartupTest, HiddenListFileCountsAsMissingButReadOnlySystemOneDoesNot) {
  fp.files.SetAttributes(Path("\\data\\dns.svr"), kAttrHidden);
  Start();
  EXPECT_TRUE(main->Ended());
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
}

TEST_F(StartupTest, FirstStartTakesTheBackupAndSwitchesOnTheDefaultFeatures) {
  Start();
  EXPECT_FALSE(main->Ended());
  EXPECT_TRUE(fp.dialogs.shown.empty());
  EXPECT_EQ(main->HostsPath, kHosts);
  EXPECT_EQ(fp.files.Get(Path("\\data\\hosts.bak")), "# mine\r\n127.0.0.1 localhost\r\n\r\n\r\n");
  EXPECT_EQ(Setting("Restore"), "False");
  EXPECT_TRUE(main->Checked(MenuItem::BlockAds));
  EXPECT_FALSE(main->Checked(MenuItem::KillCookies));
  EXPECT_TRUE(main->Checked(MenuItem::BlockPopups));
  EXPECT_EQ(fp.files.Get(kHosts), "127.0.0.1 ads.example\r\n\r\n\r\n");
  for (const char* list : kListFiles) EXPECT_EQ(fp.files.Attrs(Path(list)), 0u) << list;
  EXPECT_EQ(fp.files.Attrs(kHosts), 0u);
  EXPECT_FALSE(view.aboutVisible);
}

TEST_F(StartupTest, BackupIsKeptWhenTheLastRunDidNotExitCleanly) {
  fp.settings.values["Data\\Restore"] = "False";
  fp.files.Put(Path("\\data\\hosts.bak"), "older\r\n\r\n\r\n");
  fp.files.Put(kHosts, "127.0.0.1 ads.example\r\n\r\n\r\n");  // left by a killed run
  Start();
  EXPECT_EQ(fp.files.Get(Path("\\data\\hosts.bak")), "older\r\n\r\n\r\n");
}

TEST_F(StartupTest, StoredSwitchesAreRestored) {
  fp.settings.values["Data\\AdBlock"] = "False";
  Start();
  EXPECT_FALSE(main->Checked(MenuItem::BlockAds));
  EXPECT_FALSE(main->Checked(MenuItem::KillCookies));
  EXPECT_TRUE(main->Checked(MenuItem::BlockPopups));
  EXPECT_EQ(view.checks[MenuItem::BlockPopups], true);
}

TEST_F(StartupTest, SwitchThatIsNotATruthValueIsReportedAndNoSwitchRuns) {
  fp.settings.values["Data\\Cookies"] = "Maybe";
  Start();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, "13 : Type mismatch");
  EXPECT_FALSE(main->Checked(MenuItem::BlockAds));
  EXPECT_FALSE(main->Ended());
  EXPECT_NE(fp.files.Get(Path("\\err.log")).find("13:Type mismatch:Norvane"), std::string::npos);
}

TEST_F(StartupTest, ActivityLogsAreCappedAtSixteenThousandBytes) {
  fp.files.Put(Path("\\ads.log"), std::string(16000, 'a'));
  fp.files.Put(Path("\\cookies.log"), std::string(16001, 'c'));
  Start();
  EXPECT_EQ(fp.files.Size(Path("\\ads.log")), 16000);
  EXPECT_FALSE(fp.files.Has(Path("\\cookies.log")));
}

TEST_F(StartupTest, MissingWindowsDirectoryFallsBackAfterTellingTheUser) {
  fp.system.windowsDir = "";
  Start();
  ASSERT_FALSE(fp.dialogs.shown.empty());
  EXPECT_EQ(fp.dialogs.shown[0].text,
            "Error retrieveing Windows directory name\r\nC:\\WINDOWS will be used as the default windows "
            "directory");
  EXPECT_EQ(main->HostsPath, kHosts);
}

TEST_F(StartupTest, HostsProbeTakesTheFirstExistingLocation) {
  fp.files.Remove(kHosts);
  fp.files.Put("C:\\WINDOWS\\hosts", "old style\r\n");
  fp.files.Put("c:\\winnt\\system32\\drivers\\etc\\hosts", "nt\r\n");
  Start();
  EXPECT_EQ(main->HostsPath, "C:\\WINDOWS\\hosts");
}

TEST_F(StartupTest, WithoutAnyHostsFileTheFirstLocationIsCreatedAndLogged) {
  fp.files.Remove(kHosts);
  Start();
  EXPECT_EQ(main->HostsPath, kHosts);
  EXPECT_TRUE(fp.files.Has(kHosts));
  EXPECT_NE(fp.files.Get(Path("\\err.log")).find("No HOSTS file was found"), std::string::npos);
}

TEST_F(StartupTest, FailedStartUpStepShowsLogsAndRunsTheExitSequence) {
  fp.files.failWrites.insert(test::FakeFiles::Key(Path("\\ads.log")));
  Start();
  ASSERT_FALSE(fp.dialogs.shown.empty());
  EXPECT_EQ(fp.dialogs.shown.back().text, "70 : Permission denied");
  EXPECT_TRUE(main->Ended());
  EXPECT_EQ(Setting("Restore"), "True");
  EXPECT_NE(fp.files.Get(Path("\\err.log")).find("70:Permission denied:Norvane"), std::string::npos);
}

TEST_F(StartupTest, CookiesFolderComesFromTheShellAndIsEmptyWhenUnknown) {
  Start();
  EXPECT_EQ(main->Cookies().Folder(), fp.system.specialFolders[33]);
  EXPECT_EQ(main->GetSpecialFolderPath(5), "");
}

TEST_F(StartupTest, ExitPutsHostsBackStoresSwitchesAndProtectsFiles) {
  Start();
  main->mnublockpopups_Click();
  main->mnuexit_Click();
  EXPECT_TRUE(main->Ended());
  EXPECT_EQ(fp.system.endProcessCalls, 1);
  EXPECT_EQ(fp.files.Get(kHosts), "# mine\r\n127.0.0.1 localhost\r\n\r\n\r\n");
  EXPECT_EQ(Setting("AdBlock"), "True");
  EXPECT_EQ(Setting("Cookies"), "False");
  EXPECT_EQ(Setting("Popup"), "False");
  EXPECT_EQ(Setting("Restore"), "True");
  for (const char* list : kListFiles) EXPECT_EQ(fp.files.Attrs(Path(list)), 5u) << list;
  EXPECT_EQ(fp.files.Attrs(kHosts), kAttrReadOnly);
  EXPECT_EQ(view.calls.front(), "CloseSettings");
}

// The next start takes a new backup only from a HOSTS file that this exit
// really gave the user's lines back.
TEST_F(StartupTest, ExitThatCouldNotPutTheUserLinesBackKeepsTheBackupForTheNextStart) {
  Start();
  fp.files.failWrites.insert(test::FakeFiles::Key(kHosts));
  main->mnuexit_Click();
  EXPECT_EQ(Setting("Restore"), "False");
  fp.files.failWrites.clear();
  Start();
  EXPECT_EQ(fp.files.Get(Path("\\data\\hosts.bak")), "# mine\r\n127.0.0.1 localhost\r\n\r\n\r\n");
  main->mnuexit_Click();
  EXPECT_EQ(fp.files.Get(kHosts), "# mine\r\n127.0.0.1 localhost\r\n\r\n\r\n");
  EXPECT_EQ(Setting("Restore"), "True");
}

TEST_F(StartupTest, BlockingSwitchedOnWhileTheExitsErrorBoxIsOpenKeepsRestoreFalse) {
  fp.settings.values["Data\\AdBlock"] = "False";
  Start();
  fp.files.failWrites.insert(test::FakeFiles::Key(kHosts));
  bool clicked = false;
  fp.dialogs.whileOpen = [&] {
    if (clicked) return;
    clicked = true;
    fp.files.failWrites.clear();
    main->mnublockads_Click();
  };
  main->mnuexit_Click();
  ASSERT_TRUE(clicked);
  EXPECT_EQ(fp.files.Get(kHosts), "127.0.0.1 ads.example\r\n\r\n\r\n");
  EXPECT_EQ(Setting("Restore"), "False");
}

// A box that start-up shows before the backup is taken lets the tray icon's
// messages through: neither the menu nor the settings dialog acts before
// start-up has finished.
TEST_F(StartupTest, TrayAndMenuWaitUntilStartUpHasFinished) {
  fp.files.failWrites.insert(test::FakeFiles::Key(Path("\\data\\hosts.bak")));
  const std::string before = fp.files.Get(kHosts);
  bool clicked = false;
  fp.dialogs.whileOpen = [&] {
    if (clicked) return;
    clicked = true;
    main->Form_MouseMove(tray_event::kLeftDown);
    main->Form_MouseMove(tray_event::kRightDown);
    main->OnMenuCommand(MenuCommand::BlockAds);
  };
  Start();
  ASSERT_TRUE(clicked);
  EXPECT_EQ(fp.files.Get(kHosts), before);
  EXPECT_FALSE(main->Checked(MenuItem::BlockAds));
  for (const std::string& call : view.calls) EXPECT_NE(call.rfind("Show", 0), 0u) << call;
  EXPECT_TRUE(main->Ended());
}

// A kill during a rewrite leaves the temporary file beside HOSTS.
TEST_F(StartupTest, LeftOversOfACutShortHostsRewriteGoAtStart) {
  const std::string etc = "C:\\WINDOWS\\system32\\drivers\\etc\\";
  for (const char* name : {"HOSTS.nvtmp4242", "hosts.NVTMP7", "HOSTS.nvtmp", "HOSTS.nvtmpx1", "lmhosts.sam"})
    fp.files.Put(etc + name, "x");
  Start();
  EXPECT_FALSE(fp.files.Has(etc + "HOSTS.nvtmp4242"));
  EXPECT_FALSE(fp.files.Has(etc + "hosts.NVTMP7"));
  for (const char* kept : {"HOSTS.nvtmp", "HOSTS.nvtmpx1", "lmhosts.sam"}) EXPECT_TRUE(fp.files.Has(etc + kept)) << kept;
}

TEST_F(StartupTest, CloseRequestOfAnyKindRunsTheExitSequenceOnceAndIsNotCancelled) {
  Start();
  int cancel = 1;
  main->Form_QueryUnload(cancel, 3);
  EXPECT_EQ(cancel, 0);
  main->ExitSequence();
  EXPECT_EQ(fp.system.endProcessCalls, 1);
}

}  // namespace
}  // namespace nv

namespace nv {
namespace {

TEST_F(StartupTest, ExitBeforeThisRunTookItsBackupLeavesHostsAndSwitchesAlone) {
  fp.files.Put(Path("\\data\\hosts.bak"), "stale backup\r\n\r\n\r\n");
  fp.settings.values["Data\\AdBlock"] = "True";
  main = std::make_unique<frmMain>(fp.platform, view);
  main->HostsPath = kHosts;
  main->ExitSequence();  // as when port 80 is taken during start-up
  EXPECT_EQ(fp.files.Get(kHosts), "# mine\r\n127.0.0.1 localhost  \r\n\r\n");
  EXPECT_EQ(Setting("AdBlock"), "True") << "a failed start must not store the switches as off";
  EXPECT_EQ(Setting("Restore"), "True");
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

}  // namespace
}  // namespace nv
