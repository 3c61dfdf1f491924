#pragma once

#include "platform/platform.h"
#include "store/counters.h"
#include "store/settings.h"
#include "store/store.h"

namespace nv {

// What every feature of the running program shares: the seam, the data
// store, the settings and the counters. Owned by frmMain.
struct Services {
  Platform& platform;
  Store& store;
  Settings& settings;
  Counters& counters;
};

}  // namespace nv
