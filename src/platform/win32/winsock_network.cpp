#include "platform/win32/winsock_network.h"

#include "platform/socket_peek.h"
#include "platform/win32/winsock_network_impl.h"

namespace nv {
namespace winsock {

namespace {
constexpr char kWindowClass[] = "NorvaneNetworkWindow";
constexpr long kConnectionEvents = FD_READ | FD_CLOSE;
}  // namespace

AppError WsaError(int code) {
  if (const char* text = neterr::Text(code)) return AppError(code, text, neterr::kSource);
  char buf[256] = "";
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, buf, sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == ' ' || buf[n - 1] == '.'))
    buf[--n] = '\0';
  return AppError(code, n ? buf : "Socket error", neterr::kSource);
}

WinsockNetwork::WinsockNetwork() {
  WSADATA data;
  if (const int e = WSAStartup(MAKEWORD(2, 2), &data); e != 0) {
    startError_ = WsaError(e);
    return;
  }
  started_ = true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  hwnd_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          wc.hInstance, this);
  if (!hwnd_)
    startError_ = AppError(static_cast<int>(GetLastError()), "Cannot create the network window",
                           neterr::kSource);
}

WinsockNetwork::~WinsockNetwork() {
  for (auto& [id, k] : socks_) closesocket(k.s);
  for (auto& [id, o] : outgoing_)
    if (o.s != INVALID_SOCKET) closesocket(o.s);
  if (hwnd_) DestroyWindow(hwnd_);
  if (started_) WSACleanup();
}

LRESULT CALLBACK WinsockNetwork::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<WinsockNetwork*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && msg == kDeliverMessage) {
    self->deliverPosted_ = false;
    self->DeliverPending();
    return 0;
  }
  const bool ours = msg == kResolvedMessage || msg == WM_TIMER ||
                    (msg >= kFirstSocketMessage && msg < kFirstSocketMessage + kSocketMessages);
  if (self && ours) {
    ++self->dispatching_;  // a message box in a handler nests another dispatch
    self->OnMessage(msg, wp, lp);
    if (--self->dispatching_ == 0) self->DeliverPending();
    return 0;
  }
  if (msg == kResolvedMessage) delete reinterpret_cast<Resolution*>(lp);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void WinsockNetwork::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kResolvedMessage) {
    OnResolved(reinterpret_cast<Resolution*>(lp));
  } else if (msg == WM_TIMER) {
    OnTimeLimit(static_cast<SocketId>(wp));
  } else if (auto it = outgoingByMessage_.find(msg); it != outgoingByMessage_.end()) {
    OnConnectMessage(it->second, static_cast<SOCKET>(wp), lp);
  } else {
    OnSocketMessage(msg, static_cast<SOCKET>(wp), lp);
  }
}

UINT WinsockNetwork::NextMessage() {
  const UINT message = kFirstSocketMessage + nextMessage_;
  nextMessage_ = (nextMessage_ + 1) % kSocketMessages;
  return message;
}

WinsockNetwork::Sock* WinsockNetwork::Find(SocketId id) {
  auto it = socks_.find(id);
  return it == socks_.end() ? nullptr : &it->second;
}

SocketId WinsockNetwork::Register(SOCKET s, UINT message, NetSink& sink, bool listener) {
  const SocketId id = nextId_++;
  Sock& k = socks_[id];
  k.s = s;
  k.message = message;
  k.sink = &sink;
  k.listener = listener;
  byMessage_[{message, s}] = id;
  return id;
}

SocketId WinsockNetwork::Listen(const std::string& address, int port, NetSink& sink) {
  if (startError_) throw *startError_;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<u_short>(port));
  if (inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1)
    throw WsaError(neterr::kAddressNotAvailable);
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) throw WsaError(WSAGetLastError());
  // No SO_EXCLUSIVEADDRUSE: with it, a restart finds the port blocked while
  // the last run's connections wait out TIME_WAIT, and would take that for
  // another web server.
  if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, SOMAXCONN) != 0) {
    const int e = WSAGetLastError();
    closesocket(s);
    throw WsaError(e);
  }
  // Connections inherit only FD_ACCEPT, which never fires on them: one whose
  // request is answered while it is being accepted never costs a message.
  const UINT message = NextMessage();
  if (WSAAsyncSelect(s, hwnd_, message, FD_ACCEPT) != 0) {
    const int e = WSAGetLastError();
    closesocket(s);
    throw WsaError(e);
  }
  return Register(s, message, sink, true);
}

int WinsockNetwork::LocalPort(SocketId id) {
  Sock* k = Find(id);
  if (!k) return 0;
  sockaddr_in addr{};
  int len = sizeof addr;
  if (getsockname(k->s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

SocketId WinsockNetwork::Accept(SocketId listener, std::string& peerAddress) {
  Sock* l = Find(listener);
  if (!l || !l->listener) return kNoSocket;
  sockaddr_in addr{};
  int len = sizeof addr;
  const SOCKET s = accept(l->s, reinterpret_cast<sockaddr*>(&addr), &len);
  if (s == INVALID_SOCKET) {
    const int e = WSAGetLastError();
    // Nothing waits any more, or the client gave up while queued.
    if (e == WSAEWOULDBLOCK || e == WSAECONNRESET || e == WSAECONNABORTED || e == WSAEINTR)
      return kNoSocket;
    throw WsaError(e);
  }
  char text[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
  peerAddress = text;
  // Its events are asked for after the handler, if it is still open then;
  // FD_WRITE only once a send has to wait: under load every message costs.
  const SocketId id = Register(s, l->message, *l->sink, false);
  accepted_.push_back(id);
  if (dispatching_ == 0 && !deliverPosted_)
    deliverPosted_ = PostMessageA(hwnd_, kDeliverMessage, 0, 0) != 0;
  return id;
}

// Connections accepted by the handler that just ran and still open. Data or
// a close that came before the selection is reported by it at once.
void WinsockNetwork::SelectAccepted() {
  std::vector<SocketId> batch;
  batch.swap(accepted_);
  for (SocketId id : batch) {
    Sock* k = Find(id);
    if (!k || k->selected || k->reset) continue;
    if (k->eof) {
      TellPeerClosed(id);
      continue;
    }
    const long events = kConnectionEvents | (k->wantsWrite ? FD_WRITE : 0);
    if (WSAAsyncSelect(k->s, hwnd_, k->message, events) == 0) k->selected = true;
    else MarkReset(id, *k);
  }
}

// A request fits the stack buffer: no large string is grown and cleared for
// every connection.
std::size_t WinsockNetwork::Receive(SocketId id, std::string& into, std::size_t max) {
  Sock* k = Find(id);
  if (!k || k->listener || k->eof || k->reset || max == 0) return 0;
  char stack[16 * 1024];
  const std::size_t old = into.size();
  const int want = static_cast<int>(std::min<std::size_t>(max, 1 << 20));
  const bool small = static_cast<std::size_t>(want) <= sizeof stack;
  if (!small) into.resize(old + static_cast<std::size_t>(want));
  const int n = recv(k->s, small ? stack : into.data() + old, want, 0);
  if (small && n > 0) into.append(stack, static_cast<std::size_t>(n));
  if (!small) into.resize(old + (n > 0 ? static_cast<std::size_t>(n) : 0));
  if (n > 0) {
    k->received += static_cast<std::uint64_t>(n);
    return static_cast<std::size_t>(n);
  }
  if (n == 0) k->eof = true;
  else if (WSAGetLastError() != WSAEWOULDBLOCK) MarkReset(id, *k);
  return 0;
}

void WinsockNetwork::Send(SocketId id, std::string bytes) {
  Sock* k = Find(id);
  if (!k || k->listener) return;
  if (k->reset) {
    Queue(id, Pending::PeerReset);
    return;
  }
  if (k->out.empty()) {
    k->out = std::move(bytes);
    k->sent = 0;
  } else {
    k->out += bytes;
  }
  k->sending = true;
  Flush(id, *k);
}

// Sends until Winsock would block; FD_WRITE then says when to go on.
void WinsockNetwork::Flush(SocketId id, Sock& k) {
  while (k.sent < k.out.size()) {
    const int chunk = static_cast<int>(std::min<std::size_t>(k.out.size() - k.sent, 1 << 20));
    const int n = send(k.s, k.out.data() + k.sent, chunk, 0);
    if (n > 0) {
      k.sent += static_cast<std::size_t>(n);
    } else if (WSAGetLastError() == WSAEWOULDBLOCK) {
      if (!k.wantsWrite &&
          WSAAsyncSelect(k.s, hwnd_, k.message, kConnectionEvents | FD_WRITE) == 0) {
        k.wantsWrite = true;  // FD_WRITE follows once sending can go on
        k.selected = true;
      }
      return;
    } else {
      MarkReset(id, k);
      return;
    }
  }
  k.out.clear();
  k.sent = 0;
  if (k.sending) {
    k.sending = false;
    Queue(id, Pending::SendComplete);
  }
}

void WinsockNetwork::MarkReset(SocketId id, Sock& k) {
  if (k.reset) return;
  k.reset = true;
  k.out.clear();
  k.sending = false;
  Queue(id, Pending::PeerReset);
}

void WinsockNetwork::Close(SocketId id) {
  if (auto o = outgoing_.find(id); o != outgoing_.end()) {
    KillTimer(hwnd_, static_cast<UINT_PTR>(id));
    DropSocket(o->second);
    outgoing_.erase(o);
    return;
  }
  auto it = socks_.find(id);
  if (it == socks_.end()) return;
  Sock& k = it->second;
  closesocket(k.s);  // also cancels its WSAAsyncSelect
  byMessage_.erase({k.message, k.s});
  socks_.erase(it);
}

// Completions never go out from inside a call of the sink, so a handler never
// runs inside another: those queued while a socket message is handled follow
// right after it, others through a posted message.
void WinsockNetwork::Queue(SocketId id, Pending what) {
  pending_.emplace_back(id, what);
  if (dispatching_ == 0 && !deliverPosted_)
    deliverPosted_ = PostMessageA(hwnd_, kDeliverMessage, 0, 0) != 0;
}

// Completions first: a connection answered at once is closed by then, and
// never needs events of its own.
void WinsockNetwork::DeliverPending() {
  std::deque<std::pair<SocketId, Pending>> batch;
  batch.swap(pending_);
  for (auto [id, what] : batch) {
    if (what == Pending::Connected || what == Pending::ConnectFailed) {
      DeliverOutcome(id);
      continue;
    }
    Sock* k = Find(id);
    if (!k) continue;  // closed meanwhile
    if (what == Pending::SendComplete) k->sink->OnSendComplete(id);
    else k->sink->OnPeerClosed(id, true);
  }
  SelectAccepted();
}

void WinsockNetwork::TellPeerClosed(SocketId id) {
  Sock* k = Find(id);
  if (!k || !k->eof || k->closeTold || k->reset) return;
  k->closeTold = true;
  k->sink->OnPeerClosed(id, false);
}

// Only the messages that end a connection need telling apart from a late
// message for a closed socket whose handle value it reuses.
bool WinsockNetwork::StillOpen(const Sock& k) {
  char c;
  const int n = recv(k.s, &c, 1, MSG_PEEK);
  return PeekShowsOpen(n, n < 0 ? WSAGetLastError() : 0);
}

void WinsockNetwork::OnSocketMessage(UINT message, SOCKET s, LPARAM lp) {
  auto it = byMessage_.find({message, s});
  if (it == byMessage_.end()) return;  // a late message for a socket already closed
  const SocketId id = it->second;
  Sock* k = Find(id);
  const int error = WSAGETSELECTERROR(lp);
  switch (WSAGETSELECTEVENT(lp)) {
    case FD_ACCEPT:
      if (!error && k->listener) k->sink->OnConnectionRequest(id);
      break;
    case FD_READ:
      if (k->listener) break;  // listeners pass FD_READ on to their connections only
      if (error) {
        if (!StillOpen(*k)) MarkReset(id, *k);
      } else if (!k->eof && !k->reset) {
        k->sink->OnDataArrival(id);
      }
      TellPeerClosed(id);
      break;
    case FD_WRITE:
      if (error) {
        if (!StillOpen(*k)) MarkReset(id, *k);
      } else {
        Flush(id, *k);
      }
      break;
    case FD_CLOSE:
      if (!k->listener) OnConnectionClosed(id, error);
      break;
  }
}

// No FD_READ follows FD_CLOSE: offer what is left until the sink stops
// taking it, then tell it the peer's end was reached.
void WinsockNetwork::OnConnectionClosed(SocketId id, int error) {
  Sock* k = Find(id);
  if (error) {
    if (!StillOpen(*k)) MarkReset(id, *k);
    return;
  }
  while ((k = Find(id)) != nullptr && !k->eof && !k->reset) {
    const std::uint64_t before = k->received;
    k->sink->OnDataArrival(id);
    if ((k = Find(id)) == nullptr || k->received == before) break;
  }
  if ((k = Find(id)) == nullptr || k->reset) return;
  if (!k->eof && StillOpen(*k)) return;  // a late message: this connection is open
  k->eof = true;
  TellPeerClosed(id);
}

}  // namespace winsock

std::unique_ptr<Network> MakeWinsockNetwork() { return std::make_unique<winsock::WinsockNetwork>(); }

}  // namespace nv
