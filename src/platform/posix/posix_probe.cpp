#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix_network.h"

namespace nv {

PortProbe PosixNetwork::Probe(const std::string& address, int port, int limitMs) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) return PortProbe::Refused;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return PortProbe::NoAnswer;
  PortProbe result = PortProbe::Refused;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    result = PortProbe::Answered;
  } else if (errno == EINPROGRESS) {
    pollfd p{fd, POLLOUT, 0};
    int error = 0;
    socklen_t len = sizeof error;
    if (::poll(&p, 1, limitMs) == 0)
      result = PortProbe::NoAnswer;
    else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0)
      result = PortProbe::Answered;
  }
  ::close(fd);
  return result;
}

}  // namespace nv
