#pragma once
#include <string>

#include "platform/net.h"

namespace nv {

// How long start-up waits for another program to answer on a port before
// taking it for free. A listener on loopback answers within a millisecond;
// only a refusal that Windows retries runs into the limit.
inline constexpr int kPortProbeLimitMs = 500;

// Listens on address:port unless another program already serves there.
// Windows lets a bind to 127.0.0.1 succeed beside another program's listener
// on 0.0.0.0 (same account) and would hand that program's loopback traffic to
// us, so a trial connection asks first; only a completed one counts, so the
// closing connections of our own last run never do. Throws 10048 when the
// port is taken, and whatever Listen throws.
SocketId ListenUnlessTaken(Network& net, const std::string& address, int port, NetSink& sink);

// The failures of a listen that mean another program has the port: in use,
// or (a specific bind beside a wildcard one of another account, or a port
// the system reserved) access denied.
bool IsPortTaken(const AppError& e);

}  // namespace nv
