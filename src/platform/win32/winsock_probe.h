#pragma once
#include <string>

#include "platform/net.h"

namespace nv {

// Network::Probe over Winsock: a non-blocking connect that waits at most
// limitMs. Winsock must be started.
PortProbe ProbeTcpPort(const std::string& address, int port, int limitMs);

}  // namespace nv
