// Cleaning real SQLite databases made with each browser's tables.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <thread>

#include "cookies/stores/store_cleaning.h"
#include "cookies/cookie_cleaner.h"
#include "fakes/cookie_store_maker.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_store_seams.h"
#include "integration/held_store.h"
#include "integration/temp_dir.h"
#include "platform/posix/posix_file_probe.h"
#include "platform/posix/posix_files.h"

namespace nv {
namespace {

using test::CookiesIn;
using test::MakeCookieStore;
using Rows = std::vector<std::pair<std::string, std::string>>;

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

const std::vector<test::TestCookie> kCookies = {
    {".news.test", "a"}, {"news.test", "b"}, {"mail.news.test", "c"}, {".notnews.test", "d"},
    {"ads.test", "e"},   {".ads.test", "f"}, {"www.bank.test", "g"},  {".tracker.example", "h"}};

struct StoreFiles : ::testing::TestWithParam<bool> {
  test::TempDir dir;
  bool firefox = GetParam();
  std::string db = dir / (firefox ? "cookies.sqlite" : "Cookies");
  KeepRule rule{{"news", "bank.test"}};
  void SetUp() override { ASSERT_TRUE(MakeCookieStore(db, firefox, kCookies)); }
};

TEST_P(StoreFiles, OnlyTheKeptCookiesStayAndTheDeletedAreCountedBySite) {
  const StoreCleaning r = CleanCookieStore(db, firefox ? StoreKind::Firefox : StoreKind::Chromium, rule);
  ASSERT_EQ(r.outcome, StoreCleaning::Outcome::Cleaned) << r.failure;
  EXPECT_EQ(r.deleted, 4);
  EXPECT_EQ(r.sites, (std::vector<std::pair<std::string, int>>{{"ads.test", 2}, {"notnews.test", 1}, {"tracker.example", 1}}));
  EXPECT_EQ(CookiesIn(db, firefox),
            (Rows{{".news.test", "a"}, {"mail.news.test", "c"}, {"news.test", "b"}, {"www.bank.test", "g"}}));
  // Nothing left to do the second time.
  const StoreCleaning again = CleanCookieStore(db, firefox ? StoreKind::Firefox : StoreKind::Chromium, rule);
  EXPECT_EQ(again.outcome, StoreCleaning::Outcome::Cleaned);
  EXPECT_EQ(again.deleted, 0);
  // No keep list: every cookie goes.
  EXPECT_EQ(CleanCookieStore(db, firefox ? StoreKind::Firefox : StoreKind::Chromium, KeepRule()).deleted, 4);
  EXPECT_TRUE(CookiesIn(db, firefox).empty());
}

// The other browser's schema is one we do not know here; a damaged file is
// no database at all. Either way the bytes stay as they were.
TEST_P(StoreFiles, UnknownSchemaOrDamageLeavesTheFileUntouched) {
  const std::string before = Slurp(db);
  const StoreCleaning wrong = CleanCookieStore(db, firefox ? StoreKind::Chromium : StoreKind::Firefox, rule);
  EXPECT_EQ(wrong.outcome, StoreCleaning::Outcome::Failed);
  EXPECT_NE(wrong.failure.find(firefox ? "host_key" : "moz_cookies"), std::string::npos) << wrong.failure;
  EXPECT_EQ(Slurp(db), before);

  std::string damaged = before;
  for (size_t i = 100; i < damaged.size() && i < 3000; ++i) damaged[i] = static_cast<char>(i * 7);
  std::ofstream(db, std::ios::binary | std::ios::trunc) << damaged;
  const StoreCleaning broken = CleanCookieStore(db, firefox ? StoreKind::Firefox : StoreKind::Chromium, rule);
  EXPECT_EQ(broken.outcome, StoreCleaning::Outcome::Failed);
  EXPECT_FALSE(broken.failure.empty());
  EXPECT_EQ(Slurp(db), damaged);

  std::ofstream(dir / "empty", std::ios::binary) << "";
  EXPECT_EQ(CleanCookieStore(dir / "empty", StoreKind::Chromium, rule).outcome, StoreCleaning::Outcome::Failed);
  EXPECT_EQ(CleanCookieStore(dir / "missing", StoreKind::Chromium, rule).outcome, StoreCleaning::Outcome::Busy);
  EXPECT_FALSE(std::ifstream(dir / "missing").good()) << "a missing store must not be created";
}

// As a browser that holds its database locked: the cleaning gives way, and
// afterwards finds the browser's own last write in place.
TEST_P(StoreFiles, StoreLockedByAnotherConnectionIsBusyAndLeftAlone) {
  sqlite3* browser = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &browser), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(browser, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
            SQLITE_OK);
  const auto t0 = std::chrono::steady_clock::now();
  const StoreCleaning r = CleanCookieStore(db, firefox ? StoreKind::Firefox : StoreKind::Chromium, rule);
  EXPECT_EQ(r.outcome, StoreCleaning::Outcome::Busy) << r.failure;
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2)) << "waited too long for the lock";
  const char* insert = firefox ? "INSERT INTO moz_cookies(name,host,path) VALUES('z','late.test','/'); COMMIT"
                               : "UPDATE cookies SET name='z' WHERE name='e'; COMMIT";
  ASSERT_EQ(sqlite3_exec(browser, insert, nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(browser);
  EXPECT_EQ(CookiesIn(db, firefox).size(), kCookies.size() + (firefox ? 1 : 0));
  const StoreCleaning after = CleanCookieStore(db, firefox ? StoreKind::Firefox : StoreKind::Chromium, rule);
  EXPECT_EQ(after.deleted, firefox ? 5 : 4);
}

INSTANTIATE_TEST_SUITE_P(Browsers, StoreFiles, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Firefox" : "Chromium"; });

// The whole chain over real files: the profiles found in the user's folders,
// the probe, SQLite, the log and the count; one store is held by another
// process as its running browser would hold it.
TEST(StoreChain, HeldStoreWaitsForItsBrowserTheOtherIsCleanedAtOnce) {
  test::TempDir dir;
  const std::string chrome = dir / "Local/Google/Chrome/User Data/Default/Network/Cookies";
  const std::string firefox = dir / "Roaming/Mozilla/Firefox/Profiles/p/cookies.sqlite";
  std::filesystem::create_directories(std::filesystem::path(chrome).parent_path());
  std::filesystem::create_directories(std::filesystem::path(firefox).parent_path());
  std::filesystem::create_directories(dir / "N/data");
  std::ofstream(dir / "Roaming/Mozilla/Firefox/profiles.ini") << "[Profile0]\nName=p\nPath=Profiles/p\n";
  std::ofstream(dir / "N/data/cookies.svr") << "news\r\nbank.test\r\n";
  ASSERT_TRUE(MakeCookieStore(chrome, false, kCookies));
  ASSERT_TRUE(MakeCookieStore(firefox, true, kCookies));

  test::FakePlatform fp;
  PosixFiles files;
  PosixFileProbe probe;
  test::FakeBackground worker;
  fp.platform.files = &files;
  fp.platform.fileProbe = &probe;
  fp.platform.background = &worker;
  fp.system.specialFolders[0x1c] = dir / "Local";
  fp.system.specialFolders[0x1a] = dir / "Roaming";
  Store store{files, dir / "N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  CookieCleaner cleaner{services};
  auto ticks = [&](int n) {
    for (int i = 0; i < n; ++i) {
      fp.clock.tickMs += 100;
      cleaner.stores.Step();
      worker.RunAll();
    }
  };

  test::HeldStore chromeRuns(chrome);
  cleaner.KillCookies(true);
  ticks(20);
  EXPECT_EQ(CookiesIn(firefox, true).size(), 4u);
  EXPECT_EQ(counters.Get(DeletedCookiesCount), 4);
  chromeRuns.Release();
  ticks(30);
  EXPECT_EQ(CookiesIn(chrome, false).size(), 4u);
  EXPECT_EQ(counters.Get(DeletedCookiesCount), 8);
  const std::string log = Slurp(dir / "N/cookies.log");
  EXPECT_NE(log.find("Firefox, profile \"p\", "), std::string::npos) << log;
  EXPECT_NE(log.find("Chrome, profile \"Default\", "), std::string::npos) << log;
  EXPECT_NE(log.find("4 cookies of ads.test (2), notnews.test (1), tracker.example (1) deleted on "), std::string::npos)
      << log;
  EXPECT_EQ(log.find("secret"), std::string::npos);
}

}  // namespace
}  // namespace nv
