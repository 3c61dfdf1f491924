#include "silent_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace nv::test {

namespace {
int BoundLoopback(int backlog, int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      (backlog >= 0 && ::listen(fd, backlog) != 0) ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
    throw std::runtime_error("loopback listener");
  port = ntohs(a.sin_port);
  return fd;
}
}  // namespace

SilentListener::SilentListener() {
  fd_ = BoundLoopback(0, port_);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port_));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  // Connect until one attempt stays unanswered; loopback answers at once
  // while there is room, so a quarter second without an answer is no room.
  for (int i = 0; i < 64; ++i) {
    const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    fillers_.push_back(c);
    ::connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a);
    pollfd p{c, POLLOUT, 0};
    if (::poll(&p, 1, 250) == 0) return;
  }
  throw std::runtime_error("the listen queue never filled");
}

SilentListener::~SilentListener() {
  for (int c : fillers_) ::close(c);
  ::close(fd_);
}

int ClosedPort() {
  int port = 0;
  ::close(BoundLoopback(-1, port));
  return port;
}

}  // namespace nv::test
