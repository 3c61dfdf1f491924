// Live update of the real program under Wine, against an update server that
// this test runs itself on 127.0.0.2. One program runs through the whole
// suite, in the order of the cases, so that the minute before the checker's
// first check is waited for only once.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "harness/harness.h"
#include "harness/settings_driver.h"
#include "harness/test_http_server.h"
#include "update/update_ids.h"

using namespace e2e;
namespace ids = nv::update_ids;

namespace {

constexpr char kVersionPath[] = "/norvane/update/application.ver";
constexpr char kNewsPath[] = "/norvane/update/News.txt";
constexpr char kNotes[] = "Norvane! 3.0.0\r\n\r\nFaster popup blocking.\r\n\r\nDownload it now?";
constexpr char kAnsweredBadly[] = "The update server answered, but not with the file that was asked for.";
constexpr char kNotAVersion[] = "The update server answered, but its answer is not a version number.";
constexpr int kLiveUpdate = 5;  // steps down the tray menu
constexpr char kUserHosts[] = "# user\r\n127.0.0.1 localhost\r\n";
constexpr char kUserListForm[] = "# user\r\n127.0.0.1 localhost\r\n\r\n\r\n";

struct Session {
  TestHttpServer server;
  std::unique_ptr<Norvane> app;
  ULONGLONG started = 0;
  ULONGLONG firstCheck = 0;   // when the checker's first request came
  ULONGLONG manualDone = 0;   // when the last request of the manual window was answered
};
Session* g = nullptr;

std::string LabelOf(HWND window, int id) { return TextOf(GetDlgItem(window, id)); }

HWND Find(const char* title) { return FindTopWindow("", title, g->app->pid()); }

// Any window of the program's process with this class, shown or not.
HWND FindHidden(const char* cls) {
  for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, cls, nullptr)) != nullptr;) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == g->app->pid()) return h;
  }
  return nullptr;
}

void ClickButton(HWND window, const char* caption) {
  HWND b = FindDescendant(window, "XpBs", caption);
  ASSERT_TRUE(b) << caption;
  Click(b);
}

HWND OpenManualWindow() {
  HWND w = nullptr;
  if (!g->app->PickMenuItem(kLiveUpdate)) return nullptr;
  WaitUntil([&] { return (w = Find("Internet Product Update")) != nullptr; });
  return w;
}

// Waits for the program's box, takes its text and presses the button.
std::string AnswerBox(int button = IDOK) {
  std::optional<Box> box = WaitBox("Norvane!", 15000);
  if (!box) return "(no box)";
  PostMessageA(box->hwnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  WaitUntil([&] { return !IsWindow(box->hwnd); }, 5000);
  return box->text;
}

// One request to the ad server on 127.0.0.1:80, in milliseconds.
ULONGLONG AdRequestMs() {
  const ULONGLONG t0 = GetTickCount64();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(80);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const DWORD timeoutMs = 15000;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    const char request[] = "GET /banner.gif HTTP/1.0\r\nHost: ads.example\r\n\r\n";
    send(s, request, sizeof request - 1, 0);
    char buf[4096];
    while (recv(s, buf, sizeof buf, 0) > 0) {
    }
  }
  closesocket(s);
  return GetTickCount64() - t0;
}

class Update : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g = new Session;
    if (!g->server.Listening()) return;
    ClearSettings();
    SetSetting("Settings", "UpdateServer", g->server.Url());
    WriteFile(HostsPath(), kUserHosts);
    g->server.Serve(kVersionPath, {200, "3.0.0\r\n"});
    g->server.Serve(kNewsPath, {200, kNotes});
    g->app = std::make_unique<Norvane>(InstallFresh("update"));
    g->started = GetTickCount64();
    if (g->app->Start()) g->app->WaitRunning();
  }
  static void TearDownTestSuite() {
    if (g->app && g->app->Running()) {
      g->app->Close();
      g->app->WaitExit();
    }
    delete g;
  }
  void SetUp() override {
    ASSERT_TRUE(g->server.Listening()) << "Wine did not let the test listen on 127.0.0.2";
    ASSERT_TRUE(g->app && g->app->Running());
  }
};

// The prompt comes by itself while the user types in the settings dialog:
// it comes to the front, but the keyboard stays where it was.
TEST_F(Update, CheckerPromptComesAMinuteAfterStartWithBothVersionsAndLeavesTheKeyboardAlone) {
  HWND settings = OpenSettings(*g->app);
  ASSERT_TRUE(settings);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == settings; }));
  HWND prompt = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (prompt = Find("Update?")) != nullptr; }, 90000, 100));
  EXPECT_EQ(GetForegroundWindow(), settings) << "a key typed now would answer the prompt";
  EXPECT_TRUE(IsWindowVisible(prompt));
  PostMessageA(settings, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
  const auto requests = g->server.Requests();
  ASSERT_FALSE(requests.empty());
  g->firstCheck = requests[0].at;
  EXPECT_EQ(requests[0].path, kVersionPath);
  EXPECT_GE(g->firstCheck - g->started, 57000u);
  EXPECT_LE(g->firstCheck - g->started, 70000u);
  EXPECT_EQ(LabelOf(prompt, ids::kLabel4), "2.0.1");
  EXPECT_EQ(LabelOf(prompt, ids::kLabel5), "3.0.0");
  for (const char* text : {"New Version Detected!", "Norvane!", "Would you like to Update Norvane! now?"})
    EXPECT_TRUE(FindDescendant(prompt, "Static", text)) << text;
  for (const char* group : {"Version info", "Current Version", "Update Version"})
    EXPECT_TRUE(FindDescendant(prompt, "Button", group)) << group;
  for (const char* button : {"&Yes", "&No", "Read whats New in this update!"})
    EXPECT_TRUE(FindDescendant(prompt, "XpBs", button)) << button;
  EXPECT_TRUE(FindHidden("NorvaneForm5"));
}

TEST_F(Update, PromptShowsTheReleaseNotesAndStaysOpen) {
  HWND prompt = Find("Update?");
  ASSERT_TRUE(prompt);
  ClickButton(prompt, "Read whats New in this update!");
  EXPECT_EQ(AnswerBox(), kNotes);
  EXPECT_TRUE(IsWindowVisible(prompt));
}

// "&No" by its access key, pressed while the keyboard is on another button.
TEST_F(Update, NoClosesThePromptAndTheChecker) {
  HWND prompt = Find("Update?");
  ASSERT_TRUE(prompt);
  PostKeys(FindDescendant(prompt, "XpBs", "Read whats New in this update!"), {'N'});
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }));
  EXPECT_TRUE(WaitUntil([] { return FindHidden("NorvaneForm5") == nullptr; }));
}

TEST_F(Update, ManualWindowSaysNoNewerVersionForTheSameVersion) {
  g->server.Serve(kVersionPath, {200, "2.0.1\r\n"});
  HWND w = OpenManualWindow();
  ASSERT_TRUE(w);
  EXPECT_EQ(LabelOf(w, ids::kLabel7), "2.0.1");
  EXPECT_EQ(LabelOf(w, ids::kLabel8), "?.?.?");
  EXPECT_EQ(LabelOf(w, ids::kLabel6), "---");
  for (const char* text : {"Live Update", "Note: You must be connected to internet to use this service.", "Help"})
    EXPECT_TRUE(FindDescendant(w, "Static", text)) << text;
  for (const char* group : {"Version Check/News", "Newer Version", "Current version"})
    EXPECT_TRUE(FindDescendant(w, "Button", group)) << group;
  ClickButton(w, "Check For Updates");
  EXPECT_TRUE(WaitUntil([&] { return LabelOf(w, ids::kLabel6) == "No newer version was released"; }));
  EXPECT_EQ(LabelOf(w, ids::kLabel8), "2.0.1");

  ASSERT_EQ(OpenManualWindow(), w) << "a second choice brings the same window forward";
}

TEST_F(Update, ManualWindowAsksWithTheReleaseNotesOfANewerVersion) {
  g->server.Serve(kVersionPath, {200, "3.0.0\r\n"});
  HWND w = Find("Internet Product Update");
  ASSERT_TRUE(w);
  ClickButton(w, "Check For Updates");
  EXPECT_EQ(AnswerBox(IDNO), kNotes);
  EXPECT_EQ(LabelOf(w, ids::kLabel8), "3.0.0");
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_TRUE(g->app->Running());
}

TEST_F(Update, FailedRequestsLeaveTheWindowAsItWasAndSaySo) {
  HWND w = Find("Internet Product Update");
  ASSERT_TRUE(w);
  const std::pair<TestHttpServer::Reply, const char*> replies[] = {
      {{404, "Not here"}, kAnsweredBadly},
      {{200, "<html><body>Sign in to the hotel network</body></html>"}, kNotAVersion}};
  for (const auto& [reply, says] : replies) {
    g->server.Serve(kVersionPath, reply);
    ClickButton(w, "Check For Updates");
    EXPECT_EQ(AnswerBox().rfind(says, 0), 0u) << reply.status;
    EXPECT_EQ(LabelOf(w, ids::kLabel8), "3.0.0");
    EXPECT_EQ(LabelOf(w, ids::kLabel6), "No newer version was released");
  }
}

// The fetch must not hold the program: the ad server answers at once while
// the update server takes ten seconds; and a window closed meanwhile never
// hears the answer.
TEST_F(Update, AdServerAnswersWhileTheUpdateServerIsSlowAndAClosedWindowHearsNothing) {
  HWND w = Find("Internet Product Update");
  ASSERT_TRUE(w);
  g->server.Serve(kVersionPath, {200, "9.9.9", 10000});
  const int asked = g->server.Count(kVersionPath), answered = g->server.Answered();
  ClickButton(w, "Check For Updates");
  ASSERT_TRUE(WaitUntil([&] { return g->server.Count(kVersionPath) > asked; }));
  std::vector<ULONGLONG> times;
  for (int i = 0; i < 5; ++i) times.push_back(AdRequestMs());
  std::sort(times.begin(), times.end());
  std::printf("ad requests while the update server waits: median %llu ms, slowest %llu ms\n", times[2], times[4]);
  EXPECT_LT(times[2], 50u) << "median of five ad requests; slowest " << times[4] << " ms";
  EXPECT_LT(times[4], 1000u);

  // Tab from "Check For Updates" to "Close", Enter presses it.
  PostKeys(FindDescendant(w, "XpBs", "Check For Updates"), {VK_TAB, VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(w); }));
  w = OpenManualWindow();
  ASSERT_TRUE(w);
  ASSERT_TRUE(WaitUntil([&] { return g->server.Answered() > answered; }, 20000));
  g->manualDone = GetTickCount64();
  Sleep(1000);
  EXPECT_EQ(LabelOf(w, ids::kLabel8), "?.?.?");
  EXPECT_FALSE(FindBox("Norvane!"));
}

// The checker would have asked every minute after its first check; wait
// until one such minute has passed with nothing else asking.
TEST_F(Update, NoMoreAutomaticChecksAfterNo) {
  ASSERT_NE(g->firstCheck, 0u);
  ASSERT_NE(g->manualDone, 0u);
  ULONGLONG due = g->firstCheck + 60000;
  while (due < g->manualDone) due += 60000;
  const ULONGLONG until = due + 5000;
  while (GetTickCount64() < until) Sleep(200);
  for (const auto& r : g->server.Requests()) EXPECT_LT(r.at, g->manualDone) << "a request for " << r.path;
}

TEST_F(Update, ExitWhileAFetchRunsEndsTheProgramCleanly) {
  HWND w = Find("Internet Product Update");
  ASSERT_TRUE(w);
  g->server.Serve(kVersionPath, {200, "9.9.9", 10000});
  const int asked = g->server.Count(kVersionPath);
  ClickButton(w, "Check For Updates");
  ASSERT_TRUE(WaitUntil([&] { return g->server.Count(kVersionPath) > asked; }));
  g->app->Close();
  EXPECT_TRUE(g->app->WaitExit(5000));
  EXPECT_EQ(ReadFile(HostsPath()), kUserListForm) << "the exit sequence put the user's HOSTS file back";
  EXPECT_EQ(GetSetting("Data", "Restore").value_or("absent"), "True");
}

}  // namespace
