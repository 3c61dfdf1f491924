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

PosixNetwork::PosixNetwork() : TableNetwork(*this, *this) {
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
  table_.CloseAll();
  attempts_.CloseAll();
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

IoResult PosixNetwork::SendSome(OsSocket s, const char* data, std::size_t size) {
  const ssize_t n = ::send(static_cast<int>(s), data, size, MSG_NOSIGNAL);
  if (n > 0) return {IoResult::Moved, static_cast<std::size_t>(n)};
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return {IoResult::WouldBlock};
  return {IoResult::Broken};
}

IoResult PosixNetwork::ReceiveSome(OsSocket s, char* into, std::size_t max) {
  const ssize_t n = ::recv(static_cast<int>(s), into, max, 0);
  if (n > 0) return {IoResult::Moved, static_cast<std::size_t>(n)};
  if (n == 0) return {IoResult::Ended};
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return {IoResult::WouldBlock};
  return {IoResult::Broken};
}

void PosixNetwork::CloseSocket(OsSocket s) { ::close(static_cast<int>(s)); }

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
  return table_.AddListener(static_cast<OsSocket>(fd), sink);
}

int PosixNetwork::LocalPort(SocketId id) {
  ConnectionTable::Entry* e = table_.Find(id);
  if (!e) return 0;
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  if (::getsockname(static_cast<int>(e->socket), reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

SocketId PosixNetwork::Accept(SocketId listener, std::string& peerAddress) {
  ConnectionTable::Entry* l = table_.Find(listener);
  if (!l || !l->listener) return kNoSocket;
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  const int fd = ::accept4(static_cast<int>(l->socket), reinterpret_cast<sockaddr*>(&addr), &len,
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
  const SocketId id = table_.AddConnection(static_cast<OsSocket>(fd), *l->sink);
  table_.Open(id);  // poll watches every socket it is given: nothing to ask for
  return id;
}

void PosixNetwork::DeliverPending() {
  table_.DeliverPending();
  attempts_.DeliverPending();
}

void PosixNetwork::Dispatch(SocketId id, short revents) {
  if (const OutgoingAttempts::Attempt* a = attempts_.Find(id)) {
    if (a->socket) OnConnectReady(id, static_cast<int>(*a->socket));
    return;
  }
  ConnectionTable::Entry* e = table_.Find(id);
  if (!e) return;
  if (e->listener) {
    if (revents & POLLIN) e->sink->OnConnectionRequest(id);
    return;
  }
  if ((revents & POLLOUT) && !e->out.empty()) table_.Flush(id);
  if ((e = table_.Find(id)) == nullptr || e->state == ConnState::Reset) return;
  if (ConnectionTable::Readable(*e) && (revents & (POLLIN | POLLHUP | POLLERR))) {
    e->sink->OnDataArrival(id);
    if ((e = table_.Find(id)) == nullptr) return;
  }
  table_.TellPeerClosed(id);
  if ((e = table_.Find(id)) == nullptr) return;
  if ((revents & POLLERR) && e->state != ConnState::Closing) table_.Broke(id);
}

void PosixNetwork::RunOnce(int timeoutMs) {
  RunPosted();
  DeliverPending();
  pollSet_.clear();
  pollIds_.clear();
  pollSet_.push_back({wakeRead_, POLLIN, 0});
  pollIds_.push_back(kNoSocket);
  table_.ForEach([this](SocketId id, const ConnectionTable::Entry& e) {
    short events = POLLIN;
    if (!e.listener)
      events = e.state == ConnState::Reset
                   ? 0
                   : static_cast<short>((ConnectionTable::Readable(e) ? POLLIN : 0) | (e.out.empty() ? 0 : POLLOUT));
    if (events == 0) return;  // nothing to wait for; HUP would only spin
    pollSet_.push_back({static_cast<int>(e.socket), events, 0});
    pollIds_.push_back(id);
  });
  attempts_.ForEach([this](SocketId id, const OutgoingAttempts::Attempt& a) {
    if (a.settled || !a.socket) return;
    pollSet_.push_back({static_cast<int>(*a.socket), POLLOUT, 0});
    pollIds_.push_back(id);
  });
  const bool due = attempts_.HasPending() || table_.HasPending();
  const int n = ::poll(pollSet_.data(), pollSet_.size(), due ? 0 : UntilNextDeadline(timeoutMs));
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
