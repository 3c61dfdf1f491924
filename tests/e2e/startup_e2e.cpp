// Start-up and exit of the real program under Wine: single instance, missing
// list files, the HOSTS backup and Restore, file protection, the log cap.
#include <gtest/gtest.h>

#include "harness/harness.h"

using namespace e2e;

namespace {

const char kUserHosts[] =
    "# the user's own HOSTS file\r\n127.0.0.1       localhost\r\n::1 localhost\r\n"
    "\r\n10.0.0.5\tnas.home   \r\n127.0.0.1       localhost\r\n";
// The same lines in list-file form: trimmed, no empty or repeated lines.
const char kUserHostsListForm[] =
    "# the user's own HOSTS file\r\n127.0.0.1       localhost\r\n::1 localhost\r\n"
    "10.0.0.5\tnas.home\r\n\r\n\r\n";

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    WriteFile(HostsPath(), kUserHosts);
    folder = InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  std::string folder;
};

TEST_F(Startup, CleanRunBacksUpHostsThenRestoresAndProtectsFiles) {
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning()) << "start-up did not finish";
  EXPECT_EQ(GetSetting("Data", "Restore").value_or("absent"), "False");
  EXPECT_EQ(ReadFile(app.File("\\data\\hosts.bak")), kUserHostsListForm);
  EXPECT_EQ(app.VersionLine(), "Norvane v2.0 Beta 002");
  EXPECT_EQ(app.StatusLine(), "Banner Ads:0 Deleted Cookies:0 Blocked Popups:0");

  app.Close();
  ASSERT_TRUE(app.WaitExit()) << "exit sequence did not end the process";
  EXPECT_EQ(GetSetting("Data", "Restore").value_or("absent"), "True");
  EXPECT_EQ(GetSetting("Data", "AdBlock").value_or("absent"), "True");
  EXPECT_EQ(GetSetting("Data", "Cookies").value_or("absent"), "False");
  EXPECT_EQ(GetSetting("Data", "Popup").value_or("absent"), "True");
  EXPECT_EQ(ReadFile(HostsPath()), kUserHostsListForm);
  for (const char* list : {"hosts.svr", "cookies.svr", "dns.svr", "popups.svr"})
    EXPECT_EQ(Attributes(app.File(std::string("\\data\\") + list)) & 7, 5u) << list;
  EXPECT_EQ(Attributes(HostsPath()) & 7, 1u);

  Norvane again(folder);
  ASSERT_TRUE(again.Start());
  ASSERT_TRUE(again.WaitRunning());
  for (const char* list : {"hosts.svr", "cookies.svr", "dns.svr", "popups.svr"})
    EXPECT_EQ(Attributes(again.File(std::string("\\data\\") + list)) & 7, 0u) << list;
  EXPECT_EQ(Attributes(HostsPath()) & 7, 0u);
  again.Close();
  ASSERT_TRUE(again.WaitExit());
}

TEST_F(Startup, SecondStartIsRefusedAndChangesNothing) {
  Norvane first(folder);
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(first.WaitRunning());
  const std::string hosts = ReadFile(HostsPath());
  const std::string backup = ReadFile(first.File("\\data\\hosts.bak"));

  Norvane second(folder);
  ASSERT_TRUE(second.Start());
  auto box = WaitBox("Norvane!");
  ASSERT_TRUE(box) << "no refusal shown";
  EXPECT_EQ(box->text,
            "Norvane is Already running, Please right click on its icon near the clock and select exit.");
  EXPECT_EQ(box->pid, second.pid());
  DismissBox(*box);
  EXPECT_TRUE(second.WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), hosts);
  EXPECT_EQ(ReadFile(first.File("\\data\\hosts.bak")), backup);
  EXPECT_EQ(GetSetting("Data", "Restore").value_or("absent"), "False");
  EXPECT_TRUE(first.Running());
  first.Close();
  EXPECT_TRUE(first.WaitExit());
}

TEST_F(Startup, MissingListFileIsReportedAndNothingIsTouched) {
  RemoveFile(folder + "\\data\\dns.svr");
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  auto box = WaitBox("Error");
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text.rfind("The required settings file(s) are missing. Please reinstall Norvane!. "
                            "You may also download the files from http",
                            0),
            0u)
      << box->text;
  DismissBox(*box);
  EXPECT_TRUE(app.WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts);
  EXPECT_FALSE(GetSetting("Data", "Restore").has_value());
  EXPECT_FALSE(Exists(folder + "\\data\\hosts.bak"));
  EXPECT_FALSE(Exists(folder + "\\ads.log"));
}

TEST_F(Startup, LogOfExactlyCapSizeStaysOneByteMoreIsDeleted) {
  WriteFile(folder + "\\ads.log", std::string(16000, 'a'));
  WriteFile(folder + "\\cookies.log", std::string(16001, 'c'));
  Norvane app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitRunning());
  EXPECT_EQ(ReadFile(folder + "\\ads.log").size(), 16000u);
  EXPECT_FALSE(Exists(folder + "\\cookies.log"));
  app.Close();
  EXPECT_TRUE(app.WaitExit());
}

TEST_F(Startup, RunKilledWithoutExitKeepsTheOldBackupForTheNextExit) {
  Norvane first(folder);
  ASSERT_TRUE(first.Start());
  ASSERT_TRUE(first.WaitRunning());
  first.Kill();
  const std::string blocked = ReadFile(HostsPath());
  ASSERT_NE(blocked, kUserHostsListForm) << "ad blocking should have rewritten HOSTS";

  Norvane second(folder);
  ASSERT_TRUE(second.Start());
  ASSERT_TRUE(second.WaitRunning());
  EXPECT_EQ(ReadFile(folder + "\\data\\hosts.bak"), kUserHostsListForm);
  second.Close();
  ASSERT_TRUE(second.WaitExit());
  EXPECT_EQ(ReadFile(HostsPath()), kUserHostsListForm);
}

}  // namespace
