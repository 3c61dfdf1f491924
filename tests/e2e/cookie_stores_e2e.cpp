// The browsers' cookie stores under Wine: the real program finds them in the
// user's profile folders, leaves a store alone while its browser holds it,
// and cleans it once it is free. With NV_BROWSER_STORES set (by
// tests/e2e/real_browsers/run) it cleans the stores that real browsers wrote.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../fakes/cookie_store_maker.h"
#include "harness/harness.h"
#include "harness/settings_driver.h"
#include "settings/settings_ids.h"

using namespace e2e;
using nv::test::CookiesIn;
using nv::test::MakeCookieStore;
using Rows = std::vector<std::pair<std::string, std::string>>;

namespace {

std::string Folder(int csidl) {
  char buf[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, buf, csidl, TRUE);
  return buf;
}

void MakeDirs(const std::string& dir) { SHCreateDirectoryExA(nullptr, dir.c_str(), nullptr); }

// Opened as the browser opens it while it runs: no sharing at all.
HANDLE HoldExclusively(const std::string& path, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, flags, nullptr);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

const std::vector<nv::test::TestCookie> kCookies = {
    {".news.test", "a"}, {"news.test", "b"}, {".notnews.test", "c"}, {"ads.test", "d"}, {"www.bank.test", "e"}};
const Rows kKept = {{".news.test", "a"}, {"news.test", "b"}, {"www.bank.test", "e"}};

class Stores : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    SetSetting("Data", "AdBlock", "False");
    SetSetting("Data", "Popup", "False");
    SetSetting("Data", "Cookies", "True");
    folder = InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name());
    WriteFile(folder + "\\data\\cookies.svr", "news\r\nbank.test\r\n");
    const std::string userData = Folder(CSIDL_LOCAL_APPDATA) + "\\Chromium\\User Data";
    MakeDirs(userData + "\\Default\\Network");
    WriteFile(userData + "\\Local State", R"({"profile":{"info_cache":{"Default":{"name":"Ann"}}}})");
    chromium = userData + "\\Default\\Network\\Cookies";
    const std::string firefoxRoot = Folder(CSIDL_APPDATA) + "\\Mozilla\\Firefox";
    profile = firefoxRoot + "\\Profiles\\e2e.default-release";
    MakeDirs(profile);
    WriteFile(firefoxRoot + "\\profiles.ini",
              "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/e2e.default-release\r\n");
    firefox = profile + "\\cookies.sqlite";
  }
  std::string Log() { return ReadFile(folder + "\\cookies.log"); }
  std::string folder, chromium, profile, firefox;
};

// Chromium holds its database, Firefox its parent.lock, while they run.
TEST_F(Stores, StoreHeldByItsRunningBrowserIsLeftAloneUntilItIsFree) {
  ASSERT_TRUE(MakeCookieStore(chromium, false, kCookies));
  ASSERT_TRUE(MakeCookieStore(firefox, true, kCookies));
  HANDLE chromiumRuns = HoldExclusively(chromium);
  HANDLE firefoxRuns = HoldExclusively(profile + "\\parent.lock", FILE_FLAG_DELETE_ON_CLOSE);
  ASSERT_NE(chromiumRuns, INVALID_HANDLE_VALUE);
  ASSERT_NE(firefoxRuns, INVALID_HANDLE_VALUE);

  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  Sleep(1500);  // many turns of both stores
  EXPECT_EQ(Log().find("deleted on"), std::string::npos) << Log();
  EXPECT_EQ(CookiesIn(firefox, true).size(), kCookies.size());

  CloseHandle(firefoxRuns);
  EXPECT_TRUE(WaitUntil([&] { return Log().find("Firefox, profile \"default-release\"") != std::string::npos; }))
      << Log();
  EXPECT_EQ(CookiesIn(firefox, true), kKept);
  EXPECT_EQ(Log().find("Chromium"), std::string::npos) << "cleaned while held:\n" << Log();

  CloseHandle(chromiumRuns);
  EXPECT_TRUE(WaitUntil([&] { return Log().find("Chromium, profile \"Ann\"") != std::string::npos; })) << Log();
  EXPECT_EQ(CookiesIn(chromium, false), kKept);
  EXPECT_NE(Log().find(chromium + ": 2 cookies of ads.test (1), notnews.test (1) deleted on "), std::string::npos)
      << Log();
  EXPECT_TRUE(WaitUntil([&] { return app.StatusLine() == "Banner Ads:0 Deleted Cookies:4 Blocked Popups:0"; }))
      << app.StatusLine();

  // A browser that writes again while closed is cleaned again, once.
  ASSERT_TRUE(MakeCookieStore(firefox, true, kCookies));
  EXPECT_TRUE(WaitUntil([&] { return Count(Log(), "Firefox, profile") == 2; })) << Log();
  Sleep(1000);
  EXPECT_EQ(Count(Log(), "Firefox, profile"), 2u) << Log();
  EXPECT_EQ(Count(Log(), "Chromium, profile"), 1u) << Log();

  // The "Cookies" tab names the browsers found, with its dash in any code page.
  HWND dialog = OpenSettings(app);
  ASSERT_TRUE(dialog);
  HWND line = ControlById(dialog, nv::settings_id::kCookieStores);
  wchar_t text[200] = {};
  GetWindowTextW(line, text, 200);
  EXPECT_EQ(std::wstring(text), L"Cleans cookies of: Chromium, Firefox \u2014 when they are closed");
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

// A damaged store is reported once and left as it is; the others go on.
TEST_F(Stores, DamagedStoreIsReportedOnceAndLeftAsItIs) {
  const std::string garbage(8192, 'x');
  WriteFile(chromium, garbage);
  ASSERT_TRUE(MakeCookieStore(firefox, true, kCookies));
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  EXPECT_TRUE(WaitUntil([&] { return Log().find("Firefox") != std::string::npos; })) << Log();
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(folder + "\\err.log").find(chromium) != std::string::npos; }));
  Sleep(1000);
  EXPECT_EQ(Count(ReadFile(folder + "\\err.log"), chromium), 1u) << ReadFile(folder + "\\err.log");
  EXPECT_EQ(ReadFile(chromium), garbage);
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

// The stores that Debian's chromium and firefox-esr wrote, placed into this
// prefix's profile folders; the cleaned ones go back for the browsers to open.
TEST_F(Stores, RealBrowsersStoresAreCleaned) {
  char given[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("NV_BROWSER_STORES", given, sizeof given))
    GTEST_SKIP() << "NV_BROWSER_STORES is not set (tests/e2e/real_browsers/run sets it)";
  const std::string stores = given;
  ASSERT_TRUE(CopyFileA((stores + "\\chromium-Cookies").c_str(), chromium.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((stores + "\\firefox-cookies.sqlite").c_str(), firefox.c_str(), FALSE));
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  EXPECT_TRUE(WaitUntil([&] {
    return Log().find("Chromium, profile") != std::string::npos && Log().find("Firefox, profile") != std::string::npos;
  })) << Log();
  app.Close();
  EXPECT_TRUE(app.WaitExit());
  std::printf("%s", Log().c_str());
  EXPECT_EQ(ReadFile(folder + "\\err.log").find("cookie store"), std::string::npos) << ReadFile(folder + "\\err.log");
  EXPECT_TRUE(CopyFileA(chromium.c_str(), (stores + "\\cleaned-chromium-Cookies").c_str(), FALSE));
  EXPECT_TRUE(CopyFileA(firefox.c_str(), (stores + "\\cleaned-firefox-cookies.sqlite").c_str(), FALSE));
}

}  // namespace
