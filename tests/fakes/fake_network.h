#pragma once
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/errors.h"
#include "platform/net.h"

namespace nv::test {

// An in-memory network whose test side plays the browser and the event loop:
// Connect, Arrive, PeerClose and FinishSends call the sink directly.
class FakeNetwork : public Network {
 public:
  struct Listener {
    std::string address;
    int port = 0;
    NetSink* sink = nullptr;
    bool open = true;
    std::deque<SocketId> waiting;
  };
  // An outgoing connection: the test settles it with CompleteConnect or
  // FailConnect, as the event loop would.
  struct Attempt {
    std::string host;
    int port = 0;
    int limitMs = 0;
    ConnectSink* sink = nullptr;
    bool open = true;
    bool settled = false;
  };
  struct Conn {
    SocketId listener = kNoSocket;
    std::string peer;
    std::string inbox;    // sent by the browser, not yet received
    std::string sent;     // what the server sent
    int sends = 0;
    bool accepted = false;
    bool closed = false;
    bool sendPending = false;
  };

  SocketId Listen(const std::string& address, int port, NetSink& sink) override;
  int LocalPort(SocketId listener) override;
  SocketId Accept(SocketId listener, std::string& peerAddress) override;
  std::size_t Receive(SocketId conn, std::string& into, std::size_t max) override;
  void Send(SocketId conn, std::string bytes) override;
  void Close(SocketId s) override;
  // What probes find, by port (default: Refused). Every probe is recorded.
  PortProbe Probe(const std::string& address, int port, int limitMs) override;
  SocketId Connect(const std::string& host, int port, int limitMs, ConnectSink& sink) override;

  // The browser's side. Connect returns the connection it opened.
  SocketId Connect(int port, const std::string& peer = "127.0.0.1");
  // A client that waits on the listener without an event yet; Signal then
  // raises one connection-request event for whatever waits.
  SocketId Enqueue(int port, const std::string& peer = "127.0.0.1");
  void Signal(int port);
  void Arrive(SocketId conn, std::string_view bytes);
  void PeerClose(SocketId conn, bool reset = false);
  // Completes every pending send, in the order they were made.
  void FinishSends();
  // Settle an outgoing connection; nothing reaches the sink once the attempt
  // was closed or settled.
  void CompleteConnect(SocketId attempt, const std::string& peerAddress);
  void FailConnect(SocketId attempt, const AppError& error);
  // The newest outgoing connection, kNoSocket when none was made.
  SocketId LastAttempt() const { return attempts.empty() ? kNoSocket : attempts.rbegin()->first; }

  int OpenListeners() const;
  int OpenConnections() const;  // accepted and not closed

  std::map<int, AppError> listenErrors;  // port -> failure of Listen
  std::map<int, PortProbe> probeAnswers;  // port -> what Probe finds
  std::vector<int> probedPorts;
  std::optional<AppError> acceptError;
  std::map<SocketId, Listener> listeners;
  std::map<SocketId, Conn> conns;
  std::map<SocketId, Attempt> attempts;

 private:
  NetSink* SinkOf(SocketId conn);
  SocketId next_ = 1;
  std::vector<SocketId> sending_;
};

}  // namespace nv::test
