#pragma once
#include <memory>

#include "platform/net.h"

namespace nv {

// Winsock 2 sockets whose events arrive through WSAAsyncSelect as messages to
// a hidden window of their own, on the thread that made it: call this on the
// UI thread. When Winsock cannot be started, every Listen reports why.
std::unique_ptr<Network> MakeWinsockNetwork();

}  // namespace nv
