#pragma once
#include "adblock/blocked_https_count.h"
#include "platform/net.h"
#include "store/services.h"

namespace nv {

// Listens on 127.0.0.1:443 and closes every connection at once. Browsers ask
// many ad servers over HTTPS; without a listener a refused loopback connect
// takes about two seconds to fail on Windows and stalls the page. A port
// another program serves (however bound) is logged and left to it. The ads
// behind the connections count in BannerAdsCount, as BlockedHttpsCount tells.
class HttpsRefuser : public NetSink {
 public:
  explicit HttpsRefuser(Services& services) : s_(services) {}
  ~HttpsRefuser() override { Stop(); }
  void Start(int port);
  void Stop();
  int Port();

  void OnConnectionRequest(SocketId listener) override;
  void OnDataArrival(SocketId) override {}
  void OnSendComplete(SocketId) override {}
  void OnPeerClosed(SocketId, bool) override {}

 private:
  Services& s_;
  SocketId listener_ = kNoSocket;
  BlockedHttpsCount count_;
};

}  // namespace nv
