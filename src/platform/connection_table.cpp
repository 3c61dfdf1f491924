#include "platform/connection_table.h"

#include <algorithm>

namespace nv {

SocketId ConnectionTable::AddListener(OsSocket s, NetSink& sink, unsigned tag) {
  const SocketId id = NewId();
  Entry& e = entries_[id];
  e.socket = s;
  e.sink = &sink;
  e.listener = true;
  e.state = ConnState::Reading;
  e.tag = tag;
  byHandle_[s] = id;
  return id;
}

SocketId ConnectionTable::AddConnection(OsSocket s, NetSink& sink, unsigned tag) {
  const SocketId id = AddListener(s, sink, tag);
  Entry& e = entries_[id];
  e.listener = false;
  e.state = ConnState::Accepted;
  return id;
}

void ConnectionTable::Open(SocketId id) {
  Entry* e = Find(id);
  if (e && e->state == ConnState::Accepted) e->state = ConnState::Reading;
}

ConnectionTable::Entry* ConnectionTable::Find(SocketId id) {
  auto it = entries_.find(id);
  return it == entries_.end() ? nullptr : &it->second;
}

SocketId ConnectionTable::ByHandle(OsSocket s) const {
  auto it = byHandle_.find(s);
  return it == byHandle_.end() ? kNoSocket : it->second;
}

// A request fits the stack buffer: no large string is grown and cleared for
// every connection.
std::size_t ConnectionTable::Receive(SocketId id, std::string& into, std::size_t max) {
  Entry* e = Find(id);
  if (!e || !Readable(*e) || max == 0) return 0;
  char stack[16 * 1024];
  const std::size_t want = std::min<std::size_t>(max, 1 << 20);
  const bool small = want <= sizeof stack;
  const std::size_t old = into.size();
  if (!small) into.resize(old + want);
  const IoResult r = calls_.ReceiveSome(e->socket, small ? stack : into.data() + old, want);
  const std::size_t got = r.kind == IoResult::Moved ? r.bytes : 0;
  if (small) into.append(stack, got);
  else into.resize(old + got);
  if (r.kind == IoResult::Ended) PeerEnded(id);
  else if (r.kind == IoResult::Broken) Broke(id);
  e->received += got;
  return got;
}

void ConnectionTable::Send(SocketId id, std::string bytes) {
  Entry* e = Find(id);
  if (!e || e->listener) return;
  if (e->state == ConnState::Reset) {
    Queue(id, Due::PeerReset);  // a Send on a broken connection never completes
    return;
  }
  if (e->out.empty()) {
    e->out = std::move(bytes);
    e->sent = 0;
  } else {
    e->out += bytes;
  }
  if (e->state != ConnState::Closing) e->state = ConnState::Sending;  // a half-closed peer still reads
  e->completionDue = true;
  Flush(id);
}

void ConnectionTable::Flush(SocketId id) {
  Entry* e = Find(id);
  if (!e || e->state == ConnState::Reset) return;
  while (e->sent < e->out.size()) {
    const IoResult r = calls_.SendSome(e->socket, e->out.data() + e->sent, e->out.size() - e->sent);
    if (r.kind == IoResult::Moved) {
      e->sent += r.bytes;
    } else if (r.kind == IoResult::WouldBlock) {
      calls_.AwaitWritable(id, e->socket);
      return;
    } else {
      Broke(id);
      return;
    }
  }
  e->out.clear();
  e->sent = 0;
  if (!e->completionDue) return;
  e->completionDue = false;
  if (e->state == ConnState::Sending) e->state = ConnState::Answered;
  Queue(id, Due::SendComplete);
}

void ConnectionTable::Close(SocketId id) {
  auto it = entries_.find(id);
  if (it == entries_.end()) return;
  calls_.CloseSocket(it->second.socket);
  byHandle_.erase(it->second.socket);
  entries_.erase(it);
}

void ConnectionTable::CloseAll() {
  for (auto& [id, e] : entries_) calls_.CloseSocket(e.socket);
  entries_.clear();
  byHandle_.clear();
  pending_.clear();
}

void ConnectionTable::PeerEnded(SocketId id) {
  Entry* e = Find(id);
  if (e && !e->listener && e->state != ConnState::Reset) e->state = ConnState::Closing;
}

void ConnectionTable::Broke(SocketId id) {
  Entry* e = Find(id);
  if (!e || e->state == ConnState::Reset) return;
  e->state = ConnState::Reset;
  e->out.clear();
  e->sent = 0;
  e->completionDue = false;
  Queue(id, Due::PeerReset);
}

void ConnectionTable::TellPeerClosed(SocketId id) {
  Entry* e = Find(id);
  if (!e || e->state != ConnState::Closing || e->closeTold) return;
  e->closeTold = true;
  e->sink->OnPeerClosed(id, false);
}

void ConnectionTable::Queue(SocketId id, Due what) {
  pending_.emplace_back(id, what);
  if (dispatching_ == 0) calls_.EventQueued();
}

// Events queued while delivering wait for the next round, so a sink that
// keeps sending cannot starve the loop.
void ConnectionTable::DeliverPending() {
  std::deque<std::pair<SocketId, Due>> batch;
  batch.swap(pending_);
  for (auto [id, what] : batch) {
    Entry* e = Find(id);
    if (!e) continue;  // closed meanwhile: a late event is dropped
    if (what == Due::SendComplete) e->sink->OnSendComplete(id);
    else e->sink->OnPeerClosed(id, true);
  }
}

}  // namespace nv
