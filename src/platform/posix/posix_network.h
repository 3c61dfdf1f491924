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

#include "platform/table_network.h"

namespace nv {

// Loopback TCP on POSIX sockets with a poll() event loop. The thread that
// runs the loop plays the UI thread: every Network call and every event
// belongs to it. Only Post and Quit may be called from other threads.
class PosixNetwork : public TableNetwork, private SocketCalls, private ConnectCalls {
 public:
  PosixNetwork();
  ~PosixNetwork() override;
  PosixNetwork(const PosixNetwork&) = delete;
  PosixNetwork& operator=(const PosixNetwork&) = delete;

  SocketId Listen(const std::string& address, int port, NetSink& sink) override;
  int LocalPort(SocketId listener) override;
  SocketId Accept(SocketId listener, std::string& peerAddress) override;
  PortProbe Probe(const std::string& address, int port, int limitMs) override;

  // Waits up to timeoutMs for events and delivers them.
  void RunOnce(int timeoutMs);
  // Runs the loop until Quit.
  void Run();
  void Quit();
  // Runs f on the loop's thread at its next round.
  void Post(std::function<void()> f);
  std::size_t OpenSockets() const { return table_.Size() + attempts_.Size(); }

 private:
  // Where a resolver thread posts its answer; emptied when the network goes.
  struct Mailbox {
    std::mutex lock;
    PosixNetwork* net = nullptr;
  };

  void Resolve(SocketId id, const std::string& host) override;
  int StartConnect(SocketId id, std::uint32_t address, int port, OsSocket& s, unsigned& tag) override;
  void DropConnect(OsSocket s, unsigned tag) override;
  void StartLimit(SocketId id, int ms) override;
  void StopLimit(SocketId id) override;
  void OutcomeQueued() override {}  // every round of the loop delivers
  void OnConnectReady(SocketId id, int fd);
  void ExpireAttempts();
  int UntilNextDeadline(int timeoutMs) const;

  IoResult SendSome(OsSocket s, const char* data, std::size_t size) override;
  IoResult ReceiveSome(OsSocket s, char* into, std::size_t max) override;
  void CloseSocket(OsSocket s) override;

  void DeliverPending();
  void RunPosted();
  void Dispatch(SocketId id, short revents);
  void Wake();

  std::unordered_map<SocketId, std::chrono::steady_clock::time_point> deadlines_;
  std::shared_ptr<Mailbox> mailbox_ = std::make_shared<Mailbox>();
  std::vector<pollfd> pollSet_;
  std::vector<SocketId> pollIds_;
  int wakeRead_ = -1, wakeWrite_ = -1;
  std::mutex postMutex_;
  std::vector<std::function<void()>> posted_;
  bool quit_ = false;
};

}  // namespace nv
