// Outgoing connections of the poll() backend: the name is looked up on a
// worker thread of its own (getaddrinfo blocks), the connect runs in the loop.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "platform/host_name.h"
#include "platform/posix/posix_net_error.h"
#include "platform/posix/posix_network.h"

namespace nv {

namespace {

using Clock = std::chrono::steady_clock;

// The IPv4 addresses of host, or the resolver's failure as Winsock numbers it.
int ResolveIPv4(const std::string& host, std::vector<std::uint32_t>& addresses) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  switch (::getaddrinfo(host.c_str(), nullptr, &hints, &found)) {
    case 0: break;
    case EAI_AGAIN: return neterr::kTryAgain;
    case EAI_FAIL: return neterr::kNoRecovery;
    case EAI_NODATA:
    case EAI_ADDRFAMILY: return neterr::kNoData;  // a name, but no IPv4 address
    default: return neterr::kHostNotFound;
  }
  for (addrinfo* a = found; a; a = a->ai_next)
    addresses.push_back(reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return addresses.empty() ? neterr::kNoData : 0;
}

}  // namespace

SocketId PosixNetwork::Connect(const std::string& host, int port, int limitMs, ConnectSink& sink) {
  const SocketId id = nextId_++;
  Outgoing& o = outgoing_[id];
  o.sink = &sink;
  o.port = port;
  if (limitMs > 0) o.deadline = Clock::now() + std::chrono::milliseconds(limitMs);
  in_addr literal{};
  if (!IsHostNameText(host)) {
    Settle(id, o, neterr::kHostNotFound);
  } else if (port < 1 || port > 65535) {
    Settle(id, o, neterr::kAddressNotAvailable);
  } else if (::inet_pton(AF_INET, host.c_str(), &literal) == 1) {
    o.addresses.push_back(literal.s_addr);
    ConnectNext(id, o);
  } else {
    Resolve(id, host);
  }
  return id;
}

// The answer comes back through Post; a network gone by then drops it.
void PosixNetwork::Resolve(SocketId id, const std::string& host) {
  std::thread([mailbox = mailbox_, id, host] {
    std::vector<std::uint32_t> addresses;
    const int error = ResolveIPv4(host, addresses);
    std::lock_guard<std::mutex> lock(mailbox->lock);
    if (PosixNetwork* net = mailbox->net)
      net->Post([net, id, error, addresses = std::move(addresses)]() mutable {
        net->OnResolved(id, error, std::move(addresses));
      });
  }).detach();
}

void PosixNetwork::OnResolved(SocketId id, int error, std::vector<std::uint32_t> addresses) {
  auto it = outgoing_.find(id);
  if (it == outgoing_.end() || it->second.settled) return;  // closed, or out of time
  if (error) {
    Settle(id, it->second, error);
    return;
  }
  it->second.addresses = std::move(addresses);
  ConnectNext(id, it->second);
}

// Tries the addresses in turn until one connect is under way.
void PosixNetwork::ConnectNext(SocketId id, Outgoing& o) {
  while (o.next < o.addresses.size()) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(o.port));
    addr.sin_addr.s_addr = o.addresses[o.next++];
    o.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (o.fd < 0) return Settle(id, o, SocketError(errno).number);
    if (::connect(o.fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 || errno == EINPROGRESS)
      return;  // poll reports the outcome, also of one made at once
    o.lastError = SocketError(errno).number;
    ::close(o.fd);
    o.fd = -1;
  }
  Settle(id, o, o.lastError ? o.lastError : neterr::kHostNotFound);
}

void PosixNetwork::OnConnectReady(SocketId id, Outgoing& o) {
  int error = 0;
  socklen_t len = sizeof error;
  if (::getsockopt(o.fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
  sockaddr_in peer{};
  socklen_t peerLen = sizeof peer;
  if (error == 0 && ::getpeername(o.fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0)
    error = errno;
  if (error == 0) {
    char text[INET_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    o.peer = text;
    return Settle(id, o, 0);
  }
  o.lastError = SocketError(error).number;
  ::close(o.fd);
  o.fd = -1;
  ConnectNext(id, o);
}

// The outcome is known: queue its event (delivered by the loop, never from
// inside the call that found it). A failed attempt keeps no socket.
void PosixNetwork::Settle(SocketId id, Outgoing& o, int error) {
  o.settled = true;
  if (error) {
    o.failure = neterr::Error(error);
    if (o.fd >= 0) ::close(o.fd);
    o.fd = -1;
  }
  pending_.emplace_back(id, error ? Pending::ConnectFailed : Pending::Connected);
}

void PosixNetwork::ExpireAttempts() {
  const auto now = Clock::now();
  for (auto& [id, o] : outgoing_)
    if (!o.settled && o.deadline && now >= *o.deadline) Settle(id, o, neterr::kTimedOut);
}

int PosixNetwork::UntilNextDeadline(int timeoutMs) const {
  const auto now = Clock::now();
  for (const auto& [id, o] : outgoing_) {
    if (o.settled || !o.deadline) continue;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*o.deadline - now).count();
    const int ms = static_cast<int>(std::max<decltype(left)>(left, 0));
    if (timeoutMs < 0 || ms < timeoutMs) timeoutMs = ms;
  }
  return timeoutMs;
}

}  // namespace nv
