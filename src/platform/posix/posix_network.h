#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <unordered_map>
#include <vector>

#include "platform/net.h"

namespace nv {

// Loopback TCP on POSIX sockets with a poll() event loop. The thread that
// runs the loop plays the UI thread: every Network call and every event
// belongs to it. Only Post and Quit may be called from other threads.
class PosixNetwork : public Network {
 public:
  PosixNetwork();
  ~PosixNetwork() override;
  PosixNetwork(const PosixNetwork&) = delete;
  PosixNetwork& operator=(const PosixNetwork&) = delete;

  SocketId Listen(const std::string& address, int port, NetSink& sink) override;
  int LocalPort(SocketId listener) override;
  SocketId Accept(SocketId listener, std::string& peerAddress) override;
  std::size_t Receive(SocketId conn, std::string& into, std::size_t max) override;
  void Send(SocketId conn, std::string bytes) override;
  void Close(SocketId s) override;
  PortProbe Probe(const std::string& address, int port, int limitMs) override;
  SocketId Connect(const std::string& host, int port, int limitMs, ConnectSink& sink) override;

  // Waits up to timeoutMs for events and delivers them.
  void RunOnce(int timeoutMs);
  // Runs the loop until Quit.
  void Run();
  void Quit();
  // Runs f on the loop's thread at its next round.
  void Post(std::function<void()> f);
  std::size_t OpenSockets() const { return socks_.size() + outgoing_.size(); }

 private:
  enum class Pending { SendComplete, PeerClosed, PeerReset, Connected, ConnectFailed };
  struct Sock {
    int fd = -1;
    NetSink* sink = nullptr;
    bool listener = false;
    bool eof = false;          // the peer's end was read
    bool reset = false;        // the connection broke
    bool closeTold = false;    // OnPeerClosed(false) delivered
    std::string out;           // bytes not yet passed to the system
    std::size_t sent = 0;
    bool sending = false;      // a Send waits for its completion
  };

  // An outgoing connection: resolving (a worker thread looks the name up),
  // connecting to addresses[next - 1], then settled with its outcome.
  struct Outgoing {
    ConnectSink* sink = nullptr;
    int port = 0;
    std::vector<std::uint32_t> addresses;  // network byte order
    std::size_t next = 0;
    int fd = -1;
    bool settled = false;
    int lastError = 0;
    std::string peer;
    std::optional<AppError> failure;
    std::optional<std::chrono::steady_clock::time_point> deadline;  // none: the system's
  };
  // Where a resolver thread posts its answer; emptied when the network goes.
  struct Mailbox {
    std::mutex lock;
    PosixNetwork* net = nullptr;
  };

  void Resolve(SocketId id, const std::string& host);
  void OnResolved(SocketId id, int error, std::vector<std::uint32_t> addresses);
  void ConnectNext(SocketId id, Outgoing& o);
  void OnConnectReady(SocketId id, Outgoing& o);
  void Settle(SocketId id, Outgoing& o, int error);
  void ExpireAttempts();
  int UntilNextDeadline(int timeoutMs) const;

  Sock* Find(SocketId id);
  SocketId Add(int fd, NetSink& sink, bool listener);
  void Flush(SocketId id, Sock& s);
  void MarkReset(SocketId id, Sock& s);
  void DeliverPending();
  void RunPosted();
  void Dispatch(SocketId id, short revents);
  void Wake();

  std::unordered_map<SocketId, Sock> socks_;
  std::unordered_map<SocketId, Outgoing> outgoing_;
  std::shared_ptr<Mailbox> mailbox_ = std::make_shared<Mailbox>();
  std::deque<std::pair<SocketId, Pending>> pending_;
  SocketId nextId_ = 1;
  std::vector<pollfd> pollSet_;
  std::vector<SocketId> pollIds_;
  int wakeRead_ = -1, wakeWrite_ = -1;
  std::mutex postMutex_;
  std::vector<std::function<void()>> posted_;
  bool quit_ = false;
};

}  // namespace nv
