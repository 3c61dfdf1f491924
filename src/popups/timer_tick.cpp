#include "app/frm_main.h"
#include "store/logs.h"

namespace nv {

// One tick of the main timer. Its order is fixed: popups, cookies, status.
// A failure skips the rest of the tick, is logged and shown nowhere.
void frmMain::Timer_Timer() {
  try {
    if (mnublockpopups) popups.PopupStep();
    if (mnukillcookies) cookies.CookieStep();
    UpdateStatus();
  } catch (const AppError& e) {
    store.LogError(e);
  }
}

}  // namespace nv
