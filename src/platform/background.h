#pragma once
#include <functional>

namespace nv {

// Work that may take longer than a tick may wait, away from the UI thread.
class Background {
 public:
  virtual ~Background() = default;
  // Runs work on a worker thread, then done on the UI thread as an event of
  // the message loop (never from inside Run). work must not touch the UI
  // thread's state; done may. A done whose owner has gone must check for that
  // itself.
  virtual void Run(std::function<void()> work, std::function<void()> done) = 0;
};

}  // namespace nv
