#pragma once
#include <functional>

namespace nv {

// One-shot timers on the UI thread's message loop: the callback runs from
// the loop once the interval has passed, never from inside Start.
class Timers {
 public:
  using Id = unsigned;
  virtual ~Timers() = default;
  // Returns a non-zero id for Cancel.
  virtual Id StartOnce(unsigned milliseconds, std::function<void()> callback) = 0;
  // Drops a timer that has not fired yet; unknown or fired ids are ignored.
  virtual void Cancel(Id id) = 0;
};

}  // namespace nv
