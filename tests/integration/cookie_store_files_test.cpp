// Cleaning real SQLite databases made with each browser's tables.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <thread>

#include "cookies/stores/store_cleaning.h"
#include "fakes/cookie_store_maker.h"
#include "integration/temp_dir.h"

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

}  // namespace
}  // namespace nv
