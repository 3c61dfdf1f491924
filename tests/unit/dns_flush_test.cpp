// The DNS Client's cache is flushed after every HOSTS write, so a switch
// reaches running browsers at once; a failing flush is logged once a run.
#include <gtest/gtest.h>

#include "adblock/hosts_redirect.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

constexpr char kHosts[] = "C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS";

struct DnsFlush : ::testing::Test {
  DnsFlush() {
    fp.files.Put("C:\\N\\data\\hosts.svr", "ads.example\r\n");
    fp.files.Put(kHosts, "# mine\r\n");
    fp.settings.values["Data\\Restore"] = "True";
    redirect.TakeBackup();
    fp.dnsCache.onFlush = [this] { seen.push_back(fp.files.Get(kHosts)); };
  }
  std::string ErrLog() { return fp.files.Get("C:\\N\\err.log"); }
  test::FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services services{fp.platform, store, settings, counters};
  std::string hostsPath = kHosts;
  HostsRedirect redirect{services, hostsPath};
  std::vector<std::string> seen;  // the HOSTS file as each flush found it
};

TEST_F(DnsFlush, EachWriteOnOrOffIsFollowedByOneFlushOfTheNewFile) {
  EXPECT_EQ(fp.dnsCache.flushes, 0) << "taking the backup writes no HOSTS file";
  redirect.blockads(true);
  redirect.blockads(true);  // the same list again writes nothing, so nothing to flush
  redirect.blockads(false);
  EXPECT_EQ(seen, (std::vector<std::string>{"127.0.0.1 ads.example\r\n\r\n\r\n", "# mine\r\n\r\n\r\n"}));
}

TEST_F(DnsFlush, NoFlushWhenTheWriteFailed) {
  fp.files.SetAttributes(kHosts, kAttrReadOnly);
  EXPECT_THROW(redirect.blockads(true), AppError);
  EXPECT_EQ(fp.dnsCache.flushes, 0);
}

TEST_F(DnsFlush, AFailingFlushIsLoggedOnceARunAndNeverShown) {
  fp.dnsCache.fail = true;
  redirect.blockads(true);
  redirect.blockads(false);
  redirect.blockads(true);
  EXPECT_EQ(fp.dnsCache.flushes, 3);
  EXPECT_EQ(fp.files.Get(kHosts), "127.0.0.1 ads.example\r\n\r\n\r\n");
  const std::string log = ErrLog();
  const size_t first = log.find("DnsFlushResolverCache");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find("DnsFlushResolverCache", first + 1), std::string::npos) << log;
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(DnsFlush, APlatformWithoutTheServiceWritesAsBefore) {
  fp.platform.dnsCache = nullptr;
  redirect.blockads(true);
  EXPECT_EQ(fp.files.Get(kHosts), "127.0.0.1 ads.example\r\n\r\n\r\n");
  EXPECT_EQ(ErrLog(), "");
}

}  // namespace
}  // namespace nv
