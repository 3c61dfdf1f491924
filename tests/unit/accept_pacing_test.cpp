// The clients a backend hands its sink per connection-request report.
#include <gtest/gtest.h>

#include "platform/accept_pacing.h"

namespace nv {
namespace {

// Runs reports against a queue that always holds `waiting` clients; returns
// the rounds' sizes.
std::vector<int> Rounds(AcceptPacing& p, int reports, int waiting) {
  std::vector<int> sizes;
  for (int i = 0; i < reports; ++i) {
    const AcceptPacing::Round r = p.Next();
    EXPECT_EQ(r.hold, r.most == AcceptPacing::kBurst) << "only a burst holds the reports";
    p.Took(r, std::min(r.most, waiting));
    sizes.push_back(r.most);
  }
  return sizes;
}

TEST(AcceptPacing, OneClientPerReportWhileNoneQueueUp) {
  AcceptPacing p;
  const std::vector<int> sizes = Rounds(p, 3 * AcceptPacing::kProbeEvery, 1);
  for (std::size_t i = 0; i < sizes.size(); ++i)
    EXPECT_EQ(sizes[i], (i + 1) % AcceptPacing::kProbeEvery == 0 ? 2 : 1) << "report " << i;
  EXPECT_FALSE(p.Bursting());
}

TEST(AcceptPacing, BurstsWhileClientsQueueAndStopsAtTheFirstShortRound) {
  AcceptPacing p;
  Rounds(p, AcceptPacing::kProbeEvery, 100);  // the probe finds a second client
  ASSERT_TRUE(p.Bursting());
  for (int size : Rounds(p, 5, 100)) EXPECT_EQ(size, AcceptPacing::kBurst);

  const AcceptPacing::Round last = p.Next();
  p.Took(last, 3);  // the queue ran dry
  EXPECT_FALSE(p.Bursting());
  // Back to one client per report until the next probe.
  std::vector<int> after = Rounds(p, AcceptPacing::kProbeEvery, 1);
  EXPECT_EQ(after.front(), 1);
  EXPECT_EQ(after.back(), 2);
}

TEST(AcceptPacing, AProbeThatFindsOneClientStartsNoBurst) {
  AcceptPacing p;
  Rounds(p, AcceptPacing::kProbeEvery - 1, 100);
  const AcceptPacing::Round probe = p.Next();
  ASSERT_EQ(probe.most, 2);
  p.Took(probe, 1);
  EXPECT_FALSE(p.Bursting());
  EXPECT_EQ(p.Next().most, 1);
}

}  // namespace
}  // namespace nv
