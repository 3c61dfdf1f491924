// The subscribed names in the HOSTS file: what is left out, how lines are
// packed, and that the user's lines come back whatever the lists added.
#include <gtest/gtest.h>

#include "adblock/hosts_redirect.h"
#include "adblock/lists/hosts_lines.h"
#include "adblock/lists/list_parser.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

SubscribedNames Subscribed(std::string_view list, std::vector<std::string> allow = {}) {
  SubscribedNames s;
  s.names = ParseBlockList(list).names;
  s.allow = AllowList(allow);
  return s;
}

TEST(SubscribedHostsLines, LeavesOutOwnAllowedAndProtectedNamesAndPacksNineALine) {
  std::string list;
  for (char c = 'a'; c <= 'l'; ++c) list += std::string("0.0.0.0 ") + c + ".ads.example\n";
  list += "0.0.0.0 mine.example\n0.0.0.0 cdn.shop.example\n0.0.0.0 shop.example\n0.0.0.0 bank.example\n"
          "0.0.0.0 notshop.example\n";
  SubscribedNames s = Subscribed(list, {"*.Shop.Example"});
  s.isProtected = [](std::string_view name) { return name == "bank.example"; };
  s.address = "0.0.0.0";
  const std::string lines = SubscribedHostsLines({"127.0.0.1 Mine.Example", "127.0.0.1   other.example"}, s);
  EXPECT_EQ(lines,
            "0.0.0.0 a.ads.example b.ads.example c.ads.example d.ads.example e.ads.example f.ads.example "
            "g.ads.example h.ads.example i.ads.example\r\n"
            "0.0.0.0 j.ads.example k.ads.example l.ads.example notshop.example\r\n");
}

TEST(SubscribedHostsLines, NothingLeftGivesNoLineAtAll) {
  EXPECT_EQ(SubscribedHostsLines({"127.0.0.1 only.example"}, Subscribed("only.example\n")), "");
  EXPECT_EQ(SubscribedHostsLines({}, SubscribedNames{}), "");
  EXPECT_EQ(SubscribedHostsLines({}, Subscribed("x.example\n")), "127.0.0.1 x.example\r\n");
}

TEST(AllowList, AllowsANameWithEverySubdomainButNoLookAlike) {
  const AllowList allow({"example.com", " .cdn.example.net. ", "", "*.Shop.Example"});
  EXPECT_TRUE(allow.Allows("example.com"));
  EXPECT_TRUE(allow.Allows("a.b.example.com"));
  EXPECT_TRUE(allow.Allows("img.cdn.example.net"));
  EXPECT_TRUE(allow.Allows("shop.example"));
  EXPECT_FALSE(allow.Allows("badexample.com"));
  EXPECT_FALSE(allow.Allows("example.net"));
  EXPECT_FALSE(allow.Allows("com"));
  EXPECT_TRUE(AllowList(std::vector<std::string>{}).Empty());
}

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS";
constexpr char kRecord[] = "C:\\N\\data\\hosts.own";
constexpr char kUserHosts[] = "# mine\r\n127.0.0.1 localhost\r\n10.0.0.5 nas\r\n";

struct SubscribedHostsTest : ::testing::Test {
  SubscribedHostsTest() {
    fp.files.Put("C:\\N\\data\\hosts.svr", "own.example\r\n");
    fp.files.Put("C:\\N\\data\\dns.svr", "10.1.2.3 intranet\r\n");
    fp.files.Put(kHosts, kUserHosts);
    fp.settings.values["Data\\Restore"] = "True";
    fp.settings.values["Settings\\UseDNS"] = "1";
    std::string list;
    for (int i = 0; i < 20; ++i) list += "0.0.0.0 n" + std::to_string(i) + ".example\n";
    subscribed = Subscribed(list + "0.0.0.0 own.example\n");
    redirect.SetSubscribed(&subscribed);
    redirect.TakeBackup();
  }
  std::string Hosts() { return fp.files.Get(kHosts); }

  test::FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  std::string hostsPath = kHosts;
  SubscribedNames subscribed;
  HostsRedirect redirect{services, hostsPath};
};

TEST_F(SubscribedHostsTest, SubscribedLinesSitBetweenTheOwnListAndTheCacheAndAreRecorded) {
  redirect.blockads(true);
  const std::string hosts = Hosts();
  EXPECT_TRUE(hosts.starts_with("127.0.0.1 own.example\r\n\r\n\r\n127.0.0.1 n0.example n1.example n10.example"));
  EXPECT_EQ(hosts.find(" own.example", 25), std::string::npos);  // once, in the user's own list
  EXPECT_TRUE(hosts.ends_with("n9.example\r\n\r\n\r\n10.1.2.3 intranet\r\n\r\n\r\n"));
  for (std::string_view line : SplitHostsLines(hosts)) {
    size_t fields = 0;
    for (size_t i = 0; i < line.size(); ++i) fields += line[i] == ' ';
    EXPECT_LE(fields, kNamesPerHostsLine) << line;
  }
  EXPECT_EQ(fp.files.Get(kRecord), hosts);
}

// The subscriptions follow the address option, and a list that names one of
// Windows Defender's protected names never gets it into the file.
TEST_F(SubscribedHostsTest, SubscribedNamesPointWhereTheOwnListPointsAndSkipProtectedNames) {
  fp.settings.values["Settings\\RedirectAddress"] = "0.0.0.0";
  subscribed = Subscribed("0.0.0.0 n1.example\n0.0.0.0 watson.microsoft.com\n0.0.0.0 n2.example\n");
  redirect.blockads(true);
  const std::string hosts = Hosts();
  EXPECT_TRUE(hosts.starts_with("0.0.0.0 own.example\r\n\r\n\r\n0.0.0.0 n1.example n2.example\r\n")) << hosts;
  EXPECT_EQ(hosts.find("microsoft"), std::string::npos);
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n10.0.0.5 nas\r\n\r\n\r\n");
}

TEST_F(SubscribedHostsTest, TheUserGetsTheirLinesBackAndAnotherProgramsLineIsKept) {
  redirect.blockads(true);
  // Another program re-pads the packed lines and adds a line of its own.
  std::string hosts = Hosts();
  for (size_t at = hosts.find(" n"); at != std::string::npos; at = hosts.find(" n", at + 2)) hosts.insert(at, "\t");
  fp.files.Put(kHosts, hosts + "192.168.0.9 printer\r\n");
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n10.0.0.5 nas\r\n192.168.0.9 printer\r\n\r\n\r\n");
}

TEST_F(SubscribedHostsTest, AllowingANameTakesItOutAtTheNextSwitch) {
  redirect.blockads(true);
  subscribed.allow = AllowList({"n1.example"});
  redirect.blockads(true);
  EXPECT_EQ(Hosts().find("n1.example "), std::string::npos);
  EXPECT_NE(Hosts().find(" n10.example"), std::string::npos);
  EXPECT_EQ(fp.files.Get(kRecord), Hosts());
  redirect.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n10.0.0.5 nas\r\n\r\n\r\n");
}

TEST_F(SubscribedHostsTest, AStartAfterAKillKnowsThePackedLinesAsNorvanesAndGivesTheUserTheirs) {
  redirect.blockads(true);
  // Killed: no exit sequence, Restore stays "False"; the next run starts
  // before its lists were fetched, so it has no subscribed names at all.
  HostsRedirect next{services, hostsPath};
  next.TakeBackup();
  next.blockads(true);
  EXPECT_EQ(Hosts().find(" n1.example"), std::string::npos) << "the old packed lines are Norvane's, not the user's";
  EXPECT_EQ(fp.files.Get("C:\\N\\data\\hosts.bak"), "# mine\r\n127.0.0.1 localhost\r\n10.0.0.5 nas\r\n\r\n\r\n");
  next.blockads(false);
  EXPECT_EQ(Hosts(), "# mine\r\n127.0.0.1 localhost\r\n10.0.0.5 nas\r\n\r\n\r\n");
}

}  // namespace
}  // namespace nv
