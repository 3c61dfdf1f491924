// Outgoing connections of the Winsock backend. getaddrinfo blocks for as
// long as the name servers take, so it runs on a worker thread that posts
// its answer back; WSAAsyncGetHostByName would spare the thread, but Wine
// cannot cancel it, and its buffer would have to outlive a closed attempt.
// The connect itself reports through WSAAsyncSelect, a limit of the caller's
// through a window timer whose id is the attempt's.
#include <algorithm>
#include <memory>
#include <thread>

#include "platform/win32/winsock_network_impl.h"

namespace nv::winsock {

namespace {

// The resolver's failure (Winsock numbers it) as the program reports it.
int ResolverFailure(int code) {
  switch (code) {
    case WSATRY_AGAIN: return neterr::kTryAgain;
    case WSANO_RECOVERY: return neterr::kNoRecovery;
    case WSANO_DATA:
    case WSAEAFNOSUPPORT: return neterr::kNoData;  // a name, but no IPv4 address
    default: return neterr::kHostNotFound;
  }
}

}  // namespace

// A network gone by the time the answer comes has no window: the post fails
// and the answer is dropped.
void WinsockNetwork::Resolve(SocketId id, const std::string& host) {
  std::thread([hwnd = hwnd_, id, host] {
    auto answer = std::make_unique<Resolution>();
    answer->id = id;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int e = getaddrinfo(host.c_str(), nullptr, &hints, &found); e != 0) {
      answer->error = ResolverFailure(e);
    } else {
      for (addrinfo* a = found; a; a = a->ai_next)
        answer->addresses.push_back(reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
      freeaddrinfo(found);
    }
    if (PostMessageA(hwnd, kResolvedMessage, 0, reinterpret_cast<LPARAM>(answer.get())))
      answer.release();
  }).detach();
}

void WinsockNetwork::OnResolved(Resolution* answer) {
  std::unique_ptr<Resolution> owned(answer);
  attempts_.Resolved(answer->id, answer->error, std::move(answer->addresses));
}

// Each socket gets a message number of its own, so a message of a closed one
// (whose handle value a newer socket may have) is never taken for its outcome.
int WinsockNetwork::StartConnect(SocketId id, std::uint32_t address, int port, OsSocket& out,
                                 unsigned& tag) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<u_short>(port));
  addr.sin_addr.s_addr = address;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return WSAGetLastError();
  const UINT message = NextMessage();
  if (WSAAsyncSelect(s, hwnd_, message, FD_CONNECT) != 0 ||
      (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 &&
       WSAGetLastError() != WSAEWOULDBLOCK)) {
    const int e = WSAGetLastError();
    closesocket(s);
    return e;
  }
  out = static_cast<OsSocket>(s);
  tag = message;
  outgoingByMessage_[message] = id;
  return 0;  // FD_CONNECT follows
}

void WinsockNetwork::DropConnect(OsSocket s, unsigned tag) {
  outgoingByMessage_.erase(tag);
  closesocket(static_cast<SOCKET>(s));
}

void WinsockNetwork::OnConnectMessage(SocketId id, SOCKET s, LPARAM lp) {
  const OutgoingAttempts::Attempt* a = attempts_.Find(id);
  if (!a || !a->socket || static_cast<SOCKET>(*a->socket) != s || WSAGETSELECTEVENT(lp) != FD_CONNECT)
    return;
  int error = WSAGETSELECTERROR(lp);
  sockaddr_in peer{};
  int len = sizeof peer;
  if (!error && getpeername(s, reinterpret_cast<sockaddr*>(&peer), &len) != 0) error = WSAGetLastError();
  char text[INET_ADDRSTRLEN] = "";
  if (!error) inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
  attempts_.Reached(id, error, text);
}

void WinsockNetwork::StartLimit(SocketId id, int ms) {
  SetTimer(hwnd_, static_cast<UINT_PTR>(id), static_cast<UINT>(ms), nullptr);
}

void WinsockNetwork::StopLimit(SocketId id) { KillTimer(hwnd_, static_cast<UINT_PTR>(id)); }

void WinsockNetwork::OnTimeLimit(SocketId id) {
  KillTimer(hwnd_, static_cast<UINT_PTR>(id));
  attempts_.TimeUp(id);
}

}  // namespace nv::winsock
