#pragma once
#include <memory>

#include "platform/http_fetch.h"
#include "platform/timers.h"
#include "update/fetch_slot.h"
#include "update/update_views.h"

namespace nv {

class LiveUpdate;

// The hidden version checker: every 60 seconds it asks the update server for
// the newest version and opens the prompt when that is newer than ours.
class Form5 {
 public:
  static constexpr unsigned kTimer1Interval = 60000;
  static constexpr unsigned kFetchLimitMs = kFetchTimeoutMs;

  explicit Form5(LiveUpdate& live);
  ~Form5();

  // Hides the window and enables Timer1; the first check comes a minute later.
  void Form_Load();
  void Timer1_Timer();
  // Stops the minute timer: no check comes until it is started again.
  void StopTimer1();
  // The checker closes; no check runs again until the program starts again.
  void Unload();
  bool Loaded() const { return loaded_; }
  bool Timer1Enabled() const { return timer1_ != 0; }

 private:
  void ArmTimer1();
  void OnVersion(const HttpAnswer& answer);

  LiveUpdate& live_;
  std::unique_ptr<CheckerView> view_;
  FetchSlot inet1_;
  Timers::Id timer1_ = 0;
  bool loaded_ = false;
};

}  // namespace nv
