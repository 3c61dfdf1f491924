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
  // The failure a switch throws to its caller's trap, as its box shows it.
  std::string Failure(HostsRedirect& r, bool on) {
    try {
      r.blockads(on);
    } catch (const AppError& e) {
      return std::to_string(e.number) + " : " + e.description;
    }
    return "";
  }
  std::string Failure(bool on) { return Failure(redirect, on); }

  test::FakePlatform fp;
  Store store{fp.files, "C:\\N", &fp.clock};
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
  const int writes = fp.files.writes, flushes = fp.dnsCache.flushes;
  redirect.blockads(true);  // the same list again: the file is left alone
  EXPECT_EQ(fp.files.writes, writes);
  EXPECT_EQ(fp.dnsCache.flushes, flushes);
  fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\nnew.example\r\n\r\n");
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), "127.0.0.1 ads.example\r\n127.0.0.1 new.example\r\n\r\n\r\n");
}

// A scanner that holds the HOSTS file open for a moment: the switch tries
// again within a few milliseconds in all, then gives up with the file as it was.
TEST_F(HostsTest, HostsFileHeldOpenIsTriedAgainWithinABoundedWait) {
  const std::string key = test::FakeFiles::Key(kHosts);
  fp.files.heldOpen[key] = 2;
  redirect.blockads(true);
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_EQ(fp.clock.pauses, (std::vector<int>{2, 4}));

  fp.clock.pauses.clear();
  fp.files.heldOpen[key] = 1000;
  EXPECT_EQ(Failure(false), "70 : Permission denied");
  EXPECT_EQ(Hosts(), kBlocked);
  int waited = 0;
  for (int ms : fp.clock.pauses) waited += ms;
  EXPECT_LE(waited, Store::kReplaceBudgetMs);
  EXPECT_EQ(fp.files.heldRefusals, 2 + 1 + static_cast<int>(fp.clock.pauses.size()));
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
  const std::string failure = Failure(false);
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_EQ(failure.rfind("53 : The HOSTS backup", 0), 0u) << failure;
  EXPECT_NE(failure.find("cannot be read; the HOSTS file was left as it is"), std::string::npos);

  fp.files.Put(kBak, "x\r\n");
  fp.files.failReads.insert(test::FakeFiles::Key(kBak));
  EXPECT_NE(Failure(false), "");
  EXPECT_EQ(Hosts(), kBlocked);
  EXPECT_TRUE(fp.dialogs.shown.empty()) << "failures are the caller's to show";
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

TEST_F(HostsTest, ReadOnlyHostsFileFailsAndIsLeftIntact) {
  fp.files.SetAttributes(kHosts, kAttrReadOnly);
  EXPECT_EQ(Failure(true), "75 : Path/File access error");
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n");
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
  EXPECT_NE(Failure(true), "");  // Apply, cut short after the record
  fp.files.failWrites.clear();
  HostsRedirect nextRun{services, hostsPath};
  nextRun.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n");

  fp.files.failWrites.insert(test::FakeFiles::Key("C:\\N\\data\\hosts.own"));
  EXPECT_NE(Failure(nextRun, true), "");
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n")
      << "no rewrite without its record";
}

// With the record readable it alone decides: an unreadable block list does
// not keep the printer line out of the backup. A record that cannot be read
// leaves the file as it is, in either direction, until it can be read again.
TEST_F(HostsTest, RecordAloneJudgesAndAnUnreadableRecordWritesNothing) {
  const std::string withPrinter = "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n";
  redirect.blockads(true);
  fp.files.Put(kHosts, Hosts() + "192.168.1.9 printer\r\n");
  fp.files.failReads.insert(test::FakeFiles::Key("C:\\N\\data\\hosts.svr"));
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), withPrinter) << "the block list must not join the user's lines, the printer must";

  fp.files.failReads.clear();
  fp.files.Put(kBak, kUserListForm);
  redirect.blockads(true);
  fp.files.Put(kHosts, Hosts() + "192.168.1.9 printer\r\n");
  const std::string blocking = Hosts();
  fp.files.failReads.insert(test::FakeFiles::Key("C:\\N\\data\\hosts.own"));
  HostsRedirect nextRun{services, hostsPath};
  EXPECT_NE(Failure(nextRun, false).find("hosts.own cannot be read"), std::string::npos);
  EXPECT_NE(Failure(nextRun, true), "");
  EXPECT_EQ(Hosts(), blocking);
  fp.files.failReads.clear();
  nextRun.blockads(false);
  EXPECT_EQ(Hosts(), withPrinter);
}

// Lines another program added can only be kept in a backup that reads; a
// HOSTS file that exists but cannot be read is never replaced unread.
TEST_F(HostsTest, LinesThatCannotBeKeptOrReadStopTheRewrite) {
  redirect.blockads(true);
  fp.files.Put(kHosts, Hosts() + "192.168.1.9 printer\r\n");
  const std::string blocking = Hosts();
  fp.files.Remove(kBak);
  EXPECT_EQ(Failure(true).rfind("53 : The HOSTS backup", 0), 0u);
  EXPECT_EQ(Hosts(), blocking);

  fp.files.Put(kBak, kUserListForm);
  fp.files.failReads.insert(test::FakeFiles::Key(kHosts));
  EXPECT_EQ(Failure(false).rfind("75 : The HOSTS file", 0), 0u);
  EXPECT_NE(Failure(true), "");
  fp.files.failReads.clear();
  EXPECT_EQ(Hosts(), blocking);
}

// A HOSTS file left blocking by a version that kept no record: the lists
// stand in for it, so lines someone else added are still carried.
TEST_F(HostsTest, WithoutARecordYetTheListsStandInForIt) {
  fp.files.Remove("C:\\N\\data\\hosts.own");
  fp.files.Put(kHosts, std::string(kBlocked) + "192.168.1.9 printer\r\n");
  HostsRedirect nextRun{services, hostsPath};
  nextRun.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9 printer\r\n\r\n\r\n");
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

// A hosts editor re-pads the fields, a tool writes LF line ends and a byte
// order mark, and a line of its own goes at the end: only that line is the
// user's, exactly as it was written.
TEST_F(HostsTest, AnotherProgramsRewriteOfTheBlockListLeavesOnlyItsOwnLineToCarry) {
  fp.settings.values["Settings\\UseDNS"] = "1";
  redirect.blockads(true);
  fp.files.Put(kHosts, "\xEF\xBB\xBF" "127.0.0.1\tads.example\n127.0.0.1 \t spaced.example   \n\n"
                       "10.1.2.3    intranet\n192.168.1.9\t printer\n");
  redirect.blockads(true);  // Apply
  EXPECT_EQ(Hosts(), std::string(kBlocked) + "10.1.2.3 intranet\r\n\r\n\r\n");
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n192.168.1.9\t printer\r\n\r\n\r\n");
}

// Restore is per user and may be lost; the HOSTS file is everybody's. A file
// that holds Norvane's lines keeps the backup that governs it, even when the
// user's own lines happen to hold a block line as well.
TEST_F(HostsTest, BlockLinesNeverReplaceTheBackupWhateverRestoreSays) {
  for (const char* restore : {"", "True"}) {
    SCOPED_TRACE(restore);
    fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\n");
    fp.files.Put(kHosts, "# mine\r\n127.0.0.1 ads.example\r\n");
    fp.settings.values["Data\\Restore"] = "True";
    HostsRedirect run{services, hostsPath};
    run.TakeBackup();
    run.blockads(true);  // then killed
    if (*restore) fp.settings.values["Data\\Restore"] = restore;  // another account
    else fp.settings.values.erase("Data\\Restore");
    HostsRedirect next{services, hostsPath};
    next.TakeBackup();
    EXPECT_EQ(fp.settings.Value("Data", "Restore"), "False");
    next.blockads(false);
    EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 ads.example\r\n\r\n\r\n");
  }
}

// Before start-up has judged the file, or with a Restore that is neither
// "True" nor "False", no backup governs: nothing is written, and why is said
// once.
TEST_F(HostsTest, NothingIsWrittenUnlessABackupGoverns) {
  const std::string mine = "# mine\r\n";
  for (const char* restore : {"True", "yes"}) {
    SCOPED_TRACE(restore);
    fp.dialogs.shown.clear();
    fp.files.Put(kHosts, mine);
    fp.settings.values["Data\\Restore"] = restore;
    HostsRedirect run{services, hostsPath};
    if (std::string(restore) == "yes") run.TakeBackup();
    run.blockads(true);
    run.blockads(true);
    EXPECT_EQ(Hosts(), mine);
    ASSERT_EQ(fp.dialogs.shown.size(), 1u);
    EXPECT_EQ(fp.dialogs.shown[0].title, "Norvane!");
    EXPECT_NE(fp.dialogs.shown[0].text.find("ad blocking stays off"), std::string::npos);
    EXPECT_FALSE(run.GovernedByBackup());
  }
}

// A HOSTS file saved as UTF-16, or holding NUL bytes, cannot be split into
// lines: it is left byte for byte, at start-up and at any later switch.
TEST_F(HostsTest, HostsFileThatIsNotPlainTextIsLeftByteForByte) {
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("# mine\r\n10.0.0.7 nas\r\n")) utf16 += std::string{c, '\0'};
  const std::string withNul = std::string("127.0.0.1 a\r\n\0\r\n", 16);
  for (const std::string& bytes : {utf16, withNul}) {
    fp.dialogs.shown.clear();
    fp.files.Put(kHosts, bytes);
    fp.files.Put(kBak, "older\r\n");
    fp.settings.values["Data\\Restore"] = "True";
    HostsRedirect run{services, hostsPath};
    run.TakeBackup();
    run.blockads(true);
    run.blockads(false);
    EXPECT_EQ(Hosts(), bytes);
    EXPECT_EQ(fp.files.Get(kBak), "older\r\n");
    ASSERT_EQ(fp.dialogs.shown.size(), 1u);
    EXPECT_NE(fp.dialogs.shown[0].text.find("is not plain text"), std::string::npos);
  }
  // Saved so by another program while blocking was on.
  fp.files.Put(kHosts, kUserListForm);
  fp.settings.values["Data\\Restore"] = "False";
  HostsRedirect run{services, hostsPath};
  run.TakeBackup();
  run.blockads(true);
  fp.files.Put(kHosts, utf16);
  const std::string backup = fp.files.Get(kBak);
  run.blockads(false);
  EXPECT_EQ(Hosts(), utf16);
  EXPECT_EQ(fp.files.Get(kBak), backup);
}

// A hidden or system HOSTS file exists: it is backed up, not emptied.
TEST_F(HostsTest, HiddenSystemHostsFileIsBackedUpNotReplaced) {
  fp.files.Put(kHosts, "# hidden\r\n", kAttrHidden | kAttrSystem);
  fp.settings.values["Data\\Restore"] = "True";
  HostsRedirect run{services, hostsPath};
  run.TakeBackup();
  EXPECT_EQ(Hosts(), "# hidden\r\n");
  EXPECT_EQ(fp.files.Get(kBak), "# hidden\r\n\r\n\r\n");
  fp.files.Remove(kHosts);
  HostsRedirect(services, hostsPath).TakeBackup();
  EXPECT_EQ(Hosts(), "\r\n\r\n") << "a missing file is created empty";
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
