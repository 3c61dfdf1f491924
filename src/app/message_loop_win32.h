#pragma once
#include <windows.h>

#include <functional>

#include "platform/win32/winsock_network.h"

namespace nv {

// The thread's message loop, until WM_QUIT (whose code it returns). It waits
// on the network's listeners beside the messages (waits may be null) and
// hands every message to route. A message waits at most a couple of
// milliseconds however busy the listeners are.
int RunMessageLoop(LoopWaits* waits, const std::function<void(MSG&)>& route);

}  // namespace nv
