#include "platform/accept_pacing.h"

#include <algorithm>

namespace nv {

AcceptPacing::Round AcceptPacing::Next() {
  if (bursting_) return {kBurst, true};
  if (--until_ > 0) return {1, false};
  return {2, false};
}

// A round that took fewer than it could emptied the queue: a full one starts
// or continues a burst, and a burst's end or start resets the probes' gap.
void AcceptPacing::Took(const Round& round, int taken) {
  if (round.most == 1) return;
  const bool full = taken == round.most;
  bursting_ = full;
  gap_ = full || round.hold ? 1 : std::min(gap_ * 2, kMaxProbeGap);
  until_ = gap_;
}

}  // namespace nv
