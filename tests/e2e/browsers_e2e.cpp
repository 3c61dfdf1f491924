// Ad blocking for today's browsers with the real program under Wine: where
// blocked names point (the first start's choice, Apply switching it both
// ways with the cached addresses kept), the names Windows Defender protects,
// a HOSTS file replaced behind Norvane's back, and the count of a burst of
// HTTPS connections to the refuser.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "harness/harness.h"
#include "harness/settings_driver.h"
#include "settings/settings_ids.h"

using namespace e2e;
namespace id = nv::settings_id;

namespace {

const char kUserHosts[] = "# the user's\r\n10.0.0.7 nas.lan\r\n";
const char kUserListForm[] = "# the user's\r\n10.0.0.7 nas.lan\r\n\r\n\r\n";

struct Winsock {
  Winsock() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
  }
  ~Winsock() { WSACleanup(); }
} winsock;

bool Starts(const std::string& prefix) { return ReadFile(HostsPath()).rfind(prefix, 0) == 0; }
bool Has(const std::string& text) { return ReadFile(HostsPath()).find(text) != std::string::npos; }

std::string FirefoxProfiles() {
  char appData[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
  const std::string mozilla = std::string(appData) + "\\Mozilla";
  CreateDirectoryA(mozilla.c_str(), nullptr);
  CreateDirectoryA((mozilla + "\\Firefox").c_str(), nullptr);
  return mozilla + "\\Firefox\\profiles.ini";
}

class Browsers : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    WriteFile(HostsPath(), kUserHosts);
    folder = InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    if (app && app->Running()) {
      app->Close();
      EXPECT_TRUE(app->WaitExit());
    }
  }
  bool StartRunning() {
    app = std::make_unique<Norvane>(folder);
    return app->Start() && app->WaitRunning();
  }
  std::string AdsLog() { return ReadFile(folder + "\\ads.log"); }
  bool Logged(const std::string& text) { return AdsLog().find(text) != std::string::npos; }

  std::string folder;
  std::unique_ptr<Norvane> app;
};

TEST_F(Browsers, ApplySwitchesWhereBlockedNamesPointAndCachedAddressesKeepTheirOwn) {
  SetSetting("Settings", "UseDNS", "1");
  WriteFile(folder + "\\data\\dns.svr", "10.1.2.3 intranet.lan\r\n");
  ASSERT_TRUE(StartRunning());
  ASSERT_TRUE(WaitUntil([] { return Starts("127.0.0.1 "); })) << "no Firefox profile: the Parts' lines";
  EXPECT_EQ(GetSetting("Settings", "RedirectAddress").value_or("absent"), "127.0.0.1");
  HWND dialog = OpenSettings(*app);
  ASSERT_TRUE(dialog);
  ClickTab(ControlById(dialog, id::kTab), 0);
  HWND redirect = ControlById(dialog, id::kRedirect);
  ASSERT_TRUE(redirect);
  EXPECT_TRUE(IsWindowEnabled(ControlById(dialog, id::kColours)));
  PostKeys(redirect, {VK_DOWN});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(ControlById(dialog, id::kColours)); }))
      << "the colour matters only for 127.0.0.1";
  if (GetEnvironmentVariableA("NV_SHOTS", nullptr, 0)) {
    Sleep(1000);  // the picture for the README: let the tab switch repaint
    SettledScreenshot("settings-redirect.png");
  }
  Click(ControlById(dialog, id::kApply));
  ASSERT_TRUE(WaitUntil([] { return Starts("0.0.0.0 "); }));
  EXPECT_TRUE(Has("\r\n10.1.2.3 intranet.lan\r\n"));
  EXPECT_FALSE(Has("127.0.0.1 ")) << ReadFile(HostsPath());
  EXPECT_EQ(GetSetting("Settings", "RedirectAddress").value_or("absent"), "0.0.0.0");
  PostKeys(redirect, {VK_UP});
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(ControlById(dialog, id::kColours)) != FALSE; }));
  Click(ControlById(dialog, id::kOk));
  ASSERT_TRUE(WaitUntil([] { return Starts("127.0.0.1 "); }));
  EXPECT_FALSE(Has("0.0.0.0 ")) << ReadFile(HostsPath());
  app->Close();
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserListForm);
}

TEST_F(Browsers, AFirefoxUsersFirstStartPointsNowhereAndProtectedNamesAreLeftOut) {
  WriteFile(FirefoxProfiles(), "[Profile0]\r\nPath=abc.default\r\n");
  WriteFile(folder + "\\data\\hosts.svr", "ads-e2e.example\r\nwww.microsoft.com\r\nsls.update.microsoft.com\r\n");
  ASSERT_TRUE(StartRunning());
  ASSERT_TRUE(WaitUntil([] { return Starts("0.0.0.0 ads-e2e.example\r\n"); })) << ReadFile(HostsPath());
  EXPECT_FALSE(Has("microsoft"));
  EXPECT_EQ(GetSetting("Settings", "RedirectAddress").value_or("absent"), "0.0.0.0");
  EXPECT_TRUE(WaitUntil([&] { return Logged("HOSTS written without 2 names that Windows Defender protects"); }))
      << AdsLog();
  HWND dialog = OpenSettings(*app);
  ASSERT_TRUE(dialog);
  TypeText(ControlById(dialog, id::Entry(0)), "watson.telemetry.microsoft.com");
  Click(ControlById(dialog, id::Add(0)));
  auto box = WaitBox("Norvane!");
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find("cannot be blocked: Windows Defender"), std::string::npos) << box->text;
  DismissBox(*box);
  RemoveFile(FirefoxProfiles());
}

// Defender's reset leaves the file as Windows ships it: comments only.
TEST_F(Browsers, AReplacedHostsFileIsWrittenBackOnceAndAFightIsGivenUp) {
  ASSERT_TRUE(StartRunning());
  ASSERT_TRUE(WaitUntil([] { return Starts("127.0.0.1 "); }));
  WriteFile(HostsPath(), "# Copyright (c) 1993-2009 Microsoft Corp.\r\n");
  ASSERT_TRUE(WaitUntil([] { return Starts("127.0.0.1 "); }, 8000)) << "written back within seconds";
  EXPECT_TRUE(WaitUntil([&] { return Logged("the block lines were written back"); })) << AdsLog();
  WriteFile(HostsPath(), "# Copyright (c) 1993-2009 Microsoft Corp.\r\n");
  EXPECT_TRUE(WaitUntil([&] { return Logged("stopped rewriting it"); }, 8000)) << AdsLog();
  EXPECT_TRUE(WaitUntil([] { return Starts("# the user's\r\n"); })) << "Block Ads went off: the user's lines";
  EXPECT_TRUE(Has("# Copyright (c) 1993-2009 Microsoft Corp.")) << "the other program's line counts as the user's";
  Sleep(4000);
  EXPECT_FALSE(Has("127.0.0.1 ")) << "not written back again";
  app->Close();
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(GetSetting("Data", "AdBlock").value_or("absent"), "False");
}

// Chromium's habit, as measured: each blocked HTTPS request connects, is
// reset, and connects once more a few milliseconds later.
TEST_F(Browsers, ABurstOfHttpsConnectionsCountsOneAdForEachTwo) {
  ASSERT_TRUE(StartRunning());
  for (int i = 0; i < 10; ++i) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(443);
    inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0) << WSAGetLastError();
    const char hello[] = "\x16\x03\x01\x00\x05hello";  // the start of a TLS ClientHello
    send(s, hello, sizeof hello - 1, 0);
    char buf[16];
    EXPECT_LE(recv(s, buf, sizeof buf, 0), 0) << "closed without a handshake";
    closesocket(s);
  }
  EXPECT_TRUE(WaitUntil([&] { return app->StatusLine() == "Banner Ads:5 Deleted Cookies:0 Blocked Popups:0"; }))
      << app->StatusLine();
}

// Driven by tests/e2e/real_browsers/ads: Norvane runs in the mode that
// NV_REAL_ADS\mode names, hands over the HOSTS file it wrote (the browsers'
// names are mapped from it), and reports its status line until told done.
TEST_F(Browsers, RealBrowsersMeetTheHostsLines) {
  char dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("NV_REAL_ADS", dir, sizeof dir)) GTEST_SKIP() << "run by real_browsers/ads";
  const std::string at = dir;
  const std::string mode = ReadFile(at + "\\mode");
  SetSetting("Settings", "RedirectAddress", mode);
  WriteFile(folder + "\\data\\hosts.svr", ReadFile(at + "\\hosts.svr"));
  ASSERT_TRUE(StartRunning());
  ASSERT_TRUE(WaitUntil([&] { return Starts(mode + " "); })) << ReadFile(HostsPath());
  WriteFile(at + "\\hosts", ReadFile(HostsPath()));
  WriteFile(at + "\\ready", "1");
  const bool done = WaitUntil(
      [&] {
        WriteFile(at + "\\status.tmp", app->StatusLine());
        MoveFileExA((at + "\\status.tmp").c_str(), (at + "\\status").c_str(), MOVEFILE_REPLACE_EXISTING);
        return Exists(at + "\\done");
      },
      240000, 100);
  EXPECT_TRUE(done) << "the browsers never finished";
}

}  // namespace
