// The uninstaller's hand-back of the HOSTS file: a killed run's backup comes
// back, a clean exit's file is only unlocked, and nothing is lost or shown.
#include <gtest/gtest.h>

#include "adblock/hosts_redirect.h"
#include "fakes/fake_services.h"
#include "setup/hosts_handback.h"

namespace nv {
namespace {

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS";
constexpr char kBak[] = "C:\\N\\data\\hosts.bak";
const char kUserListForm[] = "# mine\r\n127.0.0.1 localhost\r\n\r\n\r\n";
const char kBlocked[] = "127.0.0.1 ads.example\r\n\r\n\r\n";

struct HandbackTest : ::testing::Test {
  // A run that took its backup and switched blocking on, then was killed.
  HandbackTest() {
    fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\n");
    fp.files.Put("C:\\N\\data\\dns.svr", "");
    fp.files.Put(kHosts, "# mine\r\n127.0.0.1 localhost\r\n");
    HostsRedirect run(env.services, hostsPath);
    run.TakeBackup();
    run.blockads(true);
  }
  std::string Hosts() { return fp.files.Get(kHosts); }
  HostsHandback HandBack() { return HandBackHosts(env.services, hostsPath); }

  test::FakeServices env{"C:\\N"};
  test::FakePlatform& fp = env.fp;
  std::string hostsPath = kHosts;
};

TEST_F(HandbackTest, AfterAKillTheBackupComesBackEvenIntoAReadOnlyFile) {
  ASSERT_EQ(Hosts(), kBlocked);
  fp.files.Put(kHosts, Hosts() + "192.168.1.9 printer\r\n", kAttrReadOnly | kAttrHidden);
  const HostsHandback r = HandBack();
  EXPECT_EQ(r.outcome, HostsHandback::Outcome::Restored) << r.message;
  // As the exit sequence would: lines someone added meanwhile stay.
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n");
  EXPECT_EQ(fp.files.Attrs(kHosts), unsigned{kAttrHidden});
  EXPECT_EQ(fp.settings.Value("Data", "Restore"), "True");
  EXPECT_TRUE(fp.dialogs.shown.empty()) << "a silent uninstall must never wait on a box";
}

// Restore is this account's; another account's run, or a lost settings key,
// leaves the block list in the file all the same. A kill during a rewrite
// leaves its temporary file, which goes too.
TEST_F(HandbackTest, BlockLinesInTheFileBringTheBackupBackWhateverRestoreSays) {
  for (bool erased : {true, false}) {
    SCOPED_TRACE(erased ? "settings key gone" : "another account");
    HostsRedirect run(env.services, hostsPath);
    run.TakeBackup();
    run.blockads(true);
    ASSERT_EQ(Hosts(), kBlocked);
    if (erased) fp.settings.values.clear();
    else fp.settings.values["Data\\Restore"] = "True";
    fp.files.Put(std::string(kHosts) + ".nvtmp5150", "half");
    const HostsHandback r = HandBack();
    EXPECT_EQ(r.outcome, HostsHandback::Outcome::Restored) << r.message;
    EXPECT_EQ(Hosts(), kUserListForm);
    EXPECT_FALSE(fp.files.Has(std::string(kHosts) + ".nvtmp5150"));
  }
}

TEST_F(HandbackTest, AfterACleanExitTheFileIsOnlyUnlocked) {
  HostsRedirect(env.services, hostsPath).blockads(false);
  fp.settings.values["Data\\Restore"] = "True";
  fp.files.SetAttributes(kHosts, kAttrReadOnly);
  fp.files.Put(kBak, "stale\r\n");
  const int writes = fp.files.writes;
  const HostsHandback r = HandBack();
  EXPECT_EQ(r.outcome, HostsHandback::Outcome::Untouched);
  EXPECT_EQ(Hosts(), kUserListForm);
  EXPECT_EQ(fp.files.writes, writes);
  EXPECT_EQ(fp.files.Attrs(kHosts), unsigned{kAttrNormal});
}

TEST_F(HandbackTest, MissingBackupLeavesTheFileAsItIsAndSaysSo) {
  fp.files.Remove(kBak);
  const HostsHandback r = HandBack();
  EXPECT_EQ(r.outcome, HostsHandback::Outcome::BackupMissing);
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_NE(r.message.find(kBak), std::string::npos) << r.message;
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(HandbackTest, UnwritableFileFailsAndKeepsTheBackup) {
  fp.files.failWrites.insert(test::FakeFiles::Key(kHosts));
  const HostsHandback r = HandBack();
  EXPECT_EQ(r.outcome, HostsHandback::Outcome::Failed);
  EXPECT_NE(r.message.find("70 : "), std::string::npos) << r.message;
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_EQ(fp.files.Get(kBak), kUserListForm);
  EXPECT_EQ(fp.settings.Value("Data", "Restore"), "False");
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

}  // namespace
}  // namespace nv
