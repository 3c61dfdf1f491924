#include "platform/posix/posix_network.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix_net_error.h"

namespace nv {

PosixNetwork::PosixNetwork() {
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) throw SocketError(errno);
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];
  mailbox_->net = this;
}

PosixNetwork::~PosixNetwork() {
  {
    std::lock_guard<std::mutex> lock(mailbox_->lock);
    mailbox_->net = nullptr;  // resolvers still at work drop their answers
  }
  for (auto& [id, s] : socks_) ::close(s.fd);
  for (auto& [id, o] : outgoing_)
    if (o.fd >= 0) ::close(o.fd);
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

PosixNetwork::Sock* PosixNetwork::Find(SocketId id) {
  auto it = socks_.find(id);
  return it == socks_.end() ? nullptr : &it->second;
}

SocketId PosixNetwork::Add(int fd, NetSink& sink, bool listener) {
  const SocketId id = nextId_++;
  Sock& s = socks_[id];
  s.fd = fd;
  s.sink = &sink;
  s.listener = listener;
  return id;
}

SocketId PosixNetwork::Listen(const std::string& address, int port, NetSink& sink) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) throw SocketError(EADDRNOTAVAIL);
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) throw SocketError(errno);
  // Lets a restart bind while old connections sit in TIME_WAIT; a live
  // listener on the port is still refused.
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(fd, SOMAXCONN) != 0) {
    const int e = errno;
    ::close(fd);
    throw SocketError(e);
  }
  return Add(fd, sink, true);
}

int PosixNetwork::LocalPort(SocketId id) {
  Sock* s = Find(id);
  if (!s) return 0;
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  if (::getsockname(s->fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

SocketId PosixNetwork::Accept(SocketId listener, std::string& peerAddress) {
  Sock* l = Find(listener);
  if (!l || !l->listener) return kNoSocket;
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  const int fd = ::accept4(l->fd, reinterpret_cast<sockaddr*>(&addr), &len,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) {
    // Nothing waits any more, or the client gave up while queued.
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED || errno == EINTR ||
        errno == EPROTO)
      return kNoSocket;
    throw SocketError(errno);
  }
  char text[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
  peerAddress = text;
  return Add(fd, *l->sink, false);
}

std::size_t PosixNetwork::Receive(SocketId id, std::string& into, std::size_t max) {
  Sock* s = Find(id);
  if (!s || s->listener || s->eof || s->reset || max == 0) return 0;
  const std::size_t old = into.size();
  into.resize(old + max);
  const ssize_t n = ::recv(s->fd, into.data() + old, max, 0);
  into.resize(old + (n > 0 ? static_cast<std::size_t>(n) : 0));
  if (n > 0) return static_cast<std::size_t>(n);
  if (n == 0) s->eof = true;
  else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) MarkReset(id, *s);
  return 0;
}

void PosixNetwork::Send(SocketId id, std::string bytes) {
  Sock* s = Find(id);
  if (!s || s->listener) return;
  if (s->reset) {
    pending_.emplace_back(id, Pending::PeerReset);
    return;
  }
  if (s->out.empty()) {
    s->out = std::move(bytes);
    s->sent = 0;
  } else {
    s->out += bytes;
  }
  s->sending = true;
  Flush(id, *s);
}

void PosixNetwork::Flush(SocketId id, Sock& s) {
  while (s.sent < s.out.size()) {
    const ssize_t n = ::send(s.fd, s.out.data() + s.sent, s.out.size() - s.sent, MSG_NOSIGNAL);
    if (n > 0) {
      s.sent += static_cast<std::size_t>(n);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
      return;
    } else {
      MarkReset(id, s);
      return;
    }
  }
  s.out.clear();
  s.sent = 0;
  if (s.sending) {
    s.sending = false;
    pending_.emplace_back(id, Pending::SendComplete);
  }
}

void PosixNetwork::MarkReset(SocketId id, Sock& s) {
  if (s.reset) return;
  s.reset = true;
  s.out.clear();
  s.sending = false;
  pending_.emplace_back(id, Pending::PeerReset);
}

void PosixNetwork::Close(SocketId id) {
  if (auto o = outgoing_.find(id); o != outgoing_.end()) {
    if (o->second.fd >= 0) ::close(o->second.fd);
    outgoing_.erase(o);
    return;
  }
  auto it = socks_.find(id);
  if (it == socks_.end()) return;
  ::close(it->second.fd);
  socks_.erase(it);
}

void PosixNetwork::DeliverPending() {
  // Events queued while delivering wait for the next round, so a sink that
  // keeps sending cannot starve the poll.
  std::deque<std::pair<SocketId, Pending>> batch;
  batch.swap(pending_);
  for (auto [id, what] : batch) {
    if (what == Pending::Connected || what == Pending::ConnectFailed) {
      auto o = outgoing_.find(id);
      if (o == outgoing_.end()) continue;  // closed meanwhile
      if (o->second.failure) o->second.sink->OnConnectFailed(id, *o->second.failure);
      else o->second.sink->OnConnected(id, o->second.peer);
      continue;
    }
    Sock* s = Find(id);
    if (!s) continue;  // closed meanwhile: a late event is dropped
    if (what == Pending::SendComplete) s->sink->OnSendComplete(id);
    else s->sink->OnPeerClosed(id, true);
  }
}

void PosixNetwork::Dispatch(SocketId id, short revents) {
  if (auto o = outgoing_.find(id); o != outgoing_.end()) {
    OnConnectReady(id, o->second);
    return;
  }
  Sock* s = Find(id);
  if (!s) return;
  if (s->listener) {
    if (revents & POLLIN) s->sink->OnConnectionRequest(id);
    return;
  }
  if ((revents & POLLOUT) && !s->out.empty()) Flush(id, *s);
  if ((s = Find(id)) == nullptr || s->reset) return;
  if (!s->eof && (revents & (POLLIN | POLLHUP | POLLERR))) {
    s->sink->OnDataArrival(id);
    if ((s = Find(id)) == nullptr) return;
  }
  if (s->eof && !s->closeTold && !s->reset) {
    s->closeTold = true;
    s->sink->OnPeerClosed(id, false);
    if ((s = Find(id)) == nullptr) return;
  }
  if ((revents & POLLERR) && !s->eof) MarkReset(id, *s);
}

void PosixNetwork::RunOnce(int timeoutMs) {
  RunPosted();
  DeliverPending();
  pollSet_.clear();
  pollIds_.clear();
  pollSet_.push_back({wakeRead_, POLLIN, 0});
  pollIds_.push_back(kNoSocket);
  for (auto& [id, s] : socks_) {
    short events = 0;
    if (s.listener) events = POLLIN;
    else if (!s.reset) events = static_cast<short>((s.eof ? 0 : POLLIN) | (s.out.empty() ? 0 : POLLOUT));
    if (events == 0) continue;  // nothing to wait for; HUP would only spin
    pollSet_.push_back({s.fd, events, 0});
    pollIds_.push_back(id);
  }
  for (auto& [id, o] : outgoing_) {
    if (o.settled || o.fd < 0) continue;
    pollSet_.push_back({o.fd, POLLOUT, 0});
    pollIds_.push_back(id);
  }
  const int n = ::poll(pollSet_.data(), pollSet_.size(), pending_.empty() ? UntilNextDeadline(timeoutMs) : 0);
  if (n > 0) {
    if (pollSet_[0].revents) {
      char drain[64];
      while (::read(wakeRead_, drain, sizeof drain) > 0) {
      }
    }
    for (std::size_t i = 1; i < pollSet_.size(); ++i)
      if (pollSet_[i].revents) Dispatch(pollIds_[i], pollSet_[i].revents);
  }
  ExpireAttempts();
  DeliverPending();
}

void PosixNetwork::Run() {
  while (true) {
    {
      std::lock_guard<std::mutex> lock(postMutex_);
      if (quit_) return;
    }
    RunOnce(-1);
  }
}

void PosixNetwork::Quit() {
  {
    std::lock_guard<std::mutex> lock(postMutex_);
    quit_ = true;
  }
  Wake();
}

void PosixNetwork::Post(std::function<void()> f) {
  {
    std::lock_guard<std::mutex> lock(postMutex_);
    posted_.push_back(std::move(f));
  }
  Wake();
}

void PosixNetwork::RunPosted() {
  std::vector<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(postMutex_);
    batch.swap(posted_);
  }
  for (auto& f : batch) f();
}

void PosixNetwork::Wake() {
  const char one = 1;
  [[maybe_unused]] ssize_t n = ::write(wakeWrite_, &one, 1);
}

}  // namespace nv
