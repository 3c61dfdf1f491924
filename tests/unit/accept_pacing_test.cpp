// The clients a backend hands its sink per connection-request report.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

// The reports at which a probe for a second client came.
std::vector<int> Probes(const std::vector<int>& sizes) {
  std::vector<int> at;
  for (std::size_t i = 0; i < sizes.size(); ++i)
    if (sizes[i] == 2) at.push_back(static_cast<int>(i));
  return at;
}

TEST(AcceptPacing, ProbesThatFindOneClientComeEverMoreSeldom) {
  AcceptPacing p;
  const std::vector<int> sizes = Rounds(p, 400, 1);
  EXPECT_EQ(Probes(sizes), (std::vector<int>{0, 2, 6, 14, 30, 62, 126, 190, 254, 318, 382}));
  EXPECT_EQ(std::count(sizes.begin(), sizes.end(), AcceptPacing::kBurst), 0);
  EXPECT_FALSE(p.Bursting());
}

TEST(AcceptPacing, BurstsWhileClientsQueueAndProbesAgainRightAfterTheQueueEmpties) {
  AcceptPacing p;
  Rounds(p, 40, 1);  // probes have grown seldom
  std::vector<int> sizes = Rounds(p, 40, 100);
  const int firstProbe = Probes(sizes).front();
  for (std::size_t i = firstProbe + 1; i < sizes.size(); ++i) EXPECT_EQ(sizes[i], AcceptPacing::kBurst);
  ASSERT_TRUE(p.Bursting());

  const AcceptPacing::Round last = p.Next();
  p.Took(last, 3);  // the queue ran dry
  EXPECT_FALSE(p.Bursting());
  EXPECT_EQ(p.Next().most, 2) << "the next report probes at once";
}

}  // namespace
}  // namespace nv
