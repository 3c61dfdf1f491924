#include "adblock/port_guard.h"

namespace nv {

SocketId ListenUnlessTaken(Network& net, const std::string& address, int port, NetSink& sink) {
  // Port 0 asks for a free port: nobody else can be on it.
  if (port != 0 && net.Probe(address, port, kPortProbeLimitMs) == PortProbe::Answered)
    throw neterr::Error(neterr::kAddressInUse);
  return net.Listen(address, port, sink);
}

bool IsPortTaken(const AppError& e) {
  return e.number == neterr::kAddressInUse || e.number == neterr::kAccessDenied;
}

}  // namespace nv
