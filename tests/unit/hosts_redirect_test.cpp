// The HOSTS file with ad blocking on and off, and the user's lines kept safe.
#include <gtest/gtest.h>

#include "adblock/hosts_redirect.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS";
constexpr char kBak[] = "C:\\N\\data\\hosts.bak";

struct HostsTest : ::testing::Test {
  HostsTest() {
    fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\nads.example\r\n  spaced.example \r\n\r\n");
    fp.files.Put("C:\\N\\data\\dns.svr", "10.1.2.3 intranet\r\n10.1.2.3 intranet\r\n");
    fp.files.Put(kHosts, "# mine\r\n127.0.0.1 localhost\r\n");
    fp.settings.values["Data\\Restore"] = "True";
    redirect.TakeBackup();
  }
  std::string Hosts() { return fp.files.Get(kHosts); }
  std::string ErrLog() { return fp.files.Get("C:\\N\\err.log"); }

  test::FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  std::string hostsPath = kHosts;
  HostsRedirect redirect{services, hostsPath};
};

const char kBlocked[] = "127.0.0.1 ads.example\r\n127.0.0.1   spaced.example\r\n\r\n\r\n";
const char kUserListForm[] = "# mine\r\n127.0.0.1 localhost\r\n\r\n\r\n";

TEST_F(HostsTest, BlockingOnWritesThePrefixedBlockListOnceEach) {
  EXPECT_EQ(fp.settings.Value("Data", "Restore"), "False");
  EXPECT_EQ(fp.files.Get(kBak), kUserListForm);
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(HostsTest, CachedEntriesFollowOnlyWhenUseDnsIsExactlyOne) {
  fp.settings.values["Settings\\UseDNS"] = " 1";
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), kBlocked);
  fp.settings.values["Settings\\UseDNS"] = "1";
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), std::string(kBlocked) + "10.1.2.3 intranet\r\n\r\n\r\n");
  fp.files.Put("C:\\N\\data\\dns.svr", "");
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), std::string(kBlocked) + "\r\n\r\n");
}

TEST_F(HostsTest, SwitchingOffAndOnAgainAlternatesBetweenUserLinesAndBlockList) {
  redirect.blockads(true);
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), kUserListForm);
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_EQ(fp.files.Get(kBak), kUserListForm);
}

TEST_F(HostsTest, UnreadableBlockListGivesAnEmptyBlockButKeepsTheUserLinesSafe) {
  fp.files.Remove("C:\\N\\data\\hosts.svr");
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), "\r\n\r\n");
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), kUserListForm);
}

TEST_F(HostsTest, MissingOrUnreadableBackupLeavesTheHostsFileAsItIs) {
  redirect.blockads(true);
  fp.files.Remove(kBak);
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), kBlocked);
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].title, "Error");
  EXPECT_EQ(fp.dialogs.shown[0].text.rfind("53 : The HOSTS backup", 0), 0u);
  EXPECT_NE(ErrLog().find("cannot be read; the HOSTS file was left as it is"), std::string::npos);

  fp.files.Put(kBak, "x\r\n");
  fp.files.failReads.insert(test::FakeFiles::Key(kBak));
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), kBlocked);
}

TEST_F(HostsTest, LinesAddedWhileBlockingWasOnComeBackWhenItGoesOff) {
  redirect.blockads(true);
  fp.files.Put(kHosts, Hosts() + "192.168.1.9 printer\r\n");
  redirect.blockads(true);  // a rewrite, as Apply does
  EXPECT_EQ(Hosts(), kBlocked);
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n");
}

TEST_F(HostsTest, EditsMadeWhileBlockingWasOffAreTheUsersNewContent) {
  redirect.blockads(true);
  redirect.blockads(false);
  // The user removes a line and adds one that happens to equal a block line.
  fp.files.Put(kHosts, "127.0.0.1 ads.example\r\n");
  redirect.blockads(true);
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), "127.0.0.1 ads.example\r\n\r\n\r\n");
}

TEST_F(HostsTest, ReadOnlyHostsFileIsReportedAndLeftIntact) {
  fp.files.SetAttributes(kHosts, kAttrReadOnly);
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n");
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, "75 : Path/File access error");
  EXPECT_EQ(fp.dialogs.shown[0].style, 16u);
  EXPECT_NE(ErrLog().find("75:Path/File access error:Norvane"), std::string::npos);
}

TEST_F(HostsTest, BackupIsTakenOnlyWhileRestoreIsTrue) {
  fp.files.Put(kHosts, "other\r\n");
  redirect.TakeBackup();
  EXPECT_EQ(fp.files.Get(kBak), kUserListForm);
  fp.settings.values["Data\\Restore"] = "true";  // compared exactly
  redirect.TakeBackup();
  EXPECT_EQ(fp.files.Get(kBak), kUserListForm);
}

// Lines Norvane wrote stay Norvane's after the lists changed, and a kill
// between the record and the HOSTS file (here: a HOSTS write that fails after
// the record was written) leaves nothing that looks like the user's.
TEST_F(HostsTest, RemovedListEntriesNeverBecomeUserLines) {
  fp.settings.values["Settings\\UseDNS"] = "1";
  redirect.blockads(true);
  fp.files.Put(kHosts, Hosts() + "192.168.1.9 printer\r\n");
  fp.files.Put("C:\\N\\data\\hosts.svr", "spaced.example\r\n");
  fp.files.Put("C:\\N\\data\\dns.svr", "");
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n");

  redirect.blockads(true);
  fp.files.Put("C:\\N\\data\\hosts.svr", "other.example\r\n");
  fp.files.failWrites.insert(test::FakeFiles::Key(kHosts));
  redirect.blockads(true);  // Apply, cut short after the record
  fp.files.failWrites.clear();
  HostsRedirect nextRun{services, hostsPath};
  nextRun.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n");

  fp.files.failWrites.insert(test::FakeFiles::Key("C:\\N\\data\\hosts.own"));
  nextRun.blockads(true);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n")
      << "no rewrite without its record";
}

TEST_F(HostsTest, UnreadableRecordOrListCarriesNothing) {
  redirect.blockads(true);
  fp.files.failReads.insert(test::FakeFiles::Key("C:\\N\\data\\hosts.svr"));
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), kUserListForm) << "the block list must not join the user's lines";

  fp.files.failReads.clear();
  redirect.blockads(true);
  fp.files.Put(kHosts, Hosts() + "192.168.1.9 printer\r\n");
  fp.files.failReads.insert(test::FakeFiles::Key("C:\\N\\data\\hosts.own"));
  HostsRedirect nextRun{services, hostsPath};
  nextRun.blockads(false);
  EXPECT_EQ(Hosts(), kUserListForm);
}

// A HOSTS file left blocking by a version that kept no record: the lists
// stand in for it, so lines someone else added are still carried.
TEST_F(HostsTest, WithoutARecordYetTheListsStandInForIt) {
  fp.files.Put(kHosts, std::string(kBlocked) + "192.168.1.9 printer\r\n");
  HostsRedirect nextRun{services, hostsPath};
  nextRun.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n");
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(HostsTest, CacheFileIsReadOnlyWhenUseDnsIsOne) {
  fp.files.Remove("C:\\N\\data\\dns.svr");
  redirect.blockads(true);
  redirect.blockads(false);
  redirect.blockads(true);
  EXPECT_EQ(ErrLog(), "");
}

}  // namespace
}  // namespace nv
