#include "fakes/fake_timers.h"

#include <algorithm>

namespace nv::test {

Timers::Id FakeTimers::StartOnce(unsigned milliseconds, std::function<void()> callback) {
  started.push_back(milliseconds);
  timers_.push_back(Entry{next_, now + milliseconds, std::move(callback)});
  return next_++;
}

void FakeTimers::Cancel(Id id) {
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const Entry& e) { return e.id == id; }),
                timers_.end());
}

void FakeTimers::Advance(unsigned milliseconds) {
  const std::uint64_t until = now + milliseconds;
  for (;;) {
    auto due = std::min_element(timers_.begin(), timers_.end(),
                                [](const Entry& a, const Entry& b) { return a.due < b.due; });
    if (due == timers_.end() || due->due > until) break;
    now = due->due;
    auto callback = std::move(due->callback);
    timers_.erase(due);
    callback();
  }
  now = until;
}

}  // namespace nv::test
