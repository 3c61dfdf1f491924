#include "platform/accept_pacing.h"

namespace nv {

AcceptPacing::Round AcceptPacing::Next() {
  if (bursting_) return {kBurst, true};
  if (++sinceProbe_ < kProbeEvery) return {1, false};
  sinceProbe_ = 0;
  return {2, false};
}

void AcceptPacing::Took(const Round& round, int taken) {
  // A round that took fewer than it could emptied the queue.
  if (round.most > 1) bursting_ = taken == round.most;
}

}  // namespace nv
