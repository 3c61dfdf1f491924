#pragma once
#include "platform/timers.h"

namespace nv {

// One-shot thread timers (SetTimer without a window): the message loop's
// DispatchMessage runs the callback, so any loop on the UI thread serves,
// modal ones included.
class Win32Timers : public Timers {
 public:
  ~Win32Timers() override;
  Id StartOnce(unsigned milliseconds, std::function<void()> callback) override;
  void Cancel(Id id) override;
};

}  // namespace nv
