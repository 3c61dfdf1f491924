#include "app/frm_main.h"
#include "popups/log_trap.h"

namespace nv {

// One tick of the main timer. Its order is fixed: popups, cookies, status,
// then the cheap look whether another program replaced the HOSTS file.
// A failure skips the rest of the tick, is logged and shown nowhere.
void frmMain::Timer_Timer() {
  RunLoggingFailures(store, [this] {
    popups.ResetScanState();
    if (mnublockpopups) popups.PopupStep();
    if (mnukillcookies) cookies.CookieStep();
    UpdateStatus();
    hostsWatch.Tick(mnublockads);
  });
}

}  // namespace nv
