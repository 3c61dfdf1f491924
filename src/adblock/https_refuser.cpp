#include "adblock/https_refuser.h"

#include "adblock/port_guard.h"

namespace nv {

void HttpsRefuser::Start(int port) {
  Stop();
  try {
    // Another program's HTTPS service keeps its port: never take it over.
    listener_ = ListenUnlessTaken(*s_.platform.net, "127.0.0.1", port, *this);
  } catch (const AppError& e) {
    s_.store.LogError(e);
  }
}

void HttpsRefuser::Stop() {
  if (listener_ == kNoSocket) return;
  s_.platform.net->Close(listener_);
  listener_ = kNoSocket;
}

int HttpsRefuser::Port() {
  return listener_ == kNoSocket ? 0 : s_.platform.net->LocalPort(listener_);
}

void HttpsRefuser::OnConnectionRequest(SocketId listener) {
  Network& net = *s_.platform.net;
  try {
    std::string peer;
    if (const SocketId conn = net.Accept(listener, peer); conn != kNoSocket) net.Close(conn);
  } catch (const AppError& e) {
    s_.store.LogError(e);
  }
}

}  // namespace nv
