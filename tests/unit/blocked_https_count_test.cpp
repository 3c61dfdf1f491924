// Blocked HTTPS ads counted from the refuser's connections: Chromium makes
// two for each blocked request (the first and a retry after the reset).
#include <gtest/gtest.h>

#include "adblock/ad_server.h"
#include "adblock/blocked_https_count.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

// The times of Chromium's connections as measured: five ads at once, the
// retries 8 to 16 ms after the first wave.
TEST(BlockedHttpsCount, FiveAdsOfOneBurstOfTenConnectionsCountFive) {
  BlockedHttpsCount count;
  int counted = 0;
  for (std::uint64_t t : {728, 739, 739, 745, 746, 748, 748, 756, 756, 756}) counted += count.Accepted(t);
  EXPECT_EQ(counted, 5);
}

TEST(BlockedHttpsCount, AdsSecondsApartCountOneEachAndAStrayConnectionCountsOne) {
  BlockedHttpsCount count;
  int counted = 0;
  for (std::uint64_t t : {2043, 2043, 9000, 9016, 20000}) counted += count.Accepted(t);
  EXPECT_EQ(counted, 3);
  // A burst goes on while connections keep coming less than a second apart.
  BlockedHttpsCount chain;
  counted = 0;
  for (std::uint64_t t : {0, 900, 1800, 2700}) counted += chain.Accepted(t);
  EXPECT_EQ(counted, 2);
}

struct RefuserCount : ::testing::Test {
  test::FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services s{fp.platform, store, settings, counters};
  AdServer server{s};
};

TEST_F(RefuserCount, EachBlockedAdBehindTheRefuserCountsOnceInBannerAds) {
  server.StartAdServer();
  for (int i = 0; i < 10; ++i) {
    fp.clock.tickMs += 3;
    const SocketId c = fp.net.Connect(443);
    EXPECT_TRUE(fp.net.conns.at(c).closed) << "closed at once, never a handshake";
    EXPECT_EQ(fp.net.conns.at(c).sends, 0);
  }
  EXPECT_EQ(counters.Get(BannerAdsCount), 5);
  fp.clock.tickMs += 5000;
  fp.net.Connect(443);
  fp.net.Connect(443);
  EXPECT_EQ(counters.Get(BannerAdsCount), 6);
}

}  // namespace
}  // namespace nv
