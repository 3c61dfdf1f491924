// Block-list subscriptions of the real program against a list server of the
// test's own on 127.0.0.2: the first fetch reaches HOSTS nine names a line,
// "Update now" asks whether the list changed, answers that are no list or
// over the size cap keep the last good copy, a start without the server uses
// that copy, a server whose certificate no one vouches for is refused and
// changes nothing, and the exit gives the user's HOSTS lines back byte for
// byte.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "harness/harness.h"
#include "harness/settings_driver.h"
#include "harness/test_http_server.h"
#include "harness/tls_servers.h"
#include "settings/block_lists_ids.h"
#include "settings/block_lists_tab.h"
#include "settings/settings_ids.h"

using namespace e2e;
namespace lid = nv::lists_id;

namespace {

// In list-file form, so that the hand-back is the very same bytes.
const char kUserHosts[] = "# user\r\n127.0.0.1 localhost\r\n10.0.0.5 nas\r\n\r\n\r\n";
const char kListPath[] = "/lists/hosts.txt";

std::string ListBody(int names, const std::string& stem = "n") {
  std::string body = "# a published list\n127.0.0.1 localhost\n::1 localhost\n";
  for (int i = 0; i < names; ++i) body += "0.0.0.0 " + stem + std::to_string(i) + ".e2e.example\n";
  return body;
}

// The most names on any line of the file, and whether a name is on one.
int MostNamesOnALine(const std::string& hosts) {
  int most = 0;
  size_t start = 0;
  while (start < hosts.size()) {
    size_t end = hosts.find("\r\n", start);
    if (end == std::string::npos) end = hosts.size();
    int fields = 0;
    bool inField = false;
    for (size_t i = start; i < end; ++i) {
      const bool blank = hosts[i] == ' ' || hosts[i] == '\t';
      if (!blank && !inField) ++fields;
      inField = !blank;
    }
    most = std::max(most, fields - 1);
    start = end + 2;
  }
  return most;
}

// The last good copies in a program folder: name and bytes of each.
std::vector<std::pair<std::string, std::string>> Copies(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> copies;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\data\\list-*.txt").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return copies;
  do copies.emplace_back(found.cFileName, ReadFile(folder + "\\data\\" + found.cFileName));
  while (FindNextFileA(find, &found));
  FindClose(find);
  return copies;
}

class BlockLists : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    WriteFile(HostsPath(), kUserHosts);
    folder = InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name());
    server = std::make_unique<TestHttpServer>();
    ASSERT_TRUE(server->Listening());
    url = server->Url() + kListPath;
  }
  void TearDown() override {
    if (!app || !app->Running()) return;
    app->Close();
    EXPECT_TRUE(app->WaitExit());
  }
  void Subscribe() { WriteFile(folder + "\\data\\lists.svr", url + "\r\n\r\n\r\n"); }
  bool StartNorvane() {
    app = std::make_unique<Norvane>(folder);
    return app->Start() && app->WaitRunning();
  }
  bool HostsHas(const std::string& name) {
    return WaitUntil([&] { return ReadFile(HostsPath()).find(" " + name) != std::string::npos; }, 20000);
  }
  // Opens the dialog on the fifth tab.
  HWND ListsTab() {
    HWND dialog = OpenSettings(*app);
    if (!dialog) return nullptr;
    ClickTab(ControlById(dialog, nv::settings_id::kTab), nv::kBlockListsTab);
    return dialog;
  }
  bool StateSays(HWND dialog, const std::string& part) {
    return WaitUntil([&] { return TextOf(ControlById(dialog, lid::kState)).find(part) != std::string::npos; }, 20000);
  }

  std::string folder, url;
  std::unique_ptr<TestHttpServer> server;
  std::unique_ptr<Norvane> app;
};

TEST_F(BlockLists, AFetchedListReachesHostsNineALineAndUpdateNowAsksWhetherItChanged) {
  server->Serve(kListPath, {200, ListBody(300), 0, "", "\"v1\""});
  Subscribe();
  ASSERT_TRUE(StartNorvane());
  ASSERT_TRUE(HostsHas("n299.e2e.example")) << ReadFile(HostsPath());
  const std::string hosts = ReadFile(HostsPath());
  EXPECT_EQ(hosts.find("127.0.0.1 101com.com\r\n"), 0u) << "the user's own block list comes first";
  EXPECT_LE(MostNamesOnALine(hosts), 9);
  EXPECT_NE(hosts.find("127.0.0.1 n0.e2e.example n1.e2e.example n10.e2e.example"), std::string::npos);
  EXPECT_EQ(hosts.find(" localhost"), std::string::npos) << "the list's own loopback names are not taken";
  EXPECT_EQ(ReadFile(folder + "\\data\\hosts.own"), hosts) << "the record covers every line";

  HWND dialog = ListsTab();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(IsWindowVisible(ControlById(dialog, lid::kPage)));
  EXPECT_EQ(RowText(ControlById(dialog, lid::List(0)), 0), url);
  EXPECT_TRUE(StateSays(dialog, "300 names; last good update: "));
  EXPECT_TRUE(StateSays(dialog, "up to date"));
  Click(ControlById(dialog, lid::kUpdateNow));
  ASSERT_TRUE(WaitUntil([&] { return server->Count(kListPath) == 2; }));
  EXPECT_NE(server->Requests().back().head.find("\r\nIf-None-Match: \"v1\""), std::string::npos);
  EXPECT_TRUE(StateSays(dialog, "not modified"));
  EXPECT_NE(ReadFile(HostsPath()).find(" n299.e2e.example"), std::string::npos);

  app->Close();
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts) << "the exit gives the user's lines back byte for byte";
}

TEST_F(BlockLists, AWebPageOrAnEmptyAnswerKeepsTheLastGoodCopyWhichAnOfflineStartUses) {
  server->Serve(kListPath, {200, ListBody(150), 0, ""});
  Subscribe();
  ASSERT_TRUE(StartNorvane());
  ASSERT_TRUE(HostsHas("n149.e2e.example"));
  HWND dialog = ListsTab();
  ASSERT_TRUE(dialog);
  server->Serve(kListPath, {200, "<!DOCTYPE html>\n<html><body>" + ListBody(200, "w") + "</body></html>", 0, "", "",
                            "text/html"});
  Click(ControlById(dialog, lid::kUpdateNow));
  EXPECT_TRUE(StateSays(dialog, "web page"));
  server->Serve(kListPath, {200, "", 0, ""});
  Click(ControlById(dialog, lid::kUpdateNow));
  EXPECT_TRUE(StateSays(dialog, "0 names, too few"));
  // Past the cap: a list of real names, padded with comments to 33 MiB.
  server->Serve(kListPath, {200, ListBody(200, "big") + std::string(33u << 20, '#'), 0, ""});
  Click(ControlById(dialog, lid::kUpdateNow));
  EXPECT_TRUE(StateSays(dialog, "larger than 32768 KB"));
  EXPECT_TRUE(StateSays(dialog, "150 names"));
  const std::string hosts = ReadFile(HostsPath());
  EXPECT_NE(hosts.find(" n149.e2e.example"), std::string::npos);
  EXPECT_EQ(hosts.find(" w0.e2e.example"), std::string::npos);
  EXPECT_EQ(hosts.find(" big0.e2e.example"), std::string::npos);
  app->Close();
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts);

  // No server now: the copy is what this start blocks.
  server.reset();
  ASSERT_TRUE(StartNorvane());
  EXPECT_TRUE(HostsHas("n149.e2e.example"));
  EXPECT_LE(MostNamesOnALine(ReadFile(HostsPath())), 9);
  app->Close();
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts);
}

TEST_F(BlockLists, AListSubscribedOnTheTabIsFetchedWhenApplied) {
  server->Serve(kListPath, {200, ListBody(120), 0, ""});
  ASSERT_TRUE(StartNorvane());
  HWND dialog = ListsTab();
  ASSERT_TRUE(dialog);
  HWND list = ControlById(dialog, lid::List(0));
  EXPECT_EQ(RowCount(list), 0) << "a test instance subscribes to nothing";
  TypeText(ControlById(dialog, lid::Entry(0)), url);
  Click(ControlById(dialog, lid::Add(0)));
  ASSERT_TRUE(WaitUntil([&] { return RowCount(list) == 1; }));
  TypeText(ControlById(dialog, lid::Entry(1)), "n7.e2e.example");
  Click(ControlById(dialog, lid::Add(1)));
  ASSERT_TRUE(WaitUntil([&] { return RowCount(ControlById(dialog, lid::List(1))) == 1; }));
  SettledScreenshot("settings-block-lists.png");
  Click(ControlById(dialog, nv::settings_id::kOk));
  ASSERT_TRUE(HostsHas("n119.e2e.example"));
  EXPECT_EQ(ReadFile(HostsPath()).find(" n7.e2e.example"), std::string::npos) << "allowed";
  EXPECT_EQ(ReadFile(folder + "\\data\\lists.svr"), url + "\r\n\r\n\r\n");
  EXPECT_EQ(ReadFile(folder + "\\data\\allow.svr"), "n7.e2e.example\r\n\r\n\r\n");
}

// A WinINet failure ("... (12045)." or, where Wine has no text for it,
// "WinINet error 12045."), but not for want of a connection (12029).
bool IsWinINetFailure(const std::string& state) {
  return state.find(" (12") != std::string::npos || state.find("WinINet error 12") != std::string::npos;
}
bool RefusedForItsCertificate(const std::string& state) {
  return IsWinINetFailure(state) && state.find("12029") == std::string::npos;
}

bool FetchFails(HWND dialog) {
  return WaitUntil([&] { return IsWinINetFailure(TextOf(ControlById(dialog, lid::kState))); }, 20000);
}

TEST_F(BlockLists, AServerWithABadCertificateGivesNothingAndTheLastGoodCopyStays) {
  TlsServers tls;
  ASSERT_TRUE(tls.ok()) << "the HTTPS servers did not start (python3 and openssl)";
  const std::string untrusted = tls.Url(tls.selfSigned, "/ok");

  // No copy yet: none is made, and HOSTS gets no subscribed names.
  WriteFile(folder + "\\data\\lists.svr", untrusted + "\r\n\r\n\r\n");
  ASSERT_TRUE(StartNorvane());
  HWND dialog = ListsTab();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(StateSays(dialog, "0 names; last good update: "));
  ASSERT_TRUE(FetchFails(dialog)) << TextOf(ControlById(dialog, lid::kState));
  EXPECT_TRUE(RefusedForItsCertificate(TextOf(ControlById(dialog, lid::kState))))
      << TextOf(ControlById(dialog, lid::kState));
  EXPECT_TRUE(Copies(folder).empty());
  EXPECT_EQ(ReadFile(HostsPath()).find(".e2e.example"), std::string::npos);
  app->Close();
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts);

  // A good copy; then the list's server sends its requests on to the
  // untrusted one. The copy, and HOSTS, stay as they were.
  server->Serve(kListPath, {200, ListBody(150), 0, ""});
  Subscribe();
  ASSERT_TRUE(StartNorvane());
  ASSERT_TRUE(HostsHas("n149.e2e.example"));
  dialog = ListsTab();
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(StateSays(dialog, "up to date"));
  const auto copies = Copies(folder);
  ASSERT_EQ(copies.size(), 1u);
  const std::string hosts = ReadFile(HostsPath());
  server->Serve(kListPath, {302, "", 0, untrusted});
  Click(ControlById(dialog, lid::kUpdateNow));
  ASSERT_TRUE(WaitUntil([&] { return server->Count(kListPath) == 2; }));
  ASSERT_TRUE(FetchFails(dialog)) << TextOf(ControlById(dialog, lid::kState));
  const std::string state = TextOf(ControlById(dialog, lid::kState));
  EXPECT_TRUE(RefusedForItsCertificate(state)) << state;
  EXPECT_EQ(state.find("150 names; last good update: "), 0u) << state;
  EXPECT_EQ(Copies(folder), copies);
  EXPECT_EQ(ReadFile(HostsPath()), hosts);
  app->Close();
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts);
}

}  // namespace
