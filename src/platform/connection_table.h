#pragma once
// The bookkeeping of the network seam that every backend shares: which
// sockets are open, what state each connection is in, what is still to be
// sent, and which events are due. A backend supplies only the OS calls
// (SocketCalls) and its own loop; the rules live here once.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/net.h"

namespace nv {

// An OS socket handle (a file descriptor, a SOCKET) as the table keeps it.
using OsSocket = std::uintptr_t;

// The life of one connection:
//   Accepted -> Reading      its events are asked for (at once where the OS
//                            gives them without asking)
//   Reading  -> Sending      Send queued bytes the system has not taken yet
//   Sending  -> Answered     all of them are gone: OnSendComplete is due
//   Answered -> Sending      another Send
//   any open -> Closing      the peer's end was read (sending may still work)
//   any open -> Reset        the connection broke: nothing goes in or out
//   any      -> Closed       Close: the record goes, and with it every event
//                            still due for it (the late-event rule)
enum class ConnState { Accepted, Reading, Sending, Answered, Closing, Reset, Closed };

// One send or receive as the OS answered it.
struct IoResult {
  enum Kind { Moved, WouldBlock, Ended, Broken } kind;
  std::size_t bytes = 0;
};

// The OS calls a backend gives the table.
class SocketCalls {
 public:
  virtual ~SocketCalls() = default;
  virtual IoResult SendSome(OsSocket s, const char* data, std::size_t size) = 0;
  virtual IoResult ReceiveSome(OsSocket s, char* into, std::size_t max) = 0;
  virtual void CloseSocket(OsSocket s) = 0;
  // A send would block: the backend watches for the socket to take more and
  // calls ConnectionTable::Flush then.
  virtual void AwaitWritable(SocketId, OsSocket) {}
  // An event was queued outside a delivery: the backend makes its loop call
  // DeliverPending soon.
  virtual void EventQueued() {}
};

class ConnectionTable {
 public:
  struct Entry {
    OsSocket socket = 0;
    NetSink* sink = nullptr;
    bool listener = false;
    ConnState state = ConnState::Accepted;
    bool closeTold = false;      // OnPeerClosed(false) delivered
    std::string out;             // bytes not yet taken by the system
    std::size_t sent = 0;
    bool completionDue = false;  // a Send waits for its OnSendComplete
    std::uint64_t received = 0;  // bytes taken by the sink so far
    unsigned tag = 0;            // the backend's own (a message number)
    bool awaitingWrite = false;  // the backend watches for room to send
  };

  explicit ConnectionTable(SocketCalls& calls) : calls_(calls) {}
  ConnectionTable(const ConnectionTable&) = delete;
  ConnectionTable& operator=(const ConnectionTable&) = delete;

  // Ids are never reused, so a late event can never reach a newer socket.
  SocketId NewId() { return nextId_++; }
  SocketId AddListener(OsSocket s, NetSink& sink, unsigned tag = 0);
  // A connection starts Accepted; Open moves it to Reading.
  SocketId AddConnection(OsSocket s, NetSink& sink, unsigned tag = 0);
  void Open(SocketId id);
  Entry* Find(SocketId id);
  // The open socket that holds this OS handle, kNoSocket for none (the
  // event is late: its socket was closed).
  SocketId ByHandle(OsSocket s) const;
  std::size_t Size() const { return entries_.size(); }
  template <typename F>
  void ForEach(F&& f) {
    for (auto& [id, e] : entries_) f(id, e);
  }

  // The seam's calls, with the seam's rules.
  std::size_t Receive(SocketId id, std::string& into, std::size_t max);
  void Send(SocketId id, std::string bytes);
  // Hands queued bytes to the system until it would block.
  void Flush(SocketId id);
  // Closes the OS socket and forgets it; unknown ids are ignored.
  void Close(SocketId id);
  // Closes every socket (the backend's end).
  void CloseAll();

  // What the OS reported.
  void PeerEnded(SocketId id);
  void Broke(SocketId id);
  // Whether the sink may hear of arrived data now.
  static bool Readable(const Entry& e) {
    return !e.listener && e.state != ConnState::Closing && e.state != ConnState::Reset;
  }
  // OnPeerClosed(false), once, after the peer's end was read.
  void TellPeerClosed(SocketId id);

  // Completions and breaks are told from the loop, never from inside the call
  // that found them; those of sockets closed meanwhile are dropped.
  void DeliverPending();
  bool HasPending() const { return !pending_.empty(); }
  // While the backend delivers an OS event, queued ones wait for it to end;
  // EndDispatch says whether that was the outermost one (a message box in a
  // handler nests another dispatch), after which the backend delivers them.
  void BeginDispatch() { ++dispatching_; }
  bool EndDispatch() { return --dispatching_ == 0; }
  bool Dispatching() const { return dispatching_ > 0; }

 private:
  enum class Due { SendComplete, PeerReset };
  void Queue(SocketId id, Due what);

  SocketCalls& calls_;
  std::unordered_map<SocketId, Entry> entries_;
  std::unordered_map<OsSocket, SocketId> byHandle_;
  std::deque<std::pair<SocketId, Due>> pending_;
  SocketId nextId_ = 1;
  int dispatching_ = 0;
};

}  // namespace nv
