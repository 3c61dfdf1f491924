#include "platform/outgoing_attempts.h"

#include <cstring>

#include "platform/host_name.h"

namespace nv {

namespace {

// A dotted IPv4 address as inet_pton reads one (four decimal parts of at most
// three digits, none above 255), in network byte order.
bool ParseDottedQuad(const std::string& text, std::uint32_t& address) {
  unsigned char bytes[4];
  std::size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0 && (at >= text.size() || text[at++] != '.')) return false;
    unsigned value = 0;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
      value = value * 10 + static_cast<unsigned>(text[at++] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    bytes[part] = static_cast<unsigned char>(value);
  }
  if (at != text.size()) return false;
  std::memcpy(&address, bytes, sizeof address);
  return true;
}

}  // namespace

void OutgoingAttempts::Start(SocketId id, const std::string& host, int port, int limitMs,
                             ConnectSink& sink, const std::optional<AppError>& unavailable) {
  Attempt& a = attempts_[id];
  a.sink = &sink;
  a.port = port;
  std::uint32_t literal = 0;
  if (unavailable) return Settle(id, a, *unavailable);
  if (!IsHostNameText(host)) return Settle(id, a, neterr::Error(neterr::kHostNotFound));
  if (port < 1 || port > 65535) return Settle(id, a, neterr::Error(neterr::kAddressNotAvailable));
  if (limitMs > 0) calls_.StartLimit(id, limitMs);
  if (ParseDottedQuad(host, literal)) {
    a.addresses.push_back(literal);
    ConnectNext(id, a);
  } else {
    calls_.Resolve(id, host);
  }
}

void OutgoingAttempts::Resolved(SocketId id, int error, std::vector<std::uint32_t> addresses) {
  Attempt* a = Find(id);
  if (!a || a->settled) return;  // closed, or out of time
  if (!error && addresses.empty()) error = neterr::kNoData;
  if (error) return Settle(id, *a, neterr::Error(error));
  a->addresses = std::move(addresses);
  ConnectNext(id, *a);
}

// Tries the addresses in turn until one connect is under way.
void OutgoingAttempts::ConnectNext(SocketId id, Attempt& a) {
  while (a.next < a.addresses.size()) {
    OsSocket s = 0;
    unsigned tag = 0;
    const int error = calls_.StartConnect(id, a.addresses[a.next++], a.port, s, tag);
    if (error == 0) {
      a.socket = s;
      a.tag = tag;
      return;
    }
    a.lastError = error;
  }
  Settle(id, a, neterr::Error(a.lastError ? a.lastError : neterr::kHostNotFound));
}

void OutgoingAttempts::Reached(SocketId id, int error, const std::string& peer) {
  Attempt* a = Find(id);
  if (!a || a->settled || !a->socket) return;
  if (error == 0) {
    a->peer = peer;
    calls_.ConnectMade(*a->socket, a->tag);
    return Settle(id, *a, std::nullopt);
  }
  a->lastError = error;
  Drop(*a);
  ConnectNext(id, *a);
}

void OutgoingAttempts::TimeUp(SocketId id) {
  Attempt* a = Find(id);
  if (a && !a->settled) Settle(id, *a, neterr::Error(neterr::kTimedOut));
}

// The outcome is known: its event is queued, never delivered from inside the
// call that found it. A failed attempt keeps no socket.
void OutgoingAttempts::Settle(SocketId id, Attempt& a, std::optional<AppError> failure) {
  a.settled = true;
  calls_.StopLimit(id);
  if (failure) {
    a.failure = std::move(failure);
    Drop(a);
  }
  pending_.push_back(id);
  if (!table_.Dispatching()) calls_.OutcomeQueued();
}

void OutgoingAttempts::Drop(Attempt& a) {
  if (a.socket) calls_.DropConnect(*a.socket, a.tag);
  a.socket.reset();
  a.tag = 0;
}

bool OutgoingAttempts::Close(SocketId id) {
  auto it = attempts_.find(id);
  if (it == attempts_.end()) return false;
  calls_.StopLimit(id);
  Drop(it->second);
  attempts_.erase(it);
  return true;
}

void OutgoingAttempts::CloseAll() {
  for (auto& [id, a] : attempts_) {
    calls_.StopLimit(id);
    Drop(a);
  }
  attempts_.clear();
  pending_.clear();
}

OutgoingAttempts::Attempt* OutgoingAttempts::Find(SocketId id) {
  auto it = attempts_.find(id);
  return it == attempts_.end() ? nullptr : &it->second;
}

void OutgoingAttempts::DeliverPending() {
  std::deque<SocketId> batch;
  batch.swap(pending_);
  for (SocketId id : batch) {
    Attempt* a = Find(id);
    if (!a) continue;  // closed meanwhile
    if (a->failure) a->sink->OnConnectFailed(id, *a->failure);
    else a->sink->OnConnected(id, a->peer);
  }
}

}  // namespace nv
