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

// The answer comes back through Post; a network gone by then drops it.
void PosixNetwork::Resolve(SocketId id, const std::string& host) {
  std::thread([mailbox = mailbox_, id, host] {
    std::vector<std::uint32_t> addresses;
    const int error = ResolveIPv4(host, addresses);
    std::lock_guard<std::mutex> lock(mailbox->lock);
    if (PosixNetwork* net = mailbox->net)
      net->Post([net, id, error, addresses = std::move(addresses)]() mutable {
        net->attempts_.Resolved(id, error, std::move(addresses));
      });
  }).detach();
}

// poll reports the outcome, also of a connect made at once.
int PosixNetwork::StartConnect(SocketId, std::uint32_t address, int port, OsSocket& s, unsigned&) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  addr.sin_addr.s_addr = address;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return SocketError(errno).number;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 || errno == EINPROGRESS) {
    s = static_cast<OsSocket>(fd);
    return 0;
  }
  const int error = SocketError(errno).number;
  ::close(fd);
  return error;
}

void PosixNetwork::DropConnect(OsSocket s, unsigned) { ::close(static_cast<int>(s)); }

void PosixNetwork::StartLimit(SocketId id, int ms) {
  deadlines_[id] = Clock::now() + std::chrono::milliseconds(ms);
}

void PosixNetwork::StopLimit(SocketId id) { deadlines_.erase(id); }

void PosixNetwork::OnConnectReady(SocketId id, int fd) {
  int error = 0;
  socklen_t len = sizeof error;
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
  sockaddr_in peer{};
  socklen_t peerLen = sizeof peer;
  if (error == 0 && ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0)
    error = errno;
  char text[INET_ADDRSTRLEN] = "";
  if (error == 0) ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
  attempts_.Reached(id, error ? SocketError(error).number : 0, text);
}

void PosixNetwork::ExpireAttempts() {
  const auto now = Clock::now();
  std::vector<SocketId> due;
  for (const auto& [id, deadline] : deadlines_)
    if (now >= deadline) due.push_back(id);
  for (SocketId id : due) attempts_.TimeUp(id);
}

int PosixNetwork::UntilNextDeadline(int timeoutMs) const {
  const auto now = Clock::now();
  for (const auto& [id, deadline] : deadlines_) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    const int ms = static_cast<int>(std::max<decltype(left)>(left, 0));
    if (timeoutMs < 0 || ms < timeoutMs) timeoutMs = ms;
  }
  return timeoutMs;
}

}  // namespace nv
