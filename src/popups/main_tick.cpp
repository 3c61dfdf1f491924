#include "popups/main_tick.h"

#include "popups/log_trap.h"

namespace nv {

void RunMainTick(Store& store, const TickParts& parts, TickSwitches on) {
  RunLoggingFailures(store, [&] {
    parts.popups.ResetScanState();
    if (on.blockPopups) parts.popups.PopupStep();
    if (on.killCookies) parts.cookies.CookieStep();
    parts.updateStatus();
    parts.hostsWatch.Tick(on.blockAds);
  });
}

}  // namespace nv
