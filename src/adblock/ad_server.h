#pragma once
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "adblock/ad_reply.h"
#include "adblock/https_refuser.h"
#include "platform/net.h"
#include "store/activity_log.h"
#include "store/services.h"

namespace nv {

// The local ad-replacement web server on 127.0.0.1:80: one GET request per
// connection, logged to "\ads.log", answered by BuildAdResponse, closed once
// the reply has gone out. Beside it, 127.0.0.1:443 refuses HTTPS at once.
//
// Connections live in slots: slot 0 stands for the listener, 1.. for the
// connections. A released slot is reused, so the server runs for any number
// of connections; the slots replace a 16-bit running connection index.
class AdServer : public NetSink {
 public:
  explicit AdServer(Services& services);
  ~AdServer() override;
  AdServer(const AdServer&) = delete;
  AdServer& operator=(const AdServer&) = delete;

  // Runs when the port is taken and the program must end (the exit sequence).
  void SetOnPortTaken(std::function<void()> f) { onPortTaken_ = std::move(f); }
  // The ports to listen on, 80 and 443 unless a test picks others (0: any).
  void SetPorts(int http, int https) {
    httpPort_ = http;
    httpsPort_ = https;
  }
  void StartAdServer();
  void StopAdServer();

  // Socket events, by slot.
  void wsock_ConnectionRequest(int Index);
  void wsock_DataArrival(int Index);
  void wsock_SendComplete(int Index);
  void wsock_Close(int Index, bool reset);

  bool Listening() const { return listener_ != kNoSocket; }
  int HttpPort();
  int HttpsPort() { return https_.Port(); }
  int OpenConnections() const { return open_; }
  // Slots ever allocated: the most connections that were open at once.
  int SlotCount() const { return static_cast<int>(slots_.size()) - 1; }

  void OnConnectionRequest(SocketId listener) override;
  void OnDataArrival(SocketId conn) override;
  void OnSendComplete(SocketId conn) override;
  void OnPeerClosed(SocketId conn, bool reset) override;

 private:
  enum class SlotState { Free, Reading, Replying };
  struct Slot {
    SocketId sock = kNoSocket;
    SlotState state = SlotState::Free;
    std::string request;      // the bytes received so far, until judged
    std::size_t scanned = 0;  // bytes of it judged incomplete before
    bool headRead = false;    // the request's head arrived whole: nothing to drain
  };

  Slot* Live(int Index);
  int IndexOf(SocketId sock) const;
  int Allocate(SocketId sock);
  void AcceptOne(Network& net);
  void Release(int Index);
  void ReadRequest(int Index, Slot& slot);
  void Answer(Slot& slot, const std::string& target);
  void Drain(Slot& slot);
  void ReportAcceptFailure(const AppError& e);

  Services& s_;
  std::function<void()> onPortTaken_;
  int httpPort_ = 80;
  int httpsPort_ = 443;
  SocketId listener_ = kNoSocket;
  std::vector<Slot> slots_{Slot{}};
  std::vector<int> free_;
  std::unordered_map<SocketId, int> bySocket_;
  int open_ = 0;
  int lastAcceptError_ = 0;
  HttpsRefuser https_;
  AdImageCache image_;
  ActivityLog adsLog_;
};

}  // namespace nv
