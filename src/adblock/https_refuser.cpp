#include "adblock/https_refuser.h"

#include "adblock/port_guard.h"
#include "platform/clock.h"
#include "store/counters.h"

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
    const SocketId conn = net.Accept(listener, peer);
    if (conn == kNoSocket) return;
    net.Close(conn);
    const std::uint64_t now = s_.platform.clock ? s_.platform.clock->TickMs() : 0;
    if (count_.Accepted(now)) s_.counters.Increment(BannerAdsCount);
  } catch (const AppError& e) {
    s_.store.LogError(e);
  }
}

}  // namespace nv
