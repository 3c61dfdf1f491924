#include <gtest/gtest.h>

#include "cookies/cookie_cleaner.h"
#include "cookies/stores/browser_profiles.h"
#include "cookies/stores/keep_rule.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_store_seams.h"

namespace nv {
namespace {

using test::FakePlatform;

TEST(KeepRule, EntriesKeepWholeLabelsOrDomainsNeverSubstrings) {
  const KeepRule rule({"Yahoo", "bank.example", " .Shop.Test ", "co"});
  struct Case {
    const char* host;
    bool kept;
  } cases[] = {
      {"yahoo.com", true},       {".mail.yahoo.com", true}, {"YAHOO.co.uk", true},
      {"notyahoo.com", false},   {"yahoo-mail.com", false}, {"yahoocom", false},
      {"bank.example", true},    {".www.bank.example", true}, {"mybank.example", false},
      {"bank.example.evil", false}, {"shop.test", true},    {"a.shop.test", true},
      {"shop.test.org", false},  {"example.co", true},      {"", false},
      {".", false},
  };
  for (const Case& c : cases) EXPECT_EQ(rule.Keeps(c.host), c.kept) << c.host;
  EXPECT_TRUE(KeepRule(std::vector<std::string>{}).KeepsNothing());
  EXPECT_TRUE(KeepRule({"", " . "}).KeepsNothing());
  EXPECT_FALSE(KeepRule(std::vector<std::string>{}).Keeps("yahoo.com"));
  EXPECT_EQ(SiteOfHost(".Mail.Yahoo.COM"), "mail.yahoo.com");
}

// A user's folders as the browsers leave them.
struct Profiles : ::testing::Test {
  FakePlatform fp;
  const std::string local = "C:\\Users\\ann\\AppData\\Local", roaming = "C:\\Users\\ann\\AppData\\Roaming";
  void Put(const std::string& path, const std::string& bytes = "x") { fp.files.Put(path, bytes); }
  std::vector<std::string> Found() {
    std::vector<std::string> out;
    for (const CookieStoreInfo& s : FindCookieStores(fp.files, {local, roaming}))
      out.push_back(s.browser + "|" + s.profile + "|" +
                    (s.path.find("AppData") == std::string::npos ? s.path : s.path.substr(s.path.find("AppData") + 8)));
    return out;
  }
};

TEST_F(Profiles, ChromiumProfilesComeFromLocalStateAndFirefoxFromProfilesIni) {
  const std::string chrome = local + "\\Google\\Chrome\\User Data";
  Put(chrome + "\\Local State",
      R"({"browser":{"x":[1,2.5e3,true,null]},"profile":{"info_cache":{)"
      R"("Default":{"name":"Ann \u00e9"},"Profile 2":{"name":"Work"},"Gone":{"name":"Old"}}}})");
  Put(chrome + "\\Default\\Network\\Cookies");
  Put(chrome + "\\Default\\Extension Cookies");
  Put(chrome + "\\Profile 2\\Cookies");  // the older place, before Network\ existed
  Put(local + "\\Microsoft\\Edge\\User Data\\Local State", "not json {");
  Put(local + "\\Microsoft\\Edge\\User Data\\Default\\Network\\Cookies");
  Put(roaming + "\\Opera Software\\Opera Stable\\Network\\Cookies");
  Put(local + "\\Vivaldi\\User Data\\Local State", "{}");  // installed, never used: no store
  const std::string firefox = roaming + "\\Mozilla\\Firefox";
  Put(firefox + "\\profiles.ini",
      "[General]\nStartWithLastProfile=1\n\n[Profile1]\r\nName=dev\r\nIsRelative=0\r\nPath=D:\\ff\\dev\r\n"
      "[Profile0]\nName=default-release\nIsRelative=1\nPath=Profiles/ab12.default-release\nDefault=1\n"
      "[Install4F96D1932A9F858E]\nDefault=Profiles/ab12.default-release\n[Profile9]\nName=no path\n");
  Put(firefox + "\\Profiles\\ab12.default-release\\cookies.sqlite");
  Put("D:\\ff\\dev\\cookies.sqlite");

  EXPECT_EQ(Found(), (std::vector<std::string>{
                         "Edge|Default|Local\\Microsoft\\Edge\\User Data\\Default\\Network\\Cookies",
                         "Chrome|Ann ?|Local\\Google\\Chrome\\User Data\\Default\\Network\\Cookies",
                         "Chrome|Ann ?|Local\\Google\\Chrome\\User Data\\Default\\Extension Cookies",
                         "Chrome|Work|Local\\Google\\Chrome\\User Data\\Profile 2\\Cookies",
                         "Opera|Default|Roaming\\Opera Software\\Opera Stable\\Network\\Cookies",
                         "Firefox|dev|D:\\ff\\dev\\cookies.sqlite",
                         "Firefox|default-release|Roaming\\Mozilla\\Firefox\\Profiles\\ab12.default-release\\cookies.sqlite",
                     }));
  const auto stores = FindCookieStores(fp.files, {local, roaming});
  EXPECT_EQ(stores[1].locks, (std::vector<std::string>{stores[1].path, chrome + "\\lockfile"}));
  EXPECT_EQ(stores.back().locks.back(), firefox + "\\Profiles\\ab12.default-release\\parent.lock");
  EXPECT_EQ(BrowsersOf(stores), (std::vector<std::string>{"Edge", "Chrome", "Opera", "Firefox"}));
  // Without a local application data folder, the roaming browsers are still found.
  EXPECT_EQ(BrowsersOf(FindCookieStores(fp.files, {"", roaming})), (std::vector<std::string>{"Opera", "Firefox"}));
}

TEST_F(Profiles, HostileProfileListsFindNothingAndDoNotCrash) {
  Put(local + "\\Google\\Chrome\\User Data\\Local State", std::string(100000, '[') + std::string(100000, ']'));
  Put(local + "\\Google\\Chrome\\User Data\\Profile 1\\Network\\Cookies");
  Put(roaming + "\\Mozilla\\Firefox\\profiles.ini", "[Profile0\nPath\n=\n[Profile1]\nPath=\n");
  EXPECT_TRUE(Found().empty());
}

// The tick's side: which store is cleaned when, and what the results do.
struct Stores : ::testing::Test {
  FakePlatform fp;
  test::FakeFileProbe probe;
  test::FakeBackground worker;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  CookieCleaner cleaner{services};
  std::vector<std::string> cleaned;  // paths, as the worker cleaned them
  StoreCleaning next{StoreCleaning::Outcome::Cleaned, 3, {{"ads.test", 2}, {"x.test", 1}}, ""};

  const std::string chrome = "C:\\L\\Google\\Chrome\\User Data";
  const std::string db = chrome + "\\Default\\Network\\Cookies";
  const std::string ff = "C:\\R\\Mozilla\\Firefox\\Profiles\\p";

  void SetUp() override {
    fp.platform.fileProbe = &probe;
    fp.platform.background = &worker;
    fp.system.specialFolders[0x1c] = "C:\\L";
    fp.system.specialFolders[0x1a] = "C:\\R";
    fp.files.Put(db, "x");
    fp.files.Put("C:\\R\\Mozilla\\Firefox\\profiles.ini", "[Profile0]\nName=main\nPath=Profiles/p\n");
    fp.files.Put(ff + "\\cookies.sqlite", "x");
    probe.Put(db, 100, 1);
    probe.Put(ff + "\\cookies.sqlite", 200, 1);
    fp.files.Put("C:\\N\\data\\cookies.svr", "news\r\n");
    cleaner.stores.SetCleaner([this](const std::string& path, StoreKind, const KeepRule& rule) {
      EXPECT_TRUE(rule.Keeps("news.test"));
      cleaned.push_back(path);
      return next;
    });
    cleaner.KillCookies(true);
  }
  // One look at the next store; a tick in between looks at none.
  void Look() {
    fp.clock.tickMs += CookieStores::kLookEveryMs;
    cleaner.stores.Step();
  }
  // Looks as the ticks would make them, letting the worker finish between them.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      Look();
      worker.RunAll();
    }
  }
  std::string File(const std::string& path) { return fp.files.Get(path); }
};

TEST_F(Stores, StoreIsCleanedOnTheWorkerOnceItsBrowserIsClosedThenOnlyWhenChanged) {
  probe.Set(db, FileHold::InUse);              // Chrome runs
  probe.Put(ff + "\\parent.lock", 0, 1, FileHold::InUse);  // so does Firefox
  Look();
  EXPECT_TRUE(worker.jobs.empty());
  Ticks(10);
  EXPECT_TRUE(cleaned.empty());
  // While they run, a tick costs nothing: held stores wait out their pause.
  const int holds = probe.holds;
  for (int i = 0; i < 4; ++i) Look();
  EXPECT_LE(probe.holds - holds, 2);
  cleaner.stores.Step();
  EXPECT_LE(probe.holds - holds, 2) << "a second look within the same look interval";

  probe.Set(db, FileHold::Free);  // Chrome closed
  fp.clock.tickMs += CookieStores::kHeldPauseMs;
  Look();
  Look();
  ASSERT_EQ(worker.jobs.size(), 1u) << "the tick itself must not clean";
  EXPECT_TRUE(cleaned.empty());
  EXPECT_TRUE(cleaner.stores.Cleaning());
  worker.RunAll();
  EXPECT_EQ(cleaned, std::vector<std::string>{db});
  Ticks(10);
  EXPECT_EQ(cleaned.size(), 1u) << "cleaned again though nothing changed";

  probe.Touch(db);                         // Chrome ran again and wrote
  probe.Set(ff + "\\parent.lock", FileHold::Free);  // a lock Firefox left behind
  fp.clock.tickMs += CookieStores::kHeldPauseMs;
  Ticks(4);
  EXPECT_EQ(cleaned, (std::vector<std::string>{db, ff + "\\cookies.sqlite", db}));

  cleaner.KillCookies(true);  // Apply: everything is cleaned anew with the new list
  Ticks(2);
  EXPECT_EQ(cleaned.size(), 5u);
  EXPECT_EQ(counters.Get(DeletedCookiesCount), 15);
}

TEST_F(Stores, EachCleaningIsOneLogLineAndCountsEveryCookieUpToTheLimit) {
  counters.Set(DeletedCookiesCount, 32765);
  fp.files.Put(ff + "\\cookies.sqlite", "gone");
  probe.files.erase(test::FakeFiles::Key(ff + "\\cookies.sqlite"));
  Ticks(2);
  EXPECT_EQ(counters.Get(DeletedCookiesCount), 32767);
  probe.Touch(db);
  Ticks(2);
  EXPECT_EQ(counters.Get(DeletedCookiesCount), 32767);
  const std::string log = File("C:\\N\\cookies.log");
  const std::string line = "Chrome, profile \"Default\", " + db +
                           ": 3 cookies of ads.test (2), x.test (1) deleted on 08.12.2026 11:05:09\r\n";
  EXPECT_EQ(log, "\r\n\r\n" + line + "\r\n\r\n" + line + "\r\n\r\n");
  const std::string err = File("C:\\N\\err.log");
  EXPECT_NE(err.find("32767"), std::string::npos) << err;
  EXPECT_EQ(err.find("32767"), err.rfind("32767")) << "the limit was reported twice:\n" << err;
}

TEST_F(Stores, FailuresAreLoggedOncePerStoreBusyStoresAreTriedAgain) {
  next = {StoreCleaning::Outcome::Busy, 0, {}, ""};
  Ticks(4);
  EXPECT_EQ(cleaned.size(), 4u) << "a busy store waits for its next turn, changed or not";
  next = {StoreCleaning::Outcome::Failed, 0, {}, "file is not a database"};
  Ticks(2);
  probe.Touch(db);
  Ticks(4);
  EXPECT_EQ(cleaned.size(), 7u);
  const std::string err = File("C:\\N\\err.log");
  EXPECT_NE(err.find("Chrome (profile \"Default\") " + db + " cannot be cleaned: file is not a database"),
            std::string::npos) << err;
  EXPECT_EQ(err.find(db), err.rfind(db)) << err;
  EXPECT_EQ(File("C:\\N\\cookies.log"), "");
  EXPECT_EQ(counters.Get(DeletedCookiesCount), 0);

  // A store we may not write is not tried, and said once (here: already said).
  probe.Set(db, FileHold::Denied);
  probe.Touch(db);
  Ticks(4);
  EXPECT_EQ(cleaned.size(), 7u);
  EXPECT_EQ(File("C:\\N\\err.log"), err);
}

// Cookies deleted while the lists were reloaded still count.
TEST_F(Stores, ResultThatComesBackAfterAReloadIsStillLoggedAndCounted) {
  Look();
  cleaner.KillCookies(false);
  worker.RunAll();
  EXPECT_EQ(counters.Get(DeletedCookiesCount), 3);
  EXPECT_NE(File("C:\\N\\cookies.log").find("3 cookies of ads.test (2)"), std::string::npos);
}

TEST_F(Stores, DeleteAllAndTheDialogLine) {
  fp.settings.values["Settings\\All"] = "1";
  cleaner.stores.SetCleaner([this](const std::string& path, StoreKind, const KeepRule& rule) {
    EXPECT_TRUE(rule.KeepsNothing());
    cleaned.push_back(path);
    return next;
  });
  cleaner.KillCookies(true);
  Ticks(2);
  EXPECT_EQ(cleaned.size(), 2u);
  EXPECT_EQ(cleaner.stores.BrowsersLine(), "Cleans cookies of: Chrome, Firefox \xE2\x80\x94 when they are closed");
  fp.system.specialFolders.erase(0x1c);
  fp.system.specialFolders.erase(0x1a);
  cleaner.KillCookies(true);
  EXPECT_EQ(cleaner.stores.BrowsersLine(), "Cleans cookies of: no browser found");
  // Without the worker or the probe (as in tests of other parts) nothing runs.
  fp.platform.background = nullptr;
  cleaner.CookieStep();
}

}  // namespace
}  // namespace nv
