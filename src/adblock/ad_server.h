#pragma once
#include <functional>
#include <string>
#include <unordered_map>

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
// Each connection's slot is keyed by the network's own SocketId, which is
// never reused: the server runs for any number of connections, and the slots
// replace a 16-bit running connection index.
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

  // Socket events, by the socket they concern.
  void wsock_ConnectionRequest(SocketId listener);
  void wsock_DataArrival(SocketId conn);
  void wsock_SendComplete(SocketId conn);
  void wsock_Close(SocketId conn, bool reset);
  // Takes clients left waiting without a connection-request event (the main
  // timer calls it on every tick).
  void AcceptWaiting() { Take(listener_, kAllWaiting); }

  bool Listening() const { return listener_ != kNoSocket; }
  int HttpPort();
  int HttpsPort() { return https_.Port(); }
  int OpenConnections() const { return static_cast<int>(slots_.size()); }
  // The most connections that were open at once.
  int SlotCount() const { return peakOpen_; }

  void OnConnectionRequest(SocketId listener) override { wsock_ConnectionRequest(listener); }
  void OnDataArrival(SocketId conn) override { wsock_DataArrival(conn); }
  void OnSendComplete(SocketId conn) override { wsock_SendComplete(conn); }
  void OnPeerClosed(SocketId conn, bool reset) override { wsock_Close(conn, reset); }

 private:
  enum class SlotState { Reading, Replying };
  struct Slot {
    SlotState state = SlotState::Reading;
    std::string request;      // the bytes received so far, until judged
    std::size_t scanned = 0;  // bytes of it judged incomplete before
    bool headRead = false;    // the request's head arrived whole: nothing to drain
  };

  Slot* Live(SocketId conn);
  static constexpr int kAllWaiting = 1 << 30;
  void Take(SocketId listener, int most);
  bool AcceptOne(Network& net);
  void Release(SocketId conn);
  void ReadRequest(SocketId conn, Slot& slot);
  void Answer(SocketId conn, Slot& slot, const std::string& target);
  void Drain(SocketId conn);
  void ReportAcceptFailure(const AppError& e);

  Services& s_;
  std::function<void()> onPortTaken_;
  int httpPort_ = 80;
  int httpsPort_ = 443;
  SocketId listener_ = kNoSocket;
  std::unordered_map<SocketId, Slot> slots_;
  int peakOpen_ = 0;
  int lastAcceptError_ = 0;
  HttpsRefuser https_;
  AdImageCache image_;
  ActivityLog adsLog_;
};

}  // namespace nv
