// Outgoing connections of the Winsock backend. getaddrinfo blocks for as
// long as the name servers take, so it runs on a worker thread that posts
// its answer back; WSAAsyncGetHostByName would spare the thread, but Wine
// cannot cancel it, and its buffer would have to outlive a closed attempt.
// The connect itself reports through WSAAsyncSelect, a limit of the caller's
// through a window timer whose id is the attempt's.
#include <algorithm>
#include <memory>
#include <thread>

#include "platform/host_name.h"
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

SocketId WinsockNetwork::Connect(const std::string& host, int port, int limitMs,
                                 ConnectSink& sink) {
  const SocketId id = nextId_++;
  Outgoing& o = outgoing_[id];
  o.sink = &sink;
  o.port = port;
  in_addr literal{};
  if (startError_) {
    Settle(id, o, *startError_);
  } else if (!IsHostNameText(host)) {
    Settle(id, o, neterr::Error(neterr::kHostNotFound));
  } else if (port < 1 || port > 65535) {
    Settle(id, o, neterr::Error(neterr::kAddressNotAvailable));
  } else {
    if (limitMs > 0) SetTimer(hwnd_, static_cast<UINT_PTR>(id), static_cast<UINT>(limitMs), nullptr);
    if (inet_pton(AF_INET, host.c_str(), &literal) == 1) {
      o.addresses.push_back(literal.s_addr);
      ConnectNext(id, o);
    } else {
      Resolve(id, host);
    }
  }
  return id;
}

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
      if (answer->addresses.empty()) answer->error = neterr::kNoData;
    }
    if (PostMessageA(hwnd, kResolvedMessage, 0, reinterpret_cast<LPARAM>(answer.get())))
      answer.release();
  }).detach();
}

void WinsockNetwork::OnResolved(Resolution* answer) {
  std::unique_ptr<Resolution> owned(answer);
  auto it = outgoing_.find(answer->id);
  if (it == outgoing_.end() || it->second.settled) return;  // closed, or out of time
  if (answer->error) return Settle(answer->id, it->second, neterr::Error(answer->error));
  it->second.addresses = std::move(answer->addresses);
  ConnectNext(answer->id, it->second);
}

// Tries the addresses in turn until one connect is under way. Each socket
// gets a message number of its own, so a message of a closed one (whose
// handle value a newer socket may have) is never taken for its outcome.
void WinsockNetwork::ConnectNext(SocketId id, Outgoing& o) {
  while (o.next < o.addresses.size()) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(o.port));
    addr.sin_addr.s_addr = o.addresses[o.next++];
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return Settle(id, o, WsaError(WSAGetLastError()));
    const UINT message = NextMessage();
    if (WSAAsyncSelect(s, hwnd_, message, FD_CONNECT) != 0) {
      const int e = WSAGetLastError();
      closesocket(s);
      return Settle(id, o, WsaError(e));
    }
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 ||
        WSAGetLastError() == WSAEWOULDBLOCK) {
      o.s = s;
      o.message = message;
      outgoingByMessage_[message] = id;
      return;  // FD_CONNECT follows
    }
    o.lastError = WSAGetLastError();
    closesocket(s);
  }
  Settle(id, o, WsaError(o.lastError ? o.lastError : neterr::kHostNotFound));
}

void WinsockNetwork::OnConnectMessage(SocketId id, SOCKET s, LPARAM lp) {
  auto it = outgoing_.find(id);
  if (it == outgoing_.end()) return;
  Outgoing& o = it->second;
  if (o.settled || s != o.s || WSAGETSELECTEVENT(lp) != FD_CONNECT) return;
  int error = WSAGETSELECTERROR(lp);
  sockaddr_in peer{};
  int len = sizeof peer;
  if (!error && getpeername(o.s, reinterpret_cast<sockaddr*>(&peer), &len) != 0)
    error = WSAGetLastError();
  if (!error) {
    char text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    o.peer = text;
    return Settle(id, o, std::nullopt);
  }
  o.lastError = error;
  DropSocket(o);
  ConnectNext(id, o);
}

void WinsockNetwork::OnTimeLimit(SocketId id) {
  KillTimer(hwnd_, static_cast<UINT_PTR>(id));
  auto it = outgoing_.find(id);
  if (it != outgoing_.end() && !it->second.settled)
    Settle(id, it->second, neterr::Error(neterr::kTimedOut));
}

// The outcome is known: its event is queued, never delivered from inside the
// call that found it. A failed attempt keeps no socket.
void WinsockNetwork::Settle(SocketId id, Outgoing& o, std::optional<AppError> failure) {
  o.settled = true;
  KillTimer(hwnd_, static_cast<UINT_PTR>(id));
  if (failure) {
    o.failure = std::move(failure);
    DropSocket(o);
  } else if (o.message) {
    outgoingByMessage_.erase(o.message);  // FD_CONNECT was its only message
    o.message = 0;
  }
  Queue(id, o.failure ? Pending::ConnectFailed : Pending::Connected);
}

void WinsockNetwork::DropSocket(Outgoing& o) {
  if (o.message) outgoingByMessage_.erase(o.message);
  if (o.s != INVALID_SOCKET) closesocket(o.s);
  o.s = INVALID_SOCKET;
  o.message = 0;
}

void WinsockNetwork::DeliverOutcome(SocketId id) {
  auto it = outgoing_.find(id);
  if (it == outgoing_.end()) return;  // closed meanwhile
  if (it->second.failure) it->second.sink->OnConnectFailed(id, *it->second.failure);
  else it->second.sink->OnConnected(id, it->second.peer);
}

}  // namespace nv::winsock
