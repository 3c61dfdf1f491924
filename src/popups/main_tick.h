#pragma once
#include <functional>

#include "adblock/hosts_watch.h"
#include "cookies/cookie_cleaner.h"
#include "popups/popup_scanner.h"
#include "store/store.h"

namespace nv {

// What the main timer's tick works on, and which of it is switched on.
struct TickParts {
  PopupScanner& popups;
  CookieCleaner& cookies;
  HostsWatch& hostsWatch;
  std::function<void()> updateStatus;
};
struct TickSwitches {
  bool blockPopups = false, killCookies = false, blockAds = false;
};

// One tick of the main timer. Its order is fixed: popups, cookies, status,
// then the cheap look whether another program replaced the HOSTS file.
// A failure skips the rest of the tick, is logged and shown nowhere.
void RunMainTick(Store& store, const TickParts& parts, TickSwitches on);

}  // namespace nv
