#include "platform/win32/winsock_probe.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>
#include <windows.h>

namespace nv {

namespace {

// Windows tries a refused connection again for about two seconds, even on
// loopback; without retries a refusal comes back at once (Windows 8 and
// later; elsewhere the call fails harmlessly and the limit applies).
void RefuseWithoutRetries(SOCKET s) {
  TCP_INITIAL_RTO_PARAMETERS rto{};
  rto.Rtt = TCP_INITIAL_RTO_NO_SYN_RETRANSMISSIONS;
  rto.MaxSynRetransmissions = TCP_INITIAL_RTO_NO_SYN_RETRANSMISSIONS;
  DWORD bytes = 0;
  WSAIoctl(s, SIO_TCP_INITIAL_RTO, &rto, sizeof rto, nullptr, 0, &bytes, nullptr, nullptr);
}

PortProbe AwaitConnect(SOCKET s, int limitMs) {
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval limit{limitMs / 1000, (limitMs % 1000) * 1000};
  const int n = select(0, nullptr, &writable, &failed, &limit);
  if (n == 0) return PortProbe::NoAnswer;
  if (n < 0 || FD_ISSET(s, &failed)) return PortProbe::Refused;
  return PortProbe::Answered;
}

}  // namespace

PortProbe ProbeTcpPort(const std::string& address, int port, int limitMs) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<u_short>(port));
  if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) return PortProbe::Refused;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return PortProbe::NoAnswer;
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  RefuseWithoutRetries(s);
  PortProbe result;
  if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
    result = PortProbe::Answered;
  else if (WSAGetLastError() == WSAEWOULDBLOCK)
    result = AwaitConnect(s, limitMs);
  else
    result = PortProbe::Refused;
  closesocket(s);
  return result;
}

}  // namespace nv
