// Live update against a fake fetcher, fake timers and fake windows: the
// checker, the prompt and the manual window.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/frm_main.h"
#include "fakes/fake_main_view.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_update_views.h"
#include "store/settings.h"
#include "store/store.h"
#include "update/form5.h"
#include "update/frmauto.h"
#include "update/live_update.h"
#include "update/xp_update.h"

namespace nv {
namespace {

using L = UpdateLabel;
constexpr char kServer[] = "http://127.0.0.2:8080";
const std::string kVersionUrl = std::string(kServer) + "/norvane/update/application.ver";
const std::string kNewsUrl = std::string(kServer) + "/norvane/update/News.txt";
const std::string kInstallerUrl = std::string(kServer) + "/norvane/update/ubdate.exe";
constexpr char kUnreachable[] = "The update server could not be reached.";
constexpr char kUnusable[] = "The update server answered, but not with the file that was asked for.";
constexpr unsigned kBoxStyleOk = kBoxOk | kBoxTaskModal, kBoxStyleYesNo = kBoxYesNo | kBoxTaskModal;

struct LiveUpdateTest : ::testing::Test {
  LiveUpdateTest() { fp.settings.values["Settings\\UpdateServer"] = std::string(kServer) + "/"; }

  // Loads the checker and lets its first tick find version.
  void FirstTickFinds(const std::string& version) {
    live.LoadChecker();
    fp.timers.Advance(Form5::kTimer1Interval);
    fp.http.Answer(version);
  }
  xpUpdate& OpenManual() {
    live.ShowManualWindow();
    return *live.manual();
  }
  test::FakeFormState& Prompt() { return *views.prompts.back(); }
  test::FakeFormState& Manual() { return *views.manuals.back(); }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const auto& b : fp.dialogs.shown) texts.push_back(b.text);
    return texts;
  }

  std::string ErrLog() { return fp.files.Get(fp.system.programFolder + "\\err.log"); }

  test::FakePlatform fp;
  Store store{fp.files, fp.system.programFolder};
  Settings settings{fp.settings};
  test::FakeUpdateViews views;
  int mainUnloads = 0;
  LiveUpdate live{fp.platform, store, settings, &views, [this] { ++mainUnloads; }};
};

TEST_F(LiveUpdateTest, CheckerAsksAMinuteAfterLoadingThenEveryMinute) {
  live.LoadChecker();
  fp.timers.Advance(59999);
  EXPECT_TRUE(fp.http.requests.empty());
  fp.timers.Advance(1);
  ASSERT_EQ(fp.http.requests.size(), 1u);
  EXPECT_EQ(fp.http.requests[0].url, kVersionUrl);
  EXPECT_EQ(fp.http.requests[0].timeoutMs, 60000u);
  EXPECT_EQ(fp.http.requests[0].maxBytes, 256u * 1024);
  fp.http.Answer("2.0.1");
  fp.timers.Advance(60000);
  EXPECT_EQ(fp.http.requests.size(), 2u);
}

TEST_F(LiveUpdateTest, NoAnswerOrNoNewerVersionLeavesTheCheckerRunningAndShowsNothing) {
  live.LoadChecker();
  for (const char* body : {"", "\r\n", "<html>Not here</html>", "2.0.0", "2.0.1\r\n", "2.0.1"}) {
    fp.timers.Advance(Form5::kTimer1Interval);
    ASSERT_EQ(fp.http.Waiting(), 1u) << body;
    fp.http.Answer(body);
    EXPECT_NE(live.checker(), nullptr) << body;
  }
  EXPECT_TRUE(views.prompts.empty());
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(LiveUpdateTest, NewerVersionLoadsFillsAndShowsThePromptAndBringsItForwardEveryTick) {
  FirstTickFinds("3.0.0\r\n");
  ASSERT_EQ(views.prompts.size(), 1u);
  EXPECT_EQ(Prompt().labels[L::Label4], "2.0.1");
  EXPECT_EQ(Prompt().labels[L::Label5], "3.0.0");
  EXPECT_EQ(Prompt().inactiveShows, 1);

  fp.timers.Advance(Form5::kTimer1Interval);
  fp.http.Answer("3.0.1");
  EXPECT_EQ(views.prompts.size(), 1u) << "the prompt on screen is reused";
  EXPECT_EQ(Prompt().labels[L::Label5], "3.0.1");
  EXPECT_EQ(Prompt().inactiveShows, 2);
  EXPECT_EQ(Prompt().shows, 0) << "the prompt comes by itself: it never takes the keyboard";

  live.prompt()->Form_Unload();  // the close box: the checker goes on
  EXPECT_TRUE(Prompt().closed);
  fp.timers.Advance(Form5::kTimer1Interval);
  fp.http.Answer("3.0.1");
  ASSERT_EQ(views.prompts.size(), 2u) << "a closed prompt is loaded again";
  EXPECT_EQ(Prompt().labels[L::Label4], "2.0.1");
  EXPECT_EQ(Prompt().inactiveShows, 1);
}

TEST_F(LiveUpdateTest, FailedCheckUnloadsTheCheckerSilently) {
  live.LoadChecker();
  fp.timers.Advance(Form5::kTimer1Interval);
  fp.http.Refuse(404, "The server answered with status 404.");
  EXPECT_EQ(live.checker(), nullptr);
  EXPECT_TRUE(views.checkers[0]->closed);
  EXPECT_TRUE(fp.dialogs.shown.empty());
  EXPECT_EQ(fp.files.writes, 0) << "nothing logged";
  fp.timers.Advance(10 * Form5::kTimer1Interval);
  EXPECT_EQ(fp.http.requests.size(), 1u);
}

// A slow server has up to a minute; the next tick must not ask a second time.
// A slow server has up to a minute, counted over the whole fetch (a server
// that drips its answer never trips a single read's time-out); the tick
// that falls due meanwhile asks nothing new.
TEST_F(LiveUpdateTest, ACheckThatTakesAMinuteEndsThereAndTheTickMeanwhileAsksNothingNew) {
  live.LoadChecker();
  fp.timers.Advance(Form5::kTimer1Interval);
  fp.timers.Advance(Form5::kFetchLimitMs - 1);
  EXPECT_EQ(fp.http.Waiting(), 1u);
  EXPECT_NE(live.checker(), nullptr);
  fp.timers.Advance(1);
  EXPECT_EQ(fp.http.requests.size(), 1u);
  EXPECT_EQ(fp.http.Waiting(), 0u);
  EXPECT_EQ(fp.http.cancels, 1);
  EXPECT_EQ(live.checker(), nullptr) << "a failed check ends the checker, silently";
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(LiveUpdateTest, AManualCheckThatTakesAMinuteEndsThereAndSaysSo) {
  xpUpdate& window = OpenManual();
  window.command1_Click();
  fp.timers.Advance(Form5::kFetchLimitMs - 1);
  EXPECT_EQ(Manual().Pointer(), 11);
  EXPECT_TRUE(fp.dialogs.shown.empty());
  fp.timers.Advance(1);
  EXPECT_EQ(fp.http.Waiting(), 0u) << "the late answer is never heard";
  EXPECT_EQ(Manual().Pointer(), 0);
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, std::string(kUnreachable) + "\r\n\r\nNo answer came within 60 seconds.");
  window.command1_Click();
  fp.http.Answer("2.0.1");
  fp.timers.Advance(Form5::kFetchLimitMs);
  EXPECT_EQ(fp.dialogs.shown.size(), 1u) << "an answer in time stops the clock";
}

TEST_F(LiveUpdateTest, ServerAddressIsHttpsByDefaultAndTakenFromTheSettings) {
  fp.settings.values.erase("Settings\\UpdateServer");
  EXPECT_EQ(live.Url("/norvane/update/News.txt"), "https://www.norvane.example/norvane/update/News.txt");
  fp.settings.values["Settings\\UpdateServer"] = "  ";
  EXPECT_EQ(live.Url("/x"), "https://www.norvane.example/x");
  fp.settings.values["Settings\\UpdateServer"] = "https://mirror.example/tools//";
  EXPECT_EQ(live.Url("/x"), "https://mirror.example/tools/x");
  for (const char* loopback : {"http://127.0.0.2:8080", "HTTP://localhost", "http://[::1]:81/u", "http://127.1.2.3"}) {
    fp.settings.values["Settings\\UpdateServer"] = loopback;
    EXPECT_EQ(live.Url("/x"), std::string(loopback) + "/x");
  }
  EXPECT_EQ(ErrLog(), "");
}

// Any program of the user may write the setting; the elevated program hands
// the installer's address from it to the shell.
TEST_F(LiveUpdateTest, APlainHttpServerElsewhereIsRefusedForTheDefaultWithOneLineInTheLog) {
  const char* refused[] = {"http://mirror.example", "http://127.0.0.1@evil.example", "http://127.0.0.1.evil.example",
                           "http://128.0.0.1", "ftp://mirror.example", "mirror.example", "file://C:/x", "https://"};
  int lines = 0;
  for (const char* server : refused) {
    fp.settings.values["Settings\\UpdateServer"] = server;
    EXPECT_EQ(live.Url("/x"), "https://www.norvane.example/x") << server;
    EXPECT_EQ(live.Url("/y"), "https://www.norvane.example/y") << server;
    const std::string log = ErrLog();
    int entries = 0;
    for (std::size_t at = log.find("380:"); at != std::string::npos; at = log.find("380:", at + 1)) ++entries;
    EXPECT_EQ(entries, ++lines) << "one line per refused value: " << server;
    EXPECT_NE(log.find(server), std::string::npos) << server;
  }
  FirstTickFinds("3.0.0");
  live.prompt()->XpBs1_Click();
  EXPECT_EQ(fp.shell.calls.back().file, "https://www.norvane.example/norvane/update/ubdate.exe");
}

TEST_F(LiveUpdateTest, PromptYesHandsTheInstallerToTheShellThenEndsTheProgram) {
  FirstTickFinds("3.0.0");
  live.prompt()->XpBs1_Click();
  ASSERT_EQ(fp.shell.calls.size(), 1u);
  const test::FakeShell::Call& call = fp.shell.calls[0];
  EXPECT_EQ(call.verb, "");
  EXPECT_EQ(call.file, kInstallerUrl);
  EXPECT_EQ(call.params + call.dir, "");
  EXPECT_EQ(call.show, 1);
  EXPECT_TRUE(Prompt().closed);
  EXPECT_EQ(mainUnloads, 1);
}

TEST_F(LiveUpdateTest, PromptNoEndsTheAutomaticChecksUntilTheNextStartButNotTheManualOnes) {
  FirstTickFinds("3.0.0");
  fp.timers.Advance(Form5::kTimer1Interval);  // the next check is on its way
  ASSERT_EQ(fp.http.Waiting(), 1u);
  live.prompt()->XpBs2_Click();
  EXPECT_EQ(fp.http.Waiting(), 0u);
  EXPECT_EQ(fp.http.cancels, 1);
  EXPECT_EQ(live.checker(), nullptr);
  EXPECT_TRUE(Prompt().closed);
  EXPECT_EQ(fp.timers.Pending(), 0u);
  fp.timers.Advance(10 * Form5::kTimer1Interval);
  EXPECT_EQ(fp.http.requests.size(), 2u);
  EXPECT_EQ(mainUnloads, 0);

  OpenManual().command1_Click();
  EXPECT_EQ(fp.http.WaitingUrl(), kVersionUrl);
}

TEST_F(LiveUpdateTest, PromptShowsTheReleaseNotesInABoxAndStaysOpen) {
  FirstTickFinds("3.0.0");
  frmauto& prompt = *live.prompt();
  prompt.XpBs3_Click();
  prompt.XpBs3_Click();  // a second click while the notes are on their way
  EXPECT_EQ(fp.http.requests.size(), 2u);
  EXPECT_EQ(fp.http.WaitingUrl(), kNewsUrl);
  EXPECT_EQ(Prompt().Pointer(), 11);
  fp.http.Answer("Norvane! 3.0.0: faster and smaller.\r\n");
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, "Norvane! 3.0.0: faster and smaller.\r\n");
  EXPECT_EQ(fp.dialogs.shown[0].title, "Norvane!");
  EXPECT_EQ(fp.dialogs.shown[0].style, kBoxStyleOk);
  EXPECT_EQ(Prompt().Pointer(), 0);

  prompt.XpBs3_Click();
  fp.http.Refuse(404, "The server answered with status 404.");
  prompt.XpBs3_Click();
  fp.http.Answer("\r\n");
  EXPECT_EQ(Boxes()[1], std::string(kUnusable) + "\r\n\r\nThe server answered with status 404.");
  EXPECT_EQ(fp.dialogs.shown[1].owner, Prompt().window) << "the box belongs to the prompt";
  EXPECT_EQ(Boxes()[2], "No release notes were published for this version.");
  EXPECT_FALSE(Prompt().closed);
  EXPECT_NE(live.checker(), nullptr);
}

TEST_F(LiveUpdateTest, PromptClosedWhileItsNotesAreOnTheirWayHearsNothingMore) {
  FirstTickFinds("3.0.0");
  live.prompt()->XpBs3_Click();
  live.prompt()->Form_Unload();
  EXPECT_EQ(fp.http.Waiting(), 0u);
  EXPECT_EQ(fp.http.cancels, 1);
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(LiveUpdateTest, MenuShowsOneManualWindowAndBringsItForwardUntilItCloses) {
  live.ShowManualWindow();
  live.ShowManualWindow();
  ASSERT_EQ(views.manuals.size(), 1u);
  EXPECT_EQ(Manual().shows, 2);
  EXPECT_EQ(Manual().labels[L::Label7], "2.0.1");
  live.manual()->XpBs1_Click();
  EXPECT_TRUE(Manual().closed);
  EXPECT_EQ(live.manual(), nullptr);
  live.ShowManualWindow();
  EXPECT_EQ(views.manuals.size(), 2u);
}

TEST_F(LiveUpdateTest, ManualCheckOfTheSameVersionSaysSo) {
  OpenManual().command1_Click();
  EXPECT_EQ(fp.http.WaitingUrl(), kVersionUrl);
  EXPECT_EQ(Manual().Pointer(), 11);
  fp.http.Answer("2.0.1\r\n");
  EXPECT_EQ(Manual().labels[L::Label8], "2.0.1");
  EXPECT_EQ(Manual().labels[L::Label6], "No newer version was released");
  EXPECT_EQ(Manual().pointers, (std::vector<int>{11, 0}));
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(LiveUpdateTest, ManualCheckOfANewerVersionAsksWithTheReleaseNotes) {
  xpUpdate& window = OpenManual();
  fp.dialogs.answers = {kAnswerNo, kAnswerYes};
  for (int round = 0; round < 2; ++round) {
    window.command1_Click();
    fp.http.Answer("3.0.0\n");
    EXPECT_EQ(Manual().labels[L::Label8], "3.0.0");
    EXPECT_EQ(Manual().Pointer(), 11) << "the hourglass stays while the question is asked";
    ASSERT_EQ(fp.http.WaitingUrl(), kNewsUrl);
    fp.http.Answer(round == 0 ? "What is new in 3.0.0" : "");
    EXPECT_EQ(Manual().Pointer(), 0);
  }
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "What is new in 3.0.0",
                         "Norvane! 3.0.0 was released. Would you like to download it now?"}));
  EXPECT_EQ(fp.dialogs.shown[0].style, kBoxStyleYesNo);
  EXPECT_EQ(fp.dialogs.shown[0].title, "Norvane!");
  ASSERT_EQ(fp.shell.calls.size(), 1u) << "only the Yes downloads";
  EXPECT_EQ(fp.shell.calls[0].file, kInstallerUrl);
  EXPECT_EQ(fp.shell.calls[0].show, 1);
  EXPECT_EQ(mainUnloads, 1);
  EXPECT_EQ(Manual().labels.count(L::Label6), 0u);
}

TEST_F(LiveUpdateTest, ManualCheckWithAnEmptyAnswerShowsItAndNothingElse) {
  OpenManual().command1_Click();
  fp.http.Answer("");
  EXPECT_EQ(Manual().labels[L::Label8], "");
  EXPECT_EQ(Manual().labels.count(L::Label6), 0u);
  EXPECT_EQ(Manual().Pointer(), 0);
  EXPECT_TRUE(fp.dialogs.shown.empty());
  EXPECT_EQ(fp.http.requests.size(), 1u);
}

TEST_F(LiveUpdateTest, FailedManualCheckLeavesTheLabelsAndTheWindowUsableAndSaysWhatHappened) {
  struct Case {
    const char* what;
    std::function<void(test::FakeHttpFetch&)> run;
    std::string box;
  } cases[] = {
      {"no server", [](auto& h) { h.Fail("The connection was refused."); },
       std::string(kUnreachable) + "\r\n\r\nThe connection was refused."},
      {"version fails", [](auto& h) { h.Refuse(404, "The server answered with status 404."); },
       std::string(kUnusable) + "\r\n\r\nThe server answered with status 404."},
      {"version is garbage", [](auto& h) { h.Answer("<html>Welcome to the hotel network</html>"); },
       "The update server answered, but its answer is not a version number."},
      {"notes fail",
       [](auto& h) {
         h.Answer("3.0.0");
         h.Fail("No answer came within 60 seconds.");
       },
       std::string(kUnreachable) + "\r\n\r\nNo answer came within 60 seconds."},
  };
  xpUpdate& window = OpenManual();
  for (const Case& c : cases) {
    fp.dialogs.shown.clear();
    Manual().labels[L::Label6] = "as it was";
    Manual().labels[L::Label8] = "as it was";
    window.command1_Click();
    c.run(fp.http);
    EXPECT_EQ(Manual().labels[L::Label6], "as it was") << c.what;
    EXPECT_EQ(Manual().labels[L::Label8], c.what == std::string("notes fail") ? "3.0.0" : "as it was") << c.what;
    EXPECT_EQ(Manual().Pointer(), 0) << c.what;
    ASSERT_EQ(fp.dialogs.shown.size(), 1u) << c.what;
    EXPECT_EQ(fp.dialogs.shown[0].text, c.box);
    EXPECT_EQ(fp.dialogs.shown[0].style, kBoxStyleOk);
    EXPECT_EQ(fp.dialogs.shown[0].owner, Manual().window);
    EXPECT_FALSE(Manual().closed);
  }
  window.command1_Click();
  EXPECT_EQ(fp.http.Waiting(), 1u) << "the window is still usable";
}

TEST_F(LiveUpdateTest, ManualWindowRunsOneCheckAtATimeAndForgetsItWhenClosed) {
  xpUpdate& window = OpenManual();
  window.command1_Click();
  window.command1_Click();
  EXPECT_EQ(fp.http.requests.size(), 1u);
  fp.http.Answer("3.0.0");
  fp.dialogs.whileOpen = [&] { window.command1_Click(); };  // a click while the question is open
  fp.http.Answer("notes");
  EXPECT_EQ(fp.http.requests.size(), 2u);
  fp.dialogs.whileOpen = nullptr;

  window.command1_Click();
  window.XpBs1_Click();
  EXPECT_EQ(fp.http.Waiting(), 0u);
  EXPECT_EQ(fp.http.cancels, 1);
  live.ShowManualWindow();
  EXPECT_EQ(Manual().labels.count(L::Label8), 0u) << "a new window knows nothing of the old check";
}

// Start-up loads the checker; the menu opens the manual window; its
// Yes runs the exit sequence.
TEST(LiveUpdateInMainWindow, StartUpLoadsTheCheckerAndYesEndsTheProgram) {
  test::FakePlatform fp;
  for (const char* list : kListFiles) fp.files.Put(fp.system.programFolder + list, "");
  fp.files.Put("C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS", "# mine\r\n");
  test::FakeMainView view;
  frmMain main(fp.platform, view);
  main.Form_Load();
  ASSERT_NE(main.Update().checker(), nullptr);
  EXPECT_TRUE(main.Update().checker()->Timer1Enabled());
  main.mnuupdate_Click();
  ASSERT_NE(main.Update().manual(), nullptr);
  main.Update().manual()->command1_Click();
  fp.http.Answer("3.0.0");
  fp.dialogs.answers = {kAnswerYes};
  fp.http.Answer("notes");
  EXPECT_TRUE(main.Ended());
  EXPECT_EQ(fp.settings.Value("Data", "Restore").value_or("absent"), "True") << "the exit sequence ran";
  EXPECT_EQ(fp.shell.calls.back().file, "https://www.norvane.example/norvane/update/ubdate.exe");
}

}  // namespace
}  // namespace nv
