#include "update/form5.h"

#include "platform/platform.h"
#include "update/frmauto.h"
#include "update/live_update.h"
#include "update/update_server.h"
#include "update/version_compare.h"

namespace nv {

Form5::Form5(LiveUpdate& live) : live_(live), inet1_(live.platform.http, live.platform.timers) {}

Form5::~Form5() { StopTimer1(); }

void Form5::Form_Load() {
  view_ = live_.views.MakeChecker(*this);
  view_->Hide();
  loaded_ = true;
  ArmTimer1();
}

void Form5::ArmTimer1() {
  timer1_ = live_.platform.timers->StartOnce(kTimer1Interval, [this] { Timer1_Timer(); });
}

void Form5::StopTimer1() {
  if (timer1_ != 0) live_.platform.timers->Cancel(timer1_);
  timer1_ = 0;
}

// The timer keeps its beat; a check still waiting for its answer (a slow
// server has up to a minute) lets the next tick pass rather than ask twice.
void Form5::Timer1_Timer() {
  timer1_ = 0;
  if (!loaded_) return;
  ArmTimer1();
  if (inet1_.Busy()) return;
  inet1_.Start(live_.Url(kVersionPath), [this](const HttpAnswer& a) { OnVersion(a); });
}

// A failed check unloads the checker without a word: the user did not ask.
void Form5::OnVersion(const HttpAnswer& answer) {
  if (!answer.ok) {
    Unload();
    return;
  }
  const VersionCheck check = TestVersion(answer.body);
  if (check.answer != VersionAnswer::kNewer) return;
  frmauto& prompt = live_.LoadPrompt();
  prompt.SetUpdateVersion(check.text);
  prompt.Show();
}

void Form5::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  StopTimer1();
  inet1_.Cancel();
  view_->Close();
}

}  // namespace nv
