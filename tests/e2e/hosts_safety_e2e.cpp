// The user's HOSTS lines against what the walk of hosts_reliability does not
// meet by chance: another program's rewrite while blocking, a kill followed by
// a lost settings key, a HOSTS file saved as Unicode, a box of start-up with
// the tray icon already there, a list file that cannot be read when the
// settings dialog opens, and a HOSTS file that Apply cannot write.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "harness/harness.h"
#include "harness/other_program.h"
#include "harness/settings_driver.h"
#include "settings/settings_ids.h"

using namespace e2e;
namespace id = nv::settings_id;

namespace {

constexpr int kBlockAds = 7;
const char kUserHosts[] = "# the user's\r\n127.0.0.1       localhost\r\n10.0.0.7\tnas.lan   \r\n";
const char kUserListForm[] = "# the user's\r\n127.0.0.1       localhost\r\n10.0.0.7\tnas.lan\r\n\r\n\r\n";
const char kOtherLine[] = "10.20.30.40 other-program.lan";

bool Blocking() { return ReadFile(HostsPath()).rfind("127.0.0.1 ", 0) == 0; }

class HostsSafety : public ::testing::Test {
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
  // A start that is expected to get through start-up.
  bool StartRunning() {
    app = std::make_unique<Norvane>(folder);
    return app->Start() && app->WaitRunning();
  }
  bool ExitCleanly() {
    app->Close();
    return app->WaitExit();
  }
  std::string File(const std::string& relative) { return ReadFile(folder + relative); }

  std::string folder;
  std::unique_ptr<Norvane> app;
};

// Re-padded fields, LF line ends and a byte order mark do not make Norvane's
// lines the user's; the other program's own line is kept as it wrote it.
TEST_F(HostsSafety, AnotherProgramsRewriteWhileBlockingKeepsOnlyItsOwnLine) {
  ASSERT_TRUE(StartRunning());
  ASSERT_TRUE(WaitUntil(Blocking));
  std::mt19937 rng(18);
  RewriteAsAnotherProgram(HostsPath(), kOtherLine, rng);
  ASSERT_TRUE(ExitCleanly());
  const std::string listForm = kUserListForm;
  EXPECT_EQ(ReadFile(HostsPath()), listForm.substr(0, listForm.size() - 4) + kOtherLine + "\r\n\r\n\r\n");
}

// The sequence that lost the user's lines: blocking on, the program killed,
// its settings key gone, a start and a clean exit. A temporary file of a
// cut-short rewrite goes at that start.
TEST_F(HostsSafety, KillAndLostSettingsKeyThenStartAndExitGiveTheUserLinesBack) {
  ASSERT_TRUE(StartRunning());
  ASSERT_TRUE(WaitUntil(Blocking));
  app->Kill();
  ClearSettings();
  const std::string leftOver = HostsPath() + ".nvtmp4242";
  WriteFile(leftOver, "127.0.0.1 half");
  ASSERT_TRUE(StartRunning());
  EXPECT_FALSE(Exists(leftOver));
  EXPECT_EQ(File("\\data\\hosts.bak"), kUserListForm);
  ASSERT_TRUE(ExitCleanly());
  EXPECT_EQ(ReadFile(HostsPath()), kUserListForm);
}

// What Windows PowerShell 5.1 writes with ">": UTF-16 with a byte order mark.
TEST_F(HostsSafety, UnicodeHostsFileIsLeftByteForByteWithOneMessage) {
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string(kUserHosts)) utf16 += std::string{c, '\0'};
  WriteFile(HostsPath(), utf16);
  app = std::make_unique<Norvane>(folder);
  ASSERT_TRUE(app->Start());
  auto box = WaitBox("Norvane!");
  ASSERT_TRUE(box) << "no word on why blocking stays off";
  EXPECT_NE(box->text.find("not plain text"), std::string::npos) << box->text;
  DismissBox(*box);
  ASSERT_TRUE(app->WaitRunning());
  EXPECT_TRUE(app->PickMenuItem(kBlockAds));
  EXPECT_TRUE(app->PickMenuItem(kBlockAds));
  Sleep(300);
  EXPECT_FALSE(FindBox("Norvane!")) << "said once is enough";
  ASSERT_TRUE(ExitCleanly());
  EXPECT_EQ(ReadFile(HostsPath()), utf16);
  EXPECT_FALSE(Exists(folder + "\\data\\hosts.bak"));
}

// A backup that cannot be written stops start-up with its error box; the
// tray icon is there already, but its menu must not open before start-up has
// finished (it would write the block list with no backup of this run).
TEST_F(HostsSafety, TrayMenuWaitsWhileAStartUpBoxIsOpen) {
  WriteFile(folder + "\\data\\hosts.bak", "stale\r\n");
  SetAttributes(folder + "\\data\\hosts.bak", FILE_ATTRIBUTE_READONLY);
  app = std::make_unique<Norvane>(folder);
  ASSERT_TRUE(app->Start());
  auto box = WaitBox("Error");
  ASSERT_TRUE(box);
  HWND menu = app->OpenTrayMenu(1500);
  if (menu) {
    for (int i = 0; i < kBlockAds; ++i) PostKeys(menu, {VK_DOWN});
    PostKeys(menu, {VK_RETURN});
  }
  EXPECT_FALSE(menu) << "the tray menu opened during start-up";
  Sleep(300);
  DismissBox(*box);
  ASSERT_TRUE(app->WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts);
  SetAttributes(folder + "\\data\\hosts.bak", FILE_ATTRIBUTE_NORMAL);
}

// Another program holds the block list when the dialog opens: the dialog says
// so, and OK leaves the file as it is (and HOSTS blocking).
TEST_F(HostsSafety, ListThatCouldNotBeReadIsNotSavedByOk) {
  ASSERT_TRUE(StartRunning());
  const std::string list = folder + "\\data\\hosts.svr";
  const std::string before = ReadFile(list);
  HANDLE held = CreateFileA(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  PostMessageA(app->MainWindow(), WM_MOUSEMOVE, 0, WM_LBUTTONDOWN);
  auto box = WaitBox("Norvane!");
  CloseHandle(held);
  ASSERT_TRUE(box) << "the dialog did not say that a list could not be read";
  EXPECT_NE(box->text.find("hosts.svr"), std::string::npos) << box->text;
  DismissBox(*box);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialog(*app, "Settings")) != nullptr; }));
  Click(ControlById(dialog, id::kOk));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
  EXPECT_EQ(ReadFile(list), before);
  EXPECT_TRUE(Blocking());
}

// Apply stops at a HOSTS file it cannot write, as at any other failed step.
TEST_F(HostsSafety, ApplyStopsWhereTheHostsFileCannotBeWritten) {
  ASSERT_TRUE(StartRunning());
  HWND dialog = OpenSettings(*app);
  ASSERT_TRUE(dialog);
  Click(ControlById(dialog, id::kUseDns));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(ControlById(dialog, id::kApply)) != FALSE; }));
  SetAttributes(HostsPath(), FILE_ATTRIBUTE_READONLY);
  Click(ControlById(dialog, id::kOk));
  auto box = WaitBox("Error");
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text.rfind("75 : ", 0), 0u) << box->text;
  DismissBox(*box);
  EXPECT_TRUE(IsWindowVisible(dialog)) << "OK closed the dialog as if Apply had worked";
  EXPECT_TRUE(IsWindowEnabled(ControlById(dialog, id::kApply)));
  SetAttributes(HostsPath(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
