#pragma once
// The Winsock backend's class, shared by its files: winsock_network.cpp (the
// window, listeners and connections) and winsock_connect.cpp (outgoing
// connections).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/net.h"
#include "platform/win32/winsock_probe.h"

namespace nv::winsock {

// Each listener and each outgoing connection gets its own message number
// from this range; connections inherit their listener's with its selection
// when accepted, which spares a WSAAsyncSelect per connection. Messages are
// keyed by number and socket handle.
constexpr UINT kResolvedMessage = WM_APP + 0x0FE;
constexpr UINT kDeliverMessage = WM_APP + 0x0FF;
constexpr UINT kFirstSocketMessage = WM_APP + 0x100;
constexpr UINT kSocketMessages = 0x3000;

// A Winsock failure with the text the logs show.
AppError WsaError(int code);

class WinsockNetwork : public Network {
 public:
  WinsockNetwork();
  ~WinsockNetwork() override;

  SocketId Listen(const std::string& address, int port, NetSink& sink) override;
  int LocalPort(SocketId listener) override;
  SocketId Accept(SocketId listener, std::string& peerAddress) override;
  std::size_t Receive(SocketId conn, std::string& into, std::size_t max) override;
  void Send(SocketId conn, std::string bytes) override;
  void Close(SocketId s) override;
  PortProbe Probe(const std::string& address, int port, int limitMs) override {
    return startError_ ? PortProbe::NoAnswer : ProbeTcpPort(address, port, limitMs);
  }
  SocketId Connect(const std::string& host, int port, int limitMs, ConnectSink& sink) override;

 private:
  enum class Pending { SendComplete, PeerReset, Connected, ConnectFailed };
  struct Sock {
    SOCKET s = INVALID_SOCKET;
    UINT message = 0;
    NetSink* sink = nullptr;
    bool listener = false;
    bool eof = false;
    bool reset = false;
    bool closeTold = false;
    std::string out;
    std::size_t sent = 0;
    bool sending = false;
    bool wantsWrite = false;
    bool selected = false;  // has events of its own (not the listener's)
    std::uint64_t received = 0;
  };
  // An outgoing connection: resolving (on a worker thread), connecting to
  // addresses[next - 1] with a message number of its own, then settled.
  struct Outgoing {
    ConnectSink* sink = nullptr;
    int port = 0;
    std::vector<ULONG> addresses;  // network byte order
    std::size_t next = 0;
    SOCKET s = INVALID_SOCKET;
    UINT message = 0;
    bool settled = false;
    int lastError = 0;
    std::string peer;
    std::optional<AppError> failure;
  };
  // What a resolver thread posts back: owned by the message.
  struct Resolution {
    SocketId id = kNoSocket;
    int error = 0;
    std::vector<ULONG> addresses;
  };

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  UINT NextMessage();
  SocketId Register(SOCKET s, UINT message, NetSink& sink, bool listener);
  bool StillOpen(const Sock& k);
  Sock* Find(SocketId id);
  void OnSocketMessage(UINT message, SOCKET s, LPARAM lp);
  void OnConnectionClosed(SocketId id, int error);
  void TellPeerClosed(SocketId id);
  void Flush(SocketId id, Sock& k);
  void MarkReset(SocketId id, Sock& k);
  void Queue(SocketId id, Pending what);
  void DeliverPending();
  void SelectAccepted();
  void DeliverOutcome(SocketId id);

  void Resolve(SocketId id, const std::string& host);
  void OnResolved(Resolution* answer);
  void ConnectNext(SocketId id, Outgoing& o);
  void OnConnectMessage(SocketId id, SOCKET s, LPARAM lp);
  void OnTimeLimit(SocketId id);
  void Settle(SocketId id, Outgoing& o, std::optional<AppError> failure);
  void DropSocket(Outgoing& o);

  HWND hwnd_ = nullptr;
  bool started_ = false;
  std::optional<AppError> startError_;
  std::unordered_map<SocketId, Sock> socks_;
  std::map<std::pair<UINT, SOCKET>, SocketId> byMessage_;
  std::unordered_map<SocketId, Outgoing> outgoing_;
  std::unordered_map<UINT, SocketId> outgoingByMessage_;
  UINT nextMessage_ = 0;
  SocketId nextId_ = 1;
  std::deque<std::pair<SocketId, Pending>> pending_;
  std::vector<SocketId> accepted_;  // accepted while handling the current message
  bool deliverPosted_ = false;
  int dispatching_ = 0;
};

}  // namespace nv::winsock
