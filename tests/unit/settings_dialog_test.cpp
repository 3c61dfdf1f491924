// The settings dialog's core: opening, the list families, the options and
// their confirmation, Apply, OK and Cancel, against the fake seam.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/frm_main.h"
#include "fakes/fake_main_view.h"
#include "settings_dialog_rig.h"
#include "settings/frm_settings.h"
#include "store/list_file.h"

namespace nv {
namespace {

using L = SettingsList;
using C = SettingsCheck;

using test::DialogRig;
struct SettingsDialog : ::testing::Test, DialogRig {};

TEST_F(SettingsDialog, OpensWithDefaultsWhenNothingIsStored) {
  Open();
  EXPECT_TRUE(view.iconCopied);
  EXPECT_EQ(view.colours, (std::vector<std::string>{"Transparent", "White", "Blue", "Green", "Red", "Black"}));
  EXPECT_EQ(view.colour, 0);
  EXPECT_EQ(view.checks, (std::array<bool, 4>{false, false, false, false}));
  EXPECT_FALSE(view.Of(L::lstdns).listEnabled);
  EXPECT_TRUE(view.Of(L::lstcookies).listEnabled);
  EXPECT_FALSE(view.applyEnabled);
  for (auto& list : view.lists) {
    EXPECT_EQ(list.count, "0");
    EXPECT_FALSE(list.addEnabled);
  }
  EXPECT_TRUE(ErrLog().empty());
}

TEST_F(SettingsDialog, StoredValuesSetTheOptionsAndStartWithWindowsItsBox) {
  stored.values = {{"Settings\\Color", "3"}, {"Settings\\UseDNS", "1"}, {"Settings\\AllPops", " 1 "}};
  startup.registered = true;
  Open();
  EXPECT_EQ(view.colour, 3);
  EXPECT_EQ(view.checks, (std::array<bool, 4>{false, true, true, true}));
  EXPECT_TRUE(view.Of(L::lstdns).listEnabled);
  EXPECT_FALSE(view.applyEnabled);
  dialog.cmdapply_Click();
  EXPECT_EQ(stored.Value("Settings", "Color"), "3");
  EXPECT_TRUE(Journaled("startup on")) << "an Apply keeps the registration the user made";
}

TEST_F(SettingsDialog, StoredAllOfOneAsksBeforeTheDialogShowsAndApplyEndsDisabled) {
  stored.values["Settings\\All"] = "1";
  dialog.Form_Load();
  const auto asked = std::find(journal.begin(), journal.end(), "confirm Do you want to delete ALL cookies?");
  ASSERT_NE(asked, journal.end());
  EXPECT_LT(asked - journal.begin(), std::find(journal.begin(), journal.end(), "apply off") - journal.begin());
  EXPECT_FALSE(view.applyEnabled);
  EXPECT_FALSE(view.Of(L::lstcookies).listEnabled);
  EXPECT_TRUE(dialog.Confirm().Showing());
}

TEST_F(SettingsDialog, StoredValuesItCannotShowFallBackToDefaultsAndAreLoggedOnce) {
  stored.values = {{"Settings\\Color", "7"}, {"Settings\\All", "yes"}, {"Settings\\UseDNS", "99999"},
                   {"Settings\\AllPops", "2"}};
  Open();
  EXPECT_EQ(view.colour, 0);
  EXPECT_EQ(view.checks, (std::array<bool, 4>{false, false, false, false}));
  EXPECT_FALSE(dialog.Confirm().Showing());
  EXPECT_FALSE(view.applyEnabled);
  EXPECT_TRUE(fp.dialogs.shown.empty()) << "opens normally";
  const auto log = ErrLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].rfind("380:Invalid property value: Settings\\Color is \"7\"", 0), 0u) << log[0];
  EXPECT_EQ(log[1].rfind("13:Type mismatch: Settings\\All is \"yes\"", 0), 0u) << log[1];
  EXPECT_EQ(log[2].rfind("6:Overflow", 0), 0u) << log[2];
  EXPECT_EQ(log[3].rfind("380:", 0), 0u) << log[3];
}

TEST_F(SettingsDialog, ALineHeldTwiceLoadsOnceAndShowsInTheEntryBox) {
  Put("\\data\\popups.svr", "Mail\r\nNews\r\nMail\r\n");
  Open();
  EXPECT_EQ(dialog.List(L::lstpopups).Items(), (std::vector<std::string>{"Mail", "News"}));
  EXPECT_EQ(view.Of(L::lstpopups).count, "2");
  EXPECT_EQ(view.Of(L::lstpopups).entry, "Mail");
  EXPECT_TRUE(view.Of(L::lstpopups).addEnabled);
  EXPECT_FALSE(view.applyEnabled);
}

TEST_F(SettingsDialog, AddStoresTheTrimmedEntrySelectsTheLastAndClearsTheBox) {
  Put("\\data\\cookies.svr", "mail\r\n");
  Open();
  Type(L::lstcookies, "  news site  ");
  EXPECT_TRUE(view.Of(L::lstcookies).addEnabled);
  dialog.cmdAdd_Click(L::lstcookies);
  EXPECT_EQ(dialog.List(L::lstcookies).Items(), (std::vector<std::string>{"mail", "news site"}));
  EXPECT_EQ(view.Of(L::lstcookies).selected, 1);
  EXPECT_EQ(view.Of(L::lstcookies).count, "2");
  EXPECT_EQ(view.Of(L::lstcookies).entry, "");
  EXPECT_FALSE(view.Of(L::lstcookies).addEnabled);
  EXPECT_TRUE(view.applyEnabled);
  // The selection's reaction filled the box before Add cleared it.
  EXPECT_EQ(journal, (std::vector<std::string>{"apply on", "entry news site", "entry "}));
}

TEST_F(SettingsDialog, AddingAPresentEntryAddsNothingAndLeavesApplyAlone) {
  Put("\\data\\popups.svr", "Mail\r\nNews\r\n");
  Open();
  Type(L::lstpopups, "Mail");
  dialog.cmdAdd_Click(L::lstpopups);
  EXPECT_EQ(dialog.List(L::lstpopups).Count(), 2);
  EXPECT_EQ(view.Of(L::lstpopups).count, "2");
  EXPECT_FALSE(view.applyEnabled);
  EXPECT_EQ(journal, (std::vector<std::string>{"entry Mail", "entry News", "entry "}));
  Type(L::lstpopups, "mail");
  dialog.cmdAdd_Click(L::lstpopups);
  EXPECT_EQ(dialog.List(L::lstpopups).Count(), 3) << "the comparison is case-sensitive";
}

TEST_F(SettingsDialog, AdServersArePlacedAlphabeticallyAndTheLastIsSelected) {
  Put("\\data\\hosts.svr", "zeta.example\r\nAds.example\r\nmid.example\r\n");
  Open();
  EXPECT_EQ(dialog.List(L::lstadservers).Items(),
            (std::vector<std::string>{"Ads.example", "mid.example", "zeta.example"}));
  Type(L::lstadservers, "beta.example");
  dialog.cmdAdd_Click(L::lstadservers);
  EXPECT_EQ(dialog.List(L::lstadservers)[1], "beta.example");
  EXPECT_EQ(view.Of(L::lstadservers).selected, 3);
  EXPECT_EQ(dialog.List(L::lstadservers)[3], "zeta.example");
}

// The blocked-servers list is sorted in the locale's order, and the file is
// saved in the order the dialog shows.
TEST_F(SettingsDialog, AdServersSortInTheLocalesOrderAndAreSavedSo) {
  struct WordSort : test::FakeText {  // hyphens count for less than letters
    static std::string Key(const std::string& s) {
      std::string k;
      for (char c : s)
        if (c != '-') k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return k + '\x01' + s;
    }
    int CompareNoCase(const std::string& a, const std::string& b) override { return Key(a).compare(Key(b)); }
    std::string SortKey(const std::string& s) override { return Key(s); }
  } wordSort;
  fp.platform.text = &wordSort;
  frmSettings localeDialog{services, startup, mainLink, view, confirmView};
  Put("\\data\\hosts.svr", "a-d.example\r\nab.example\r\nac.example\r\n");
  localeDialog.Form_Load();
  localeDialog.txt_Change(L::lstadservers, "a-bz.example");
  localeDialog.cmdAdd_Click(L::lstadservers);
  localeDialog.cmdapply_Click();
  EXPECT_EQ(File("\\data\\hosts.svr"),
            "ab.example\r\na-bz.example\r\nac.example\r\na-d.example\r\n\r\n\r\n");
}

TEST_F(SettingsDialog, EntryBoxEnablesAddOnlyForTextAndEnterAddsThen) {
  Open();
  Type(L::lstpopups, "   ");
  EXPECT_FALSE(view.Of(L::lstpopups).addEnabled);
  dialog.txt_Enter(L::lstpopups);
  EXPECT_EQ(dialog.List(L::lstpopups).Count(), 0);
  Type(L::lstpopups, "Mail");
  dialog.txt_Enter(L::lstpopups);
  EXPECT_EQ(dialog.List(L::lstpopups).Count(), 1);
  Type(L::lstdns, "www.example.com");
  dialog.txt_Enter(L::lstdns);
  EXPECT_EQ(fp.net.attempts.size(), 1u) << "the cached-address tab's Enter starts a lookup";
  EXPECT_EQ(dialog.List(L::lstdns).Count(), 0) << "nothing is added before the lookup's outcome";
}

TEST_F(SettingsDialog, RemoveTakesTheSelectedEntryAndNeedsASelection) {
  Put("\\data\\hosts.svr", "a.example\r\nb.example\r\nc.example\r\n");
  Open();
  dialog.cmdRemove_Click(L::lstadservers);
  EXPECT_EQ(dialog.List(L::lstadservers).Count(), 3);
  EXPECT_FALSE(view.applyEnabled);
  dialog.lst_Click(L::lstadservers, 1);
  EXPECT_EQ(view.Of(L::lstadservers).entry, "b.example");
  dialog.cmdRemove_Click(L::lstadservers);
  EXPECT_EQ(dialog.List(L::lstadservers).Items(), (std::vector<std::string>{"a.example", "c.example"}));
  EXPECT_EQ(view.Of(L::lstadservers).selected, -1);
  EXPECT_EQ(view.Of(L::lstadservers).entry, "");
  EXPECT_EQ(view.Of(L::lstadservers).count, "2");
  EXPECT_TRUE(view.applyEnabled);
}

TEST_F(SettingsDialog, UseDnsSwitchesTheCachedListAtOnce) {
  stored.values["Settings\\UseDNS"] = "1";
  Open();
  dialog.chk_Click(C::chkusedns, false);
  EXPECT_FALSE(view.Of(L::lstdns).listEnabled);
  EXPECT_TRUE(view.applyEnabled);
}

TEST_F(SettingsDialog, DeleteAllCookiesAsksAndYesLetsTheBoxStand) {
  Open();
  dialog.chk_Click(C::chkallcookies, true);
  EXPECT_EQ(journal, (std::vector<std::string>{"confirm Do you want to delete ALL cookies?", "apply on"}));
  EXPECT_TRUE(view.Of(L::lstcookies).listEnabled) << "the list follows only the answer";
  dialog.chk_Click(C::chkallcookies, false);  // a second click while it asks
  dialog.chk_Click(C::chkallcookies, true);
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "confirm forward"), 2);
  dialog.Confirm().XpBs1_Click();
  EXPECT_TRUE(dialog.Checked(C::chkallcookies));
  EXPECT_FALSE(view.Of(L::lstcookies).listEnabled);
  EXPECT_FALSE(dialog.Confirm().Showing());
  dialog.chk_Click(C::chkallcookies, false);
  EXPECT_EQ(journal.back(), "apply on");
  EXPECT_EQ(dialog.Confirm().Label1(), "Do you want to Accept cookies only from the sites listed?");
  dialog.Confirm().XpBs1_Click();
  EXPECT_TRUE(view.Of(L::lstcookies).listEnabled);
}

TEST_F(SettingsDialog, NoPutsTheBoxBackWhileTheConfirmationStillShows) {
  Open();
  dialog.chk_Click(C::chkallcookies, true);
  journal.clear();
  dialog.Confirm().XpBs2_Click();
  EXPECT_EQ(journal, (std::vector<std::string>{"confirm forward", "apply on", "confirm close"}));
  EXPECT_FALSE(view.checks[0]);
  EXPECT_TRUE(view.Of(L::lstcookies).listEnabled);
  EXPECT_TRUE(view.applyEnabled);
}

// The box clicked again while the question shows: each answer is about the
// state it asked about, so "&No" never leaves delete-all switched on.
TEST_F(SettingsDialog, TheAnswerIsAboutTheStateTheQuestionAskedAbout) {
  Open();
  dialog.chk_Click(C::chkallcookies, true);
  dialog.chk_Click(C::chkallcookies, false);
  dialog.Confirm().XpBs2_Click();
  EXPECT_FALSE(dialog.Checked(C::chkallcookies));
  EXPECT_FALSE(view.checks[0]);
  EXPECT_TRUE(view.Of(L::lstcookies).listEnabled);
  dialog.cmdapply_Click();
  EXPECT_EQ(stored.Value("Settings", "All").value_or("absent"), "0");

  dialog.chk_Click(C::chkallcookies, true);
  dialog.chk_Click(C::chkallcookies, false);
  dialog.Confirm().XpBs1_Click();  // yes, delete all
  EXPECT_TRUE(dialog.Checked(C::chkallcookies));
  EXPECT_TRUE(view.checks[0]);
  EXPECT_FALSE(view.Of(L::lstcookies).listEnabled);
}

TEST_F(SettingsDialog, NoAfterOpeningWithAllStoredEnablesTheSiteListAgain) {
  stored.values["Settings\\All"] = "1";
  Open();
  dialog.Confirm().XpBs2_Click();
  EXPECT_FALSE(dialog.Checked(C::chkallcookies));
  EXPECT_TRUE(view.Of(L::lstcookies).listEnabled);
}

TEST_F(SettingsDialog, ApplyWritesListsThenOptionsThenStartupThenReloads) {
  Put("\\data\\hosts.svr", "b.example\r\na.example\r\n");
  Put("\\data\\dns.svr", "10.0.0.1 intranet\r\n");
  Open();
  dialog.cbocols_Click(4);
  dialog.chk_Click(C::chkblockallpops, true);
  Type(L::lstcookies, "mail");
  dialog.cmdAdd_Click(L::lstcookies);
  journal.clear();
  ASSERT_TRUE(dialog.cmdapply_Click());
  EXPECT_EQ(journal,
            (std::vector<std::string>{"write hosts.svr", "write cookies.svr", "write dns.svr", "write popups.svr",
                                      "set Color=4", "set All=0", "set UseDNS=0", "set AllPops=1",
                                      "startup off", "reload",
                                      "apply off"}));
  EXPECT_EQ(File("\\data\\hosts.svr"), "a.example\r\nb.example\r\n\r\n\r\n");
  EXPECT_EQ(File("\\data\\cookies.svr"), "mail\r\n\r\n\r\n");
  EXPECT_EQ(File("\\data\\dns.svr"), "10.0.0.1 intranet\r\n\r\n\r\n");
  EXPECT_EQ(File("\\data\\popups.svr"), "\r\n\r\n");
  EXPECT_EQ(dialog.List(L::lstcookies).Count(), 1) << "the lists stay in the dialog";
  EXPECT_FALSE(view.unloaded);
}

TEST_F(SettingsDialog, OkWithApplyDisabledStillWritesEverythingThenCloses) {
  Open();
  dialog.cmdOk_Click();
  EXPECT_EQ(std::count_if(journal.begin(), journal.end(), [](auto& e) { return e.rfind("write ", 0) == 0; }), 4);
  EXPECT_EQ(stored.values.size(), 4u);
  EXPECT_TRUE(Journaled("reload"));
  EXPECT_EQ(journal.back(), "unload");
}

TEST_F(SettingsDialog, CancelWritesNothingAndTakesTheConfirmationAlong) {
  Open();
  Type(L::lstpopups, "Mail");
  dialog.cmdAdd_Click(L::lstpopups);
  dialog.chk_Click(C::chkallcookies, true);
  files.writes = 0;
  dialog.cmdcancel_Click();
  EXPECT_EQ(files.writes, 0);
  EXPECT_TRUE(stored.values.empty());
  EXPECT_FALSE(dialog.Confirm().Showing());
  EXPECT_EQ(journal.back(), "unload");
}

// Apply stops at the failed step with the error box and a log entry; the
// dialog stays open, Apply stays enabled, and what was written stays whole.
TEST_F(SettingsDialog, ApplyFailingAtAStepStopsThereAndKeepsTheEdits) {
  struct Case {
    const char* name;
    std::function<void(DialogRig&)> breakIt;
    const char* lastDone;
    const char* box;
  } cases[] = {
      {"read-only hosts.svr", [](DialogRig& t) { t.files.Put(Path("\\data\\hosts.svr"), "old\r\n", kAttrReadOnly); },
       "", "75 : Path/File access error"},
      {"popups.svr denied", [](DialogRig& t) { t.files.failWrites.insert(test::FakeFiles::Key(Path("\\data\\popups.svr"))); },
       "write dns.svr", "70 : Permission denied"},
      {"settings store", [](DialogRig& t) { t.stored.fail = true; }, "write popups.svr", "70 : Permission denied"},
      {"start.ini", [](DialogRig& t) { t.startup.failUpdate = true; }, "set AllPops=0", "70 : Permission denied"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DialogRig t;
    t.Open();
    c.breakIt(t);
    t.Type(L::lstadservers, "new.example");
    t.dialog.cmdAdd_Click(L::lstadservers);
    t.journal.clear();
    t.dialog.cmdOk_Click();
    EXPECT_EQ(t.LastDone(), c.lastDone);
    ASSERT_EQ(t.fp.dialogs.shown.size(), 1u);
    EXPECT_EQ(t.fp.dialogs.shown[0].text, c.box);
    EXPECT_EQ(t.fp.dialogs.shown[0].title, "Error");
    EXPECT_EQ(t.fp.dialogs.shown[0].owner, t.view.window) << "modal to the dialog, so Apply cannot run again inside it";
    EXPECT_EQ(t.ErrLog().size(), 1u);
    EXPECT_TRUE(t.view.applyEnabled);
    EXPECT_FALSE(t.view.unloaded);
    EXPECT_EQ(t.dialog.List(L::lstadservers)[0], "new.example");
  }
}

// The running program's main window: Apply rebuilds the HOSTS file from the
// list just written while "Block &Ads" is ticked. A HOSTS file that cannot be
// written stops Apply at that step, as every other failed step does: the box
// once, Apply stays enabled, OK keeps the dialog open.
TEST_F(SettingsDialog, ApplyRebuildsTheMainWindowsHostsFileAndStopsWhereItCannot) {
  files.Put("C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS", "# mine\r\n");
  test::FakeMainView mainView;
  frmMain main(fp.platform, mainView);
  main.Form_Load();
  ASSERT_TRUE(main.Checked(MenuItem::BlockAds));
  FrmMainLink link(main);
  frmSettings live{main.Shared(), startup, link, view, confirmView};
  live.Form_Load();
  live.txt_Change(L::lstadservers, "new.example");
  live.cmdAdd_Click(L::lstadservers);
  ASSERT_TRUE(live.cmdapply_Click());
  EXPECT_NE(files.Get(main.HostsPath).find("127.0.0.1 new.example\r\n"), std::string::npos);

  files.failWrites.insert(test::FakeFiles::Key(main.HostsPath));
  live.txt_Change(L::lstadservers, "next.example");
  live.cmdAdd_Click(L::lstadservers);
  live.cmdOk_Click();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, "70 : Permission denied");
  EXPECT_TRUE(live.ApplyEnabled());
  EXPECT_FALSE(view.unloaded);
}

// A list file that could not be read opens as an empty list; OK (here after
// only a colour change) must not replace it with nothing, nor rebuild HOSTS
// from an emptied block list. The user is told when the dialog opens.
TEST_F(SettingsDialog, ListsThatCouldNotBeReadAreNeverSaved) {
  Put("\\data\\hosts.svr", "ads.example\r\n");
  Put("\\data\\popups.svr", "Keep me\r\n");
  files.failReads = {test::FakeFiles::Key(Path("\\data\\hosts.svr")), test::FakeFiles::Key(Path("\\data\\popups.svr"))};
  Open();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_NE(fp.dialogs.shown[0].text.find(Path("\\data\\hosts.svr")), std::string::npos);
  EXPECT_NE(fp.dialogs.shown[0].text.find(Path("\\data\\popups.svr")), std::string::npos);
  EXPECT_EQ(fp.dialogs.shown[0].text.find("cookies.svr"), std::string::npos);
  files.failReads.clear();
  dialog.cbocols_Click(2);
  dialog.cmdOk_Click();
  EXPECT_EQ(File("\\data\\hosts.svr"), "ads.example\r\n");
  EXPECT_EQ(File("\\data\\popups.svr"), "Keep me\r\n");
  EXPECT_TRUE(Journaled("write cookies.svr"));
  EXPECT_TRUE(view.unloaded);
}

}  // namespace
}  // namespace nv
