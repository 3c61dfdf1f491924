#include "adblock/blocked_https_count.h"

namespace nv {

bool BlockedHttpsCount::Accepted(std::uint64_t nowMs) {
  if (!any_ || nowMs - last_ >= kBurstGapMs) inBurst_ = 0;
  any_ = true;
  last_ = nowMs;
  return inBurst_++ % 2 == 0;
}

}  // namespace nv
