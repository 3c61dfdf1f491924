#pragma once
// Outgoing connections of the network seam, the same on every backend: the
// checks of the input, trying the resolved addresses in turn, the caller's
// time limit, exactly one outcome, and none once the attempt was closed. A
// backend supplies the resolver, the connect calls and its timer (ConnectCalls).
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/connection_table.h"
#include "platform/net.h"

namespace nv {

class ConnectCalls {
 public:
  virtual ~ConnectCalls() = default;
  // Looks host up off the UI thread; the answer comes back through
  // OutgoingAttempts::Resolved on the loop's thread.
  virtual void Resolve(SocketId id, const std::string& host) = 0;
  // Starts connecting to address (network byte order):port without waiting.
  // 0 when under way (the outcome comes back through Reached), else the
  // failure's Winsock number. tag is the backend's own.
  virtual int StartConnect(SocketId id, std::uint32_t address, int port, OsSocket& s, unsigned& tag) = 0;
  // Closes a socket of an attempt and stops watching it.
  virtual void DropConnect(OsSocket s, unsigned tag) = 0;
  // The connect succeeded: only its outcome was watched.
  virtual void ConnectMade(OsSocket, unsigned) {}
  // The caller's limit: TimeUp follows after ms unless StopLimit comes first.
  virtual void StartLimit(SocketId id, int ms) = 0;
  virtual void StopLimit(SocketId id) = 0;
  // An outcome was queued outside a delivery (see SocketCalls::EventQueued).
  virtual void OutcomeQueued() = 0;
};

class OutgoingAttempts {
 public:
  struct Attempt {
    ConnectSink* sink = nullptr;
    int port = 0;
    std::vector<std::uint32_t> addresses;  // network byte order
    std::size_t next = 0;
    std::optional<OsSocket> socket;  // the connect under way to addresses[next - 1]
    unsigned tag = 0;
    bool settled = false;
    int lastError = 0;
    std::string peer;
    std::optional<AppError> failure;
  };

  // Outcomes found while the table's backend dispatches wait for its end.
  OutgoingAttempts(ConnectCalls& calls, const ConnectionTable& table) : calls_(calls), table_(table) {}
  OutgoingAttempts(const OutgoingAttempts&) = delete;
  OutgoingAttempts& operator=(const OutgoingAttempts&) = delete;

  // Network::Connect under the id given; unavailable is the backend's reason
  // why it cannot connect at all.
  void Start(SocketId id, const std::string& host, int port, int limitMs, ConnectSink& sink,
             const std::optional<AppError>& unavailable = std::nullopt);
  // What the backend found: the resolver's answer (0 or a Winsock number),
  // the outcome of the connect under way (error 0: peer is the address
  // reached), the end of the caller's limit. Late ones are ignored.
  void Resolved(SocketId id, int error, std::vector<std::uint32_t> addresses);
  void Reached(SocketId id, int error, const std::string& peer);
  void TimeUp(SocketId id);
  // Closes the attempt, abandoning it; false when id is no attempt.
  bool Close(SocketId id);
  void CloseAll();

  Attempt* Find(SocketId id);
  std::size_t Size() const { return attempts_.size(); }
  template <typename F>
  void ForEach(F&& f) {
    for (auto& [id, a] : attempts_) f(id, a);
  }

  void DeliverPending();
  bool HasPending() const { return !pending_.empty(); }

 private:
  void ConnectNext(SocketId id, Attempt& a);
  void Settle(SocketId id, Attempt& a, std::optional<AppError> failure);
  void Drop(Attempt& a);

  ConnectCalls& calls_;
  const ConnectionTable& table_;
  std::unordered_map<SocketId, Attempt> attempts_;
  std::deque<SocketId> pending_;
};

}  // namespace nv
