#pragma once
#include <cstdint>

namespace nv {

// Which connections to the HTTPS refuser stand for a blocked ad. The
// refuser closes each one at once and never learns the name asked for, so
// ads are told from the browser's habit: Chromium connects for each request
// and, after the reset, once more a few milliseconds later; five ads on a
// page (five names or one) make ten connections in one burst. So within a
// burst (connections less than a second apart) every second connection is
// the retry of an earlier one: the first, third, fifth… are counted.
class BlockedHttpsCount {
 public:
  // One accepted connection at nowMs; true when it is a blocked ad's first.
  bool Accepted(std::uint64_t nowMs);

  static constexpr std::uint64_t kBurstGapMs = 1000;

 private:
  bool any_ = false;
  std::uint64_t last_ = 0;
  std::uint64_t inBurst_ = 0;
};

}  // namespace nv
