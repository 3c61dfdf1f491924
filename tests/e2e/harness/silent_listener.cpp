#include "harness/silent_listener.h"

#include <ws2tcpip.h>

namespace e2e {

namespace {
struct Winsock {
  Winsock() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
  }
};

// True when a connection to a could not complete within a quarter second.
bool FillOne(const sockaddr_in& a, std::vector<SOCKET>& fillers) {
  SOCKET c = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  u_long on = 1;
  ioctlsocket(c, FIONBIO, &on);
  connect(c, reinterpret_cast<const sockaddr*>(&a), sizeof a);
  fillers.push_back(c);
  fd_set w;
  FD_ZERO(&w);
  FD_SET(c, &w);
  timeval quarter{0, 250000};
  return select(0, nullptr, &w, nullptr, &quarter) == 0;
}
}  // namespace

SilentListener::SilentListener(const char* address, int port) {
  static Winsock winsock;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<u_short>(port));
  inet_pton(AF_INET, address, &a.sin_addr);
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  int len = sizeof a;
  ok_ = bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(listener_, 0) == 0 &&
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) == 0;
  port_ = ntohs(a.sin_port);
  for (bool full = !ok_; !full && fillers_.size() < 64;) full = FillOne(a, fillers_);
}

SilentListener::~SilentListener() {
  for (SOCKET c : fillers_) closesocket(c);
  closesocket(listener_);
}

}  // namespace e2e
