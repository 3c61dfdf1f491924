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

#include "platform/accept_pacing.h"
#include "platform/table_network.h"
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

class WinsockNetwork : public TableNetwork, private SocketCalls, private ConnectCalls {
 public:
  WinsockNetwork();
  ~WinsockNetwork() override;

  SocketId Listen(const std::string& address, int port, NetSink& sink) override;
  int LocalPort(SocketId listener) override;
  SocketId Accept(SocketId listener, std::string& peerAddress) override;
  PortProbe Probe(const std::string& address, int port, int limitMs) override {
    return startError_ ? PortProbe::NoAnswer : ProbeTcpPort(address, port, limitMs);
  }
  std::optional<AppError> Unavailable() const override { return startError_; }

 private:
  using Entry = ConnectionTable::Entry;
  // What a resolver thread posts back: owned by the message.
  struct Resolution {
    SocketId id = kNoSocket;
    int error = 0;
    std::vector<std::uint32_t> addresses;  // network byte order
  };

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  UINT NextMessage();
  bool StillOpen(const Entry& e);
  void OnSocketMessage(UINT message, SOCKET s, LPARAM lp);
  void OnConnectionClosed(SocketId id, int error);

  IoResult SendSome(OsSocket s, const char* data, std::size_t size) override;
  IoResult ReceiveSome(OsSocket s, char* into, std::size_t max) override;
  void CloseSocket(OsSocket s) override { closesocket(static_cast<SOCKET>(s)); }
  void AwaitWritable(SocketId id, OsSocket s) override;
  void EventQueued() override;
  void DeliverPending();
  void SelectAccepted();
  void Rearm(const Entry& listener);
  void OnConnectionRequest(SocketId listener);
  void Hold(SocketId listener);

  void Resolve(SocketId id, const std::string& host) override;
  int StartConnect(SocketId id, std::uint32_t address, int port, OsSocket& s, unsigned& tag) override;
  void DropConnect(OsSocket s, unsigned tag) override;
  void ConnectMade(OsSocket, unsigned tag) override { outgoingByMessage_.erase(tag); }
  void StartLimit(SocketId id, int ms) override;
  void StopLimit(SocketId id) override;
  void OutcomeQueued() override { EventQueued(); }
  void OnResolved(Resolution* answer);
  void OnConnectMessage(SocketId id, SOCKET s, LPARAM lp);
  void OnTimeLimit(SocketId id);

  HWND hwnd_ = nullptr;
  bool started_ = false;
  std::optional<AppError> startError_;
  std::unordered_map<UINT, SocketId> outgoingByMessage_;
  UINT nextMessage_ = 0;
  std::vector<SocketId> accepted_;  // accepted while handling the current message
  AcceptPacing pacing_;
  unsigned acceptCount_ = 0;
  bool refusedInRound_ = false;
  bool deliverPosted_ = false;
};

}  // namespace nv::winsock
