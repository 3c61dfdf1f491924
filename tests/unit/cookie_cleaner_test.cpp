#include <gtest/gtest.h>

#include "cookies/cookie_cleaner.h"
#include "cookies/cookie_record.h"
#include "fakes/fake_platform.h"
#include "platform/text.h"

namespace nv {
namespace {

using test::FakePlatform;

constexpr char kFolder[] = "C:\\Cookies";

// A cookie file in the classic form: name, value, site and path, flags, ...
std::string Cookie(const std::string& site) {
  return "id\nabc123\n" + site + "\n1024\n3567587328\n30121348\n*\n";
}
// The same as "\cookies.log" shows it.
std::string Logged(const std::string& site) {
  return "id\n(value removed)\n" + site + "\n1024\n3567587328\n30121348\n*\n";
}

struct CookieTest : ::testing::Test {
  FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  CookieCleaner cleaner{services};

  void SetUp() override {
    fp.files.MakeFolder(kFolder);
    cleaner.SetFolder(kFolder);
  }
  void Put(const std::string& name, const std::string& bytes) {
    fp.files.Put(std::string(kFolder) + "\\" + name, bytes);
  }
  bool Has(const std::string& name) { return fp.files.Has(std::string(kFolder) + "\\" + name); }
  void AllowList(const std::string& fileBytes) {
    fp.files.Put("C:\\N\\data\\cookies.svr", fileBytes);
    cleaner.KillCookies(true);
  }
  int Deleted() const { return counters.Get(DeletedCookiesCount); }
  std::string ErrLog() { return fp.files.Get("C:\\N\\err.log"); }
  static size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
};

TEST(CookieRecord, SiteAndPathIsTheThirdLfField) {
  EXPECT_EQ(CookieSiteAndPath("a\nb\nads.example/path/\nrest"), "ads.example/path/");
  EXPECT_EQ(CookieSiteAndPath("\n\n\n"), "");
  EXPECT_EQ(CookieSiteAndPath("a\nb\nc"), std::nullopt);
  EXPECT_EQ(CookieSiteAndPath(""), std::nullopt);
  EXPECT_EQ(CookieCacheKey("Ann.Smith", "ads.example/"), "ann.smith@ads.example/");
  EXPECT_EQ(CookieCacheKey("", "ads.example/"), "@ads.example/");
}

// Every record's value goes, whatever the line ends; the rest keeps its shape.
TEST(CookieRecord, LogCopyLosesTheValueOfEveryRecord) {
  EXPECT_EQ(CookieFileWithoutValues("sid\nS3CR3T\nbank.example/\n9\n1\n2\n3\n4\n*\n"
                                    "pref\nP4SS\nbank.example/app/\n0\n1\n2\n3\n4\n*\n"),
            "sid\n(value removed)\nbank.example/\n9\n1\n2\n3\n4\n*\n"
            "pref\n(value removed)\nbank.example/app/\n0\n1\n2\n3\n4\n*\n");
  EXPECT_EQ(CookieFileWithoutValues("sid\r\nS3CR3T\r\nbank.example/\r\n9\r\n*\r\n\r\n"
                                    "pref\r\n\r\nbank.example/\r\n*\r\nlast\rP4SS"),
            "sid\r\n(value removed)\r\nbank.example/\r\n9\r\n*\r\n\r\n"
            "pref\r\n(value removed)\r\nbank.example/\r\n*\r\nlast\r(value removed)");
  // A record without its "*" ends after nine fields.
  EXPECT_EQ(CookieFileWithoutValues("a\nv1\ns\n1\n2\n3\n4\n5\n6\nb\nv2\n"),
            "a\n(value removed)\ns\n1\n2\n3\n4\n5\n6\nb\n(value removed)\n");
  EXPECT_EQ(CookieFileWithoutValues(""), "");
}

// An entry keeps a file only where its first occurrence starts after the
// name's first character, in any letter case.
TEST_F(CookieTest, AllowEntryKeepsByItsFirstOccurrenceFromTheSecondCharacterOn) {
  Put("ann@news[1].txt", Cookie("news.example/"));        // occurs at 5: kept
  Put("ann@NEWS[2].txt", Cookie("news.example/"));        // other letter case: kept
  Put("news@ads.txt", Cookie("ads.example/"));            // begins with it: deleted
  Put("news@news.example.txt", Cookie("ads.example/"));  // begins with it, again later: deleted
  Put("ann@ads[1].txt", Cookie("ads.example/"));          // no entry: deleted
  AllowList("mail\r\nNews\r\n");
  cleaner.CookieStep();
  EXPECT_TRUE(Has("ann@news[1].txt"));
  EXPECT_TRUE(Has("ann@NEWS[2].txt"));
  EXPECT_FALSE(Has("news@ads.txt"));
  EXPECT_FALSE(Has("news@news.example.txt"));
  EXPECT_FALSE(Has("ann@ads[1].txt"));
  EXPECT_EQ(Deleted(), 3);
}

TEST_F(CookieTest, DeletionLogsTheRecordByteForByteAndDropsTheCacheEntry) {
  fp.files.Put("C:\\N\\cookies.log", "\r\n\r\n");
  Put("ann@ads[1].txt", Cookie("ads.example/") + "\r\nsecond line  \r\n");
  AllowList("news\r\n");
  cleaner.CookieStep();
  EXPECT_FALSE(Has("ann@ads[1].txt"));
  EXPECT_EQ(fp.urlCache.deleted, std::vector<std::string>{"ann@ads.example/"});
  EXPECT_EQ(fp.files.Get("C:\\N\\cookies.log"),
            "\r\n\r\n" + Logged("ads.example/") + "\r\nsecond line\r\n" +
                "C:\\Cookies\\ann@ads[1].txt deleted on 08.12.2026 11:05:09\r\n\r\n\r\n");
  EXPECT_EQ(Deleted(), 1);
}

TEST_F(CookieTest, RecordKeepsTheCookieLinesWhenTheLogIsCreatedAnew) {
  Put("ann@ads[1].txt", Cookie("ads.example/"));
  cleaner.KillCookies(true);
  cleaner.CookieStep();
  EXPECT_EQ(fp.files.Get("C:\\N\\cookies.log"),
            "\r\n\r\n" + Logged("ads.example/") + "\r\n" +
                "C:\\Cookies\\ann@ads[1].txt deleted on 08.12.2026 11:05:09\r\n\r\n\r\n");
}

TEST_F(CookieTest, EmptyAllowListDeletesOneFilePerTickAndNothingElse) {
  Put("a.txt", Cookie("a.example/"));
  Put("b.txt", Cookie("b.example/"));
  Put("c.TXT", Cookie("c.example/"));
  Put("index.dat", "binary");
  Put("d.txt.bak", Cookie("d.example/"));
  cleaner.KillCookies(true);
  cleaner.CookieStep();
  EXPECT_FALSE(Has("a.txt"));
  EXPECT_TRUE(Has("b.txt"));
  EXPECT_EQ(Deleted(), 1);
  for (int i = 0; i < 5; ++i) cleaner.CookieStep();
  EXPECT_FALSE(Has("b.txt"));
  EXPECT_FALSE(Has("c.TXT"));
  EXPECT_TRUE(Has("index.dat"));
  EXPECT_TRUE(Has("d.txt.bak"));
  EXPECT_EQ(Deleted(), 3);
}

TEST_F(CookieTest, KillCookiesLoadsTheAllowListOnlyWhenAllIsZero) {
  fp.files.Put("C:\\N\\data\\cookies.svr", "news\r\n");
  cleaner.KillCookies(true);
  EXPECT_EQ(cleaner.lstCk.Items(), std::vector<std::string>{"news"}) << "absent All reads as 0";
  fp.settings.values["Settings\\All"] = "1";
  cleaner.KillCookies(true);
  EXPECT_TRUE(cleaner.lstCk.Empty());
  fp.settings.values["Settings\\All"] = "0";
  cleaner.KillCookies(false);
  EXPECT_TRUE(cleaner.lstCk.Empty());
}

TEST_F(CookieTest, AllThatIsNoNumberIsReportedAndTheAllowListStillSpares) {
  fp.settings.values["Settings\\All"] = "yes";
  AllowList("news\r\n");
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, "13 : Type mismatch");
  EXPECT_EQ(fp.dialogs.shown[0].title, "Error");
  EXPECT_NE(ErrLog().find("13:Type mismatch"), std::string::npos);
  EXPECT_EQ(cleaner.lstCk.Items(), std::vector<std::string>{"news"});
}

// A file that gives no site and path must not hold up the files after it.
TEST_F(CookieTest, FileWithoutSiteIsLoggedOnceLeftInPlaceAndPassedOver) {
  Put("a-bad.txt", "only\ntwo\n");
  Put("b-empty.txt", "");
  Put("c-good.txt", Cookie("c.example/"));
  Put("d-good.txt", Cookie("d.example/"));
  cleaner.KillCookies(true);
  cleaner.CookieStep();
  EXPECT_FALSE(Has("c-good.txt")) << "the first deletable file goes on the first tick";
  cleaner.CookieStep();
  cleaner.CookieStep();
  EXPECT_TRUE(Has("a-bad.txt"));
  EXPECT_TRUE(Has("b-empty.txt"));
  EXPECT_FALSE(Has("d-good.txt"));
  EXPECT_EQ(Count(ErrLog(), "a-bad.txt"), 1u);
  EXPECT_EQ(Count(ErrLog(), "b-empty.txt"), 1u);
  EXPECT_EQ(Deleted(), 2);

  Put("a-bad.txt", Cookie("a.example/"));  // rewritten by the browser: tried again
  cleaner.CookieStep();
  EXPECT_FALSE(Has("a-bad.txt"));
}

TEST_F(CookieTest, FileThatCannotBeDeletedIsNeitherLoggedNorCounted) {
  Put("a.txt", Cookie("a.example/"));
  Put("b.txt", Cookie("b.example/"));
  fp.files.failWrites.insert("c:\\cookies\\a.txt");
  AllowList("news\r\n");
  cleaner.CookieStep();
  cleaner.CookieStep();
  EXPECT_TRUE(Has("a.txt"));
  EXPECT_FALSE(Has("b.txt"));
  EXPECT_EQ(Deleted(), 1);
  EXPECT_EQ(Count(fp.files.Get("C:\\N\\cookies.log"), "a.txt"), 0u);
  EXPECT_EQ(Count(ErrLog(), "a.txt"), 1u);
  EXPECT_EQ(fp.urlCache.deleted, std::vector<std::string>{"ann@b.example/"});
}

TEST_F(CookieTest, EmptyLoginShowsTheKeyAndTheBoxDoesNotPileUp) {
  fp.system.userName = "";
  Put("a.txt", Cookie("a.example/"));
  Put("b.txt", Cookie("b.example/"));
  cleaner.KillCookies(true);
  fp.dialogs.whileOpen = [&] { cleaner.CookieStep(); };  // ticks during the box
  cleaner.CookieStep();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, "@a.example/");
  EXPECT_EQ(fp.dialogs.shown[0].style, kBoxOk);
  EXPECT_FALSE(Has("a.txt")) << "the routine goes on after the box";
  EXPECT_TRUE(Has("b.txt"));
  EXPECT_EQ(fp.urlCache.deleted, std::vector<std::string>{"@a.example/"});
}

TEST_F(CookieTest, KeptVerdictsFollowChangesOfTheAllowList) {
  Put("ann@news[1].txt", Cookie("news.example/"));
  AllowList("news\r\n");
  fp.folderWatch.always = false;
  cleaner.CookieStep();
  EXPECT_TRUE(Has("ann@news[1].txt"));
  cleaner.lstCk.Clear();
  cleaner.lstCk.Add("mail");
  cleaner.CookieStep();
  EXPECT_FALSE(Has("ann@news[1].txt"));
}

TEST_F(CookieTest, WorkPerTickIsBounded) {
  std::string many;
  for (int i = 0; i < CookieCleaner::kMaxTestsPerTick; ++i) many += "site" + std::to_string(i) + "\r\n";
  AllowList(many);
  Put("a.txt", Cookie("a.example/"));
  Put("b.txt", Cookie("b.example/"));
  cleaner.CookieStep();
  EXPECT_FALSE(Has("a.txt"));
  EXPECT_TRUE(Has("b.txt")) << "its tests wait for the next tick";
  cleaner.CookieStep();
  EXPECT_FALSE(Has("b.txt"));

  AllowList("news\r\n");
  for (int i = 0; i < CookieCleaner::kMaxDeletionsPerTick + 4; ++i)
    Put("c" + std::to_string(100 + i) + ".txt", Cookie("c.example/"));
  cleaner.CookieStep();
  EXPECT_EQ(Deleted(), 2 + CookieCleaner::kMaxDeletionsPerTick);
  cleaner.CookieStep();
  EXPECT_EQ(Deleted(), 2 + CookieCleaner::kMaxDeletionsPerTick + 4);
}

// Without a change of names the folder is not listed again, unless work is
// left over or a file left in place was rewritten.
TEST_F(CookieTest, QuietFolderIsListedOnlyWhenThereIsSomethingToDo) {
  Put("ann@news[1].txt", Cookie("news.example/"));
  AllowList("news\r\n");
  fp.folderWatch.always = false;
  cleaner.CookieStep();
  Put("ann@ads[1].txt", Cookie("ads.example/"));  // not yet reported by the watch
  cleaner.CookieStep();
  EXPECT_TRUE(Has("ann@ads[1].txt"));
  fp.folderWatch.changed = true;
  cleaner.CookieStep();
  EXPECT_FALSE(Has("ann@ads[1].txt"));

  cleaner.lstCk.Clear();  // delete-all: one per tick, on until the folder is empty
  Put("b.txt", Cookie("b.example/"));
  Put("c.txt", Cookie("c.example/"));
  fp.folderWatch.changed = true;
  for (int i = 0; i < 3; ++i) cleaner.CookieStep();
  EXPECT_FALSE(Has("b.txt"));
  EXPECT_FALSE(Has("c.txt"));
  EXPECT_FALSE(Has("ann@news[1].txt"));

  Put("d.txt", "no site\n");
  fp.folderWatch.changed = true;
  cleaner.CookieStep();
  cleaner.CookieStep();
  EXPECT_TRUE(Has("d.txt"));
  Put("d.txt", Cookie("d.example/"));  // rewritten in place
  cleaner.CookieStep();
  EXPECT_FALSE(Has("d.txt"));
}

TEST_F(CookieTest, ASweepCutShortByAFailureIsTakenUpOnTheNextTick) {
  fp.settings.values["Settings\\All"] = "1";
  cleaner.KillCookies(true);
  fp.folderWatch.always = false;
  Put("a.txt", Cookie("a.example/"));
  Put("b.txt", Cookie("b.example/"));
  fp.files.failWrites.insert("c:\\n\\cookies.log");
  EXPECT_THROW(cleaner.CookieStep(), AppError);
  fp.files.failWrites.clear();
  cleaner.CookieStep();
  EXPECT_FALSE(Has("b.txt"));
}

// Each test takes a millisecond here: the sweep stops testing after its budget.
TEST_F(CookieTest, TestingNamesStopsWhenTheTicksTimeIsUsedUp) {
  struct SlowText : test::FakeText {
    test::FakeClock& clock;
    explicit SlowText(test::FakeClock& c) : clock(c) {}
    int FindNoCase(const std::string&, const std::string&) override { return ++clock.tickMs, 0; }
  } slow(fp.clock);
  fp.platform.text = &slow;
  AllowList("mail\r\n");
  for (int i = 0; i < 10; ++i) Put("c" + std::to_string(i) + ".txt", Cookie("c.example/"));
  cleaner.CookieStep();
  EXPECT_EQ(Deleted(), static_cast<int>(CookieCleaner::kTestingBudgetMs));
  cleaner.CookieStep();
  EXPECT_EQ(Deleted(), 2 * static_cast<int>(CookieCleaner::kTestingBudgetMs));
}

TEST_F(CookieTest, EmptyOrMissingFolderDoesNothing) {
  fp.settings.values["Settings\\All"] = "1";
  cleaner.KillCookies(true);
  cleaner.CookieStep();
  EXPECT_EQ(ErrLog(), "");
  cleaner.SetFolder("C:\\Nowhere");
  cleaner.CookieStep();
  cleaner.CookieStep();
  EXPECT_EQ(Deleted(), 0);
  EXPECT_EQ(cleaner.DeleteCookie(""), CookieCleaner::Outcome::Nothing);
  EXPECT_EQ(Count(ErrLog(), "76:The cookies folder C:\\Nowhere does not exist"), 1u);
}

// An unknown cookies folder must not turn into the root of the current drive.
TEST_F(CookieTest, UnknownFolderSwitchesTheStepOffWithOneLogEntry) {
  fp.files.Put("\\notes.txt", Cookie("a.example/"));
  fp.settings.values["Settings\\All"] = "1";
  cleaner.KillCookies(true);
  cleaner.SetFolder("");
  for (int i = 0; i < 3; ++i) cleaner.CookieStep();
  EXPECT_TRUE(fp.files.Has("\\notes.txt"));
  EXPECT_EQ(Count(ErrLog(), "76:The cookies folder is unknown; no cookies are deleted in this run"), 1u);
}

}  // namespace
}  // namespace nv
