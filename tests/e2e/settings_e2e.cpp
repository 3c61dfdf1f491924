// The settings dialog of the real program: opened from the tray, its lists
// and options edited as a user would, then OK, Cancel or a failing Apply;
// the cached-address tab's lookups over the network.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/settings_driver.h"
#include "harness/silent_listener.h"
#include "settings/settings_ids.h"
#include "settings/settings_texts.h"

using namespace e2e;
namespace id = nv::settings_id;

namespace {

const char kUserHosts[] = "# user\r\n127.0.0.1 localhost\r\n";
constexpr int kDnsTab = 2;

struct Winsock {
  Winsock() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
  }
  ~Winsock() { WSACleanup(); }
} winsock;

sockaddr_in Loopback(const char* dotted, int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<u_short>(port));
  a.sin_addr.s_addr = inet_addr(dotted);
  return a;
}

// One request to Norvane's web server; its reply's first line, or what failed.
std::string AskAdServer() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const DWORD limitMs = 5000;  // a stalled server fails the test rather than hanging it
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limitMs), sizeof limitMs);
  sockaddr_in a = Loopback("127.0.0.1", 80);
  std::string reply;
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) reply = "(no connection)";
  const char request[] = "GET /banner.gif HTTP/1.0\r\nHost: ads.example\r\n\r\n";
  if (reply.empty() && send(s, request, sizeof request - 1, 0) == sizeof request - 1) {
    char buf[4096];
    for (int n; (n = recv(s, buf, sizeof buf, 0)) > 0;) reply.append(buf, static_cast<std::size_t>(n));
  }
  closesocket(s);
  return reply.substr(0, reply.find("\r\n"));
}

const char* const kLists[] = {"\\data\\hosts.svr", "\\data\\cookies.svr", "\\data\\dns.svr", "\\data\\popups.svr"};

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    WriteFile(HostsPath(), kUserHosts);
    app = std::make_unique<Norvane>(InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    ASSERT_TRUE(app->Start());
    ASSERT_TRUE(app->WaitRunning());
    dialog = OpenSettings(*app);
    ASSERT_TRUE(dialog);
  }
  void TearDown() override {
    if (!app || !app->Running()) return;
    app->Close();
    EXPECT_TRUE(app->WaitExit());
  }
  HWND Get(int controlId) { return ControlById(dialog, controlId); }
  std::string Count(int family) { return TextOf(Get(id::Count(family))); }
  int RowOf(int family, const std::string& entry) {
    HWND list = Get(id::List(family));
    for (int i = 0, n = RowCount(list); i < n; ++i)
      if (RowText(list, i) == entry) return i;
    return -1;
  }
  // Types an entry into a tab's box and presses its Add; true once counted.
  bool Add(int family, const std::string& entry) {
    ClickTab(Get(id::kTab), family);
    const int before = RowCount(Get(id::List(family)));
    TypeText(Get(id::Entry(family)), entry);
    if (!IsWindowEnabled(Get(id::Add(family)))) return false;
    Click(Get(id::Add(family)));
    return WaitUntil([&] { return Count(family) == std::to_string(before + 1); }, 5000);
  }
  HWND WaitConfirm() {
    HWND confirm = nullptr;
    WaitUntil([&] { return (confirm = FindDialog(*app, "Are you Sure?")) != nullptr; }, 5000);
    return confirm;
  }
  bool Closed() { return WaitUntil([&] { return !FindDialog(*app, "Settings"); }, 5000); }
  // Types a site on the cached-address tab and presses its Add.
  void LookUp(const std::string& site) {
    ClickTab(Get(id::kTab), kDnsTab);
    TypeText(Get(id::Entry(kDnsTab)), site);
    Click(Get(id::Add(kDnsTab)));
  }
  std::string DnsBox() { return TextOf(Get(id::Entry(kDnsTab))); }
  std::vector<std::string> ListFiles() {
    std::vector<std::string> bytes;
    for (const char* list : kLists) bytes.push_back(ReadFile(app->File(list)));
    return bytes;
  }

  std::unique_ptr<Norvane> app;
  HWND dialog = nullptr;
};

TEST_F(Settings, EditsAppliedWithOkReachTheFilesTheSettingsAndTheHostsFile) {
  HWND tab = Get(id::kTab);
  EXPECT_EQ(CurrentTab(tab), 2) << "opens on \"&DNS Caching\"";
  PostMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(dialog) != FALSE; }));
  PostMessageA(app->MainWindow(), WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(dialog) && GetForegroundWindow() == dialog; }))
      << "a second opening brings the same dialog forward";
  EXPECT_EQ(FindDialog(*app, "Settings"), dialog);

  // Ad servers: add one with spaces around it, remove one, add one with Enter.
  ClickTab(tab, 0);
  EXPECT_TRUE(IsWindowVisible(Get(id::Page(0))));
  HWND servers = Get(id::List(0));
  const int rows = RowCount(servers);
  EXPECT_EQ(Count(0), std::to_string(rows));
  ASSERT_TRUE(Add(0, "  aaa-e2e.example  "));
  EXPECT_EQ(TextOf(Get(id::Entry(0))), "");
  EXPECT_EQ(SelectedRow(servers), rows) << "the last entry is selected after Add";
  EXPECT_GE(RowOf(0, "aaa-e2e.example"), 0);
  const int gone = RowOf(0, "101com.com");
  ASSERT_GE(gone, 0);
  SelectRow(servers, gone);
  EXPECT_TRUE(WaitUntil([&] { return TextOf(Get(id::Entry(0))) == "101com.com"; }));
  Click(Get(id::Remove(0)));
  ASSERT_TRUE(WaitUntil([&] { return Count(0) == std::to_string(rows); }));
  TypeText(Get(id::Entry(0)), "zzz-e2e.example");
  PostKeys(Get(id::Entry(0)), {VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return Count(0) == std::to_string(rows + 1); }));

  ASSERT_TRUE(Add(1, "e2esite"));
  Click(Get(id::kAllCookies));  // asks; "&No" puts the box back
  HWND confirm = WaitConfirm();
  ASSERT_TRUE(confirm);
  EXPECT_EQ(TextOf(ControlById(confirm, id::kLabel1)), "Do you want to delete ALL cookies?");
  Click(ControlById(confirm, id::kNo));
  ASSERT_TRUE(WaitUntil([&] { return !FindDialog(*app, "Are you Sure?"); }));
  EXPECT_FALSE(Checked(Get(id::kAllCookies)));
  Click(Get(id::kAllCookies));
  ASSERT_TRUE(confirm = WaitConfirm());
  Click(ControlById(confirm, id::kYes));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Get(id::List(1))); }));
  EXPECT_TRUE(Checked(Get(id::kAllCookies)));

  ASSERT_TRUE(Add(3, "E2E Caption"));
  Click(Get(id::kBlockAllPops));
  ClickTab(tab, 2);
  EXPECT_FALSE(IsWindowEnabled(Get(id::List(2))));
  Click(Get(id::kUseDns));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Get(id::List(2))) != FALSE; }));
  ClickTab(tab, 0);
  PostKeys(Get(id::kColours), {VK_DOWN, VK_DOWN, VK_DOWN});
  Click(Get(id::kCheck1));
  ASSERT_TRUE(WaitUntil([&] { return Checked(Get(id::kCheck1)); }));
  Click(Get(id::kOk));
  ASSERT_TRUE(Closed());

  const std::string hosts = ReadFile(app->File("\\data\\hosts.svr"));
  EXPECT_NE(hosts.find("\r\naaa-e2e.example\r\n"), std::string::npos);
  EXPECT_EQ(hosts.find("101com.com"), std::string::npos);
  EXPECT_EQ(hosts.substr(hosts.size() - 21), "zzz-e2e.example\r\n\r\n\r\n");
  EXPECT_NE(ReadFile(app->File("\\data\\cookies.svr")).find("\r\ne2esite\r\n\r\n\r\n"), std::string::npos);
  EXPECT_NE(ReadFile(app->File("\\data\\popups.svr")).find("\r\nE2E Caption\r\n\r\n\r\n"), std::string::npos);
  EXPECT_EQ(GetSetting("Settings", "Color").value_or("absent"), "3");
  EXPECT_EQ(GetSetting("Settings", "All").value_or("absent"), "1");
  EXPECT_EQ(GetSetting("Settings", "UseDNS").value_or("absent"), "1");
  EXPECT_EQ(GetSetting("Settings", "AllPops").value_or("absent"), "1");
  EXPECT_EQ(ReadFile(app->File("\\start.ini")), "1\r\n");
  char run[MAX_PATH] = {};
  DWORD size = sizeof run;
  EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN", "Norvane.exe",
                         RRF_RT_REG_SZ, nullptr, run, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(run), app->folder() + "\\Norvane.exe");
  // "Block &Ads" is on: the HOSTS file was rebuilt from the new list.
  const std::string system = ReadFile(HostsPath());
  EXPECT_NE(system.find("127.0.0.1 aaa-e2e.example\r\n"), std::string::npos) << system.substr(0, 200);
  EXPECT_EQ(system.find("127.0.0.1 101com.com\r\n"), std::string::npos);
}

TEST_F(Settings, ShowsItsCaptionsAndTooltips) {
  namespace text = nv::settings_text;
  EXPECT_EQ(TextOf(dialog), "Settings");
  EXPECT_EQ(TextOf(Get(id::kTitle)), text::kTitle);
  EXPECT_EQ(TextOf(Get(id::kAllCookies)), text::kAllCookies);
  EXPECT_EQ(TextOf(Get(id::kCookieHint)), text::kCookieHint);
  EXPECT_EQ(TextOf(Get(id::kCheck1)), "Start Norvane! at Windows Start-up.");
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(TextOf(Get(id::Add(n))), "&Add");
    EXPECT_EQ(TextOf(Get(id::Remove(n))), "&Remove");
  }
  // A tooltip gives back at most 80 characters of its text (it shows all of it).
  const std::map<int, std::string> tips = {{id::List(0), text::kFamilies[0].tooltip},
                                           {id::List(1), text::kFamilies[1].tooltip},
                                           {id::List(2), text::kFamilies[2].tooltip},
                                           {id::kColours, text::kColourTip},
                                           {id::kAllCookies, text::kAllCookiesTip},
                                           {id::kCookieHint, text::kCookieHintTip}};
  const auto shown = Tooltips(dialog);
  ASSERT_EQ(shown.size(), tips.size());
  for (const auto& [control, tip] : tips) EXPECT_EQ(shown.at(control), tip.substr(0, 80)) << control;
}

TEST_F(Settings, CancelAndEscapeLeaveEverythingAsItWas) {
  const auto before = ListFiles();
  const std::string hosts = ReadFile(HostsPath());
  ASSERT_TRUE(Add(0, "cancelled.example"));
  Click(Get(id::kUseDns));
  Click(Get(id::kCheck1));
  Click(Get(id::kCancel));
  ASSERT_TRUE(Closed());
  EXPECT_EQ(ListFiles(), before);
  EXPECT_FALSE(GetSetting("Settings", "UseDNS").has_value());
  EXPECT_FALSE(Exists(app->File("\\start.ini")));
  EXPECT_EQ(ReadFile(HostsPath()), hosts);

  dialog = OpenSettings(*app);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(RowOf(0, "cancelled.example"), -1) << "reopening reads the files afresh";
  ASSERT_TRUE(Add(1, "escaped"));
  PostKeys(dialog, {VK_ESCAPE});
  ASSERT_TRUE(Closed());
  EXPECT_EQ(ListFiles(), before);
}

// A list file that cannot be written: the error box, an "\err.log" entry,
// and the dialog keeps the edit so that a second Apply can succeed.
TEST_F(Settings, ReadOnlyBlockListAtApplyShowsTheErrorAndLosesNothing) {
  ASSERT_TRUE(Add(0, "kept.example"));
  const std::string path = app->File("\\data\\hosts.svr");
  const std::string before = ReadFile(path);
  SetAttributes(path, FILE_ATTRIBUTE_READONLY);
  Click(Get(id::kApply));
  auto box = WaitBox("Error");
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text.rfind("75 : ", 0), 0u) << box->text;
  // The box belongs to the dialog: in front of it, and the dialog takes no
  // clicks (no second Apply, no OK) until it is answered.
  EXPECT_EQ(GetWindow(box->hwnd, GW_OWNER), dialog);
  EXPECT_FALSE(IsWindowEnabled(dialog));
  EXPECT_EQ(ReadFile(app->File("\\err.log")).find("75:"), std::string::npos) << "the box first, then the log";
  DismissBox(*box);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(app->File("\\err.log")).find("75:") != std::string::npos; }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_TRUE(IsWindowEnabled(Get(id::kApply)));
  EXPECT_GE(RowOf(0, "kept.example"), 0);

  SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
  Click(Get(id::kApply));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Get(id::kApply)); }));
  EXPECT_NE(ReadFile(path).find("\r\nkept.example\r\n"), std::string::npos);
}

// The exit sequence unloads the dialog while Apply waits in its error box:
// the dialog must outlive the handler that opened the box.
TEST_F(Settings, AnExitWhileApplysErrorBoxIsOpenEndsCleanly) {
  const std::string path = app->File("\\data\\hosts.svr");
  SetAttributes(path, FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(Add(0, "late.example"));
  Click(Get(id::kOk));
  auto box = WaitBox("Error");
  ASSERT_TRUE(box);
  app->Close();
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); })) << "the exit unloads the dialog under the box";
  if (IsWindow(box->hwnd)) DismissBox(*box);
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(app->ExitCode(), 0u);
  const std::string hosts = ReadFile(HostsPath());
  EXPECT_NE(hosts.find("# user"), std::string::npos);
  EXPECT_EQ(hosts.find("101com.com"), std::string::npos) << "the exit still put the user's lines back";
  SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
}

// Norvane's own server answers on port 80 of localhost.
TEST_F(Settings, AddLooksASiteUpAndOkPutsItsEntryInTheHostsFile) {
  LookUp("  localhost  ");
  ASSERT_TRUE(WaitUntil([&] { return Count(kDnsTab) == "1"; }, 15000));
  HWND list = Get(id::List(kDnsTab));
  EXPECT_EQ(RowText(list, 0), "127.0.0.1 localhost");
  EXPECT_EQ(SelectedRow(list), 0);
  EXPECT_EQ(DnsBox(), "");
  EXPECT_TRUE(IsWindowEnabled(Get(id::kApply)));
  LookUp("localhost");  // listed already: shown, not added
  EXPECT_TRUE(WaitUntil([&] { return DnsBox() == "127.0.0.1 localhost"; }, 15000));
  EXPECT_EQ(Count(kDnsTab), "1");

  Click(Get(id::kUseDns));
  ASSERT_TRUE(WaitUntil([&] { return Checked(Get(id::kUseDns)); }));
  Click(Get(id::kOk));
  ASSERT_TRUE(Closed());
  EXPECT_EQ(ReadFile(app->File("\\data\\dns.svr")), "127.0.0.1 localhost\r\n\r\n\r\n");
  const std::string hosts = ReadFile(HostsPath());
  const std::string tail = "\r\n\r\n127.0.0.1 localhost\r\n\r\n\r\n";
  ASSERT_GE(hosts.size(), tail.size());
  EXPECT_EQ(hosts.substr(hosts.size() - tail.size()), tail) << hosts.substr(hosts.size() - 100);
}

// Names that cannot be looked up, however odd, end in the same box and
// never in the list.
TEST_F(Settings, ASiteThatCannotBeFoundShowsHostNotFoundAndClearsTheBox) {
  const std::vector<std::string> sites = {"nothing.invalid", "local host", std::string(10000, 'a'),
                                          "bad\x01name", "::1"};
  for (const std::string& site : sites) {
    SCOPED_TRACE(site.substr(0, 20));
    LookUp(site);
    auto box = WaitBox("Error", 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Host not found");
    // The harness reads at most 2,047 characters of a control's text.
    EXPECT_EQ(DnsBox(), site.substr(0, 2047)) << "cleared only once the box is dismissed";
    DismissBox(*box);
    EXPECT_TRUE(WaitUntil([&] { return DnsBox().empty(); }));
    EXPECT_EQ(Count(kDnsTab), "0");
  }
}

// The lookup never holds up the program: the ad server answers and the
// dialog takes messages while it waits. It sets no time limit of its own
// (a slow site is left to the system's time-outs), so it is still waiting
// well after ten seconds.
TEST_F(Settings, TheAdServerKeepsAnsweringWhileALookupWaits) {
  SilentListener site("127.0.0.2", 80);
  ASSERT_TRUE(site.ok());
  LookUp("127.0.0.2");
  const ULONGLONG start = GetTickCount64();
  ULONGLONG slowest = 0;
  for (int i = 0; i < 5; ++i) {
    const ULONGLONG asked = GetTickCount64();
    EXPECT_EQ(AskAdServer(), "HTTP/1.1 200 OK");
    slowest = std::max(slowest, GetTickCount64() - asked);
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
    Sleep(300);
  }
  EXPECT_LT(slowest, 2000u);
  std::printf("slowest ad reply while a lookup waited: %llu ms\n", slowest);
  while (GetTickCount64() - start < 11000) {
    ASSERT_FALSE(FindBox("Error")) << "gave up after " << GetTickCount64() - start << " ms";
    Sleep(250);
  }
  EXPECT_EQ(AskAdServer(), "HTTP/1.1 200 OK");
  // Cancel leaves the waiting lookup behind: nothing of it shows afterwards.
  Click(Get(id::kCancel));
  ASSERT_TRUE(Closed());
}

// Tab from the default "&Yes" to "&No": Enter presses the focused button.
TEST_F(Settings, EnterOnNoInTheConfirmationAnswersNo) {
  ClickTab(Get(id::kTab), 1);
  Click(Get(id::kAllCookies));
  HWND confirm = WaitConfirm();
  ASSERT_TRUE(confirm);
  HWND yes = ControlById(confirm, id::kYes), no = ControlById(confirm, id::kNo);
  ASSERT_TRUE(SendMessageA(yes, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) << "\"&Yes\" is the default";
  PostKeys(yes, {VK_TAB});
  ASSERT_TRUE(WaitUntil([&] { return (SendMessageA(no, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0; }))
      << "the focused button becomes the default";
  EXPECT_FALSE(SendMessageA(yes, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  PostKeys(no, {VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return !FindDialog(*app, "Are you Sure?"); }));
  EXPECT_FALSE(Checked(Get(id::kAllCookies))) << "Enter on \"&No\" answered yes";
  EXPECT_TRUE(IsWindowEnabled(Get(id::List(1))));
}

// A typed letter in a list jumps to the first entry that begins with it.
TEST_F(Settings, TypingInTheBlockedServersListFindsTheEntry) {
  ClickTab(Get(id::kTab), 0);
  HWND list = Get(id::List(0));
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
  PostMessageA(list, WM_CHAR, 'z', 1);
  int row = -1;
  ASSERT_TRUE(WaitUntil([&] { return (row = SelectedRow(list)) >= 0; }));
  const std::string found = RowText(list, row);
  EXPECT_TRUE(!found.empty() && (found[0] == 'z' || found[0] == 'Z')) << found;
  if (row > 0) {
    EXPECT_NE(RowText(list, row - 1).substr(0, 1), "z") << "the first such entry";
  }
  EXPECT_TRUE(WaitUntil([&] { return TextOf(Get(id::Entry(0))) == found; })) << "selected as a click selects it";
}

TEST_F(Settings, AccessKeysSwitchTabsAndTheExitDropsWhatWasNotApplied) {
  PostMessageA(dialog, WM_SYSCHAR, 'b', 1 << 29);
  EXPECT_TRUE(WaitUntil([&] { return CurrentTab(Get(id::kTab)) == 0; }));
  PostMessageA(dialog, WM_SYSCHAR, 'p', 1 << 29);
  EXPECT_TRUE(WaitUntil([&] { return CurrentTab(Get(id::kTab)) == 3; }));
  const auto before = ListFiles();
  ASSERT_TRUE(Add(3, "Unapplied"));
  app->Close();
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(ListFiles()[3], before[3]);
}

}  // namespace
