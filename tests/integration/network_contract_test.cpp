// The network seam's contract over the poll() backend and real loopback
// sockets; the test thread runs the loop, as the UI thread would.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string_view>

#include "contract/network_contract.h"
#include "platform/posix/posix_network.h"
#include "live_server.h"
#include "silent_listener.h"

namespace nv::test {
namespace {

class PosixRig {
 public:
  using Client = int;
  ~PosixRig() {
    for (int fd : clients_) ::close(fd);
  }
  Network& net() { return net_; }
  bool PumpUntil(const std::function<bool()>& cond, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!cond()) {
      if (std::chrono::steady_clock::now() >= end) return false;
      net_.RunOnce(10);
    }
    return true;
  }
  // Connected before the loop runs: the system completes a loopback connect
  // into the listen queue on its own.
  int Dial(int port) {
    const int fd = nv::test::Dial(port);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    clients_.push_back(fd);
    return fd;
  }
  void ClientSend(int fd, std::string_view bytes) { ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
  std::string ClientTake(int fd) {
    std::string got;
    char buf[1 << 16];
    for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) got.append(buf, static_cast<std::size_t>(n));
    return got;
  }
  void ClientClose(int fd) { ::shutdown(fd, SHUT_WR); }
  void ClientReset(int fd) {
    const linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::shutdown(fd, SHUT_RD);
    ::close(fd);
    std::erase(clients_, fd);
  }
  int ClosedPort() { return nv::test::ClosedPort(); }
  int SilentPort() { return silent_.port(); }

 private:
  PosixNetwork net_;
  SilentListener silent_;
  std::vector<int> clients_;
};

}  // namespace
}  // namespace nv::test

namespace nv::contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, NetworkContract, nv::test::PosixRig);
}  // namespace nv::contract
