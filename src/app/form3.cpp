#include "app/form3.h"

#include "app/frm_main.h"

namespace nv {

void Form3::SetTexts() {
  view_.SetBanner(kSplashBanner);
  view_.SetVersion(kSplashVersion);
  setMainVersion_(kVersionLine);
}

void Form3::Form_Load() { SetTexts(); }

void Form3::Timer2_Timer() {
  if (!timer2Enabled_) return;
  SetTexts();
  view_.Hide();
  timer2Enabled_ = false;
}

}  // namespace nv
