#include "platform/win32/winsock_network.h"

#include "platform/socket_peek.h"
#include "platform/win32/winsock_network_impl.h"
#include "platform/window_barrier.h"

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

WinsockNetwork::WinsockNetwork() : TableNetwork(*this, *this) {
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
  table_.CloseAll();
  attempts_.CloseAll();
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
    CallBarrier("network", [&] { self->DeliverPending(); });
    return 0;
  }
  const bool ours = msg == kResolvedMessage || msg == WM_TIMER ||
                    (msg >= kFirstSocketMessage && msg < kFirstSocketMessage + kSocketMessages);
  if (self && ours) {
    self->table_.BeginDispatch();
    CallBarrier("network", [&] { self->OnMessage(msg, wp, lp); });
    if (self->table_.EndDispatch()) CallBarrier("network", [&] { self->DeliverPending(); });
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

IoResult WinsockNetwork::SendSome(OsSocket s, const char* data, std::size_t size) {
  const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
  const int n = send(static_cast<SOCKET>(s), data, chunk, 0);
  if (n > 0) return {IoResult::Moved, static_cast<std::size_t>(n)};
  return {WSAGetLastError() == WSAEWOULDBLOCK ? IoResult::WouldBlock : IoResult::Broken};
}

IoResult WinsockNetwork::ReceiveSome(OsSocket s, char* into, std::size_t max) {
  const int n = recv(static_cast<SOCKET>(s), into, static_cast<int>(max), 0);
  if (n > 0) return {IoResult::Moved, static_cast<std::size_t>(n)};
  if (n == 0) return {IoResult::Ended};
  return {WSAGetLastError() == WSAEWOULDBLOCK ? IoResult::WouldBlock : IoResult::Broken};
}

// FD_WRITE follows once sending can go on: asked for only when a send had to
// wait, as under load every message costs.
void WinsockNetwork::AwaitWritable(SocketId id, OsSocket s) {
  Entry* e = table_.Find(id);
  if (!e || e->awaitingWrite) return;
  if (WSAAsyncSelect(static_cast<SOCKET>(s), hwnd_, e->tag, kConnectionEvents | FD_WRITE) == 0) {
    e->awaitingWrite = true;
    table_.Open(id);
  }
}

void WinsockNetwork::EventQueued() {
  if (!deliverPosted_) deliverPosted_ = PostMessageA(hwnd_, kDeliverMessage, 0, 0) != 0;
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
  return table_.AddListener(static_cast<OsSocket>(s), sink, message);
}

int WinsockNetwork::LocalPort(SocketId id) {
  Entry* e = table_.Find(id);
  if (!e) return 0;
  sockaddr_in addr{};
  int len = sizeof addr;
  if (getsockname(static_cast<SOCKET>(e->socket), reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

SocketId WinsockNetwork::Accept(SocketId listener, std::string& peerAddress) {
  Entry* l = table_.Find(listener);
  if (!l || !l->listener) return kNoSocket;
  sockaddr_in addr{};
  int len = sizeof addr;
  const SOCKET s = accept(static_cast<SOCKET>(l->socket), reinterpret_cast<sockaddr*>(&addr), &len);
  if (s == INVALID_SOCKET) {
    const int e = WSAGetLastError();
    // Nothing waits any more, or the client gave up while queued.
    if (e == WSAEWOULDBLOCK || e == WSAECONNRESET || e == WSAECONNABORTED || e == WSAEINTR) {
      refusedInRound_ = true;
      Rearm(*l);
      return kNoSocket;
    }
    throw WsaError(e);
  }
  char text[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
  peerAddress = text;
  // Its events are asked for after the handler, if it is still open then;
  // FD_WRITE only once a send has to wait: under load every message costs.
  const SocketId id = table_.AddConnection(static_cast<OsSocket>(s), *l->sink, l->tag);
  accepted_.push_back(id);
  ++acceptCount_;
  if (!table_.Dispatching()) EventQueued();
  return id;
}

// One client per report, or a burst of them while they queue up; a call in
// which the sink takes nobody ends the round. Held reports are re-armed
// after it, unless the accept that found nobody did so already. Should a
// handler throw in between, the main tick's accept still takes the clients
// and its refusal re-arms.
void WinsockNetwork::OnConnectionRequest(SocketId listener) {
  const AcceptPacing::Round round = pacing_.Next();
  if (round.hold) Hold(listener);
  refusedInRound_ = false;
  int taken = 0;
  while (taken < round.most) {
    Entry* e = table_.Find(listener);
    if (!e) return;  // its sink closed it
    const unsigned before = acceptCount_;
    e->sink->OnConnectionRequest(listener);
    if (acceptCount_ == before) break;
    ++taken;
  }
  pacing_.Took(round, taken);
  if (round.hold && !refusedInRound_) {
    if (Entry* e = table_.Find(listener)) Rearm(*e);
  }
}

// No reports while a burst is taken: each accept would re-arm one, and the
// queue would fill with reports of clients the burst already took.
void WinsockNetwork::Hold(SocketId listener) {
  if (Entry* e = table_.Find(listener)) WSAAsyncSelect(static_cast<SOCKET>(e->socket), hwnd_, 0, 0);
}

// Under Wine a readiness report the accept did not consume (one that came
// for a client an earlier accept already took) stays standing after a
// refused accept, and no later client is announced. Selecting again clears
// it; where nothing was wrong (Windows) it only tells of clients waiting.
void WinsockNetwork::Rearm(const Entry& listener) {
  WSAAsyncSelect(static_cast<SOCKET>(listener.socket), hwnd_, listener.tag, FD_ACCEPT);
}

// Connections accepted by the handler that just ran and still open. Data or
// a close that came before the selection is reported by it at once.
void WinsockNetwork::SelectAccepted() {
  std::vector<SocketId> batch;
  batch.swap(accepted_);
  for (SocketId id : batch) {
    Entry* e = table_.Find(id);
    if (!e || e->awaitingWrite || e->state == ConnState::Reset) continue;
    if (e->state == ConnState::Closing) {
      table_.TellPeerClosed(id);
      continue;
    }
    if (WSAAsyncSelect(static_cast<SOCKET>(e->socket), hwnd_, e->tag, kConnectionEvents) == 0) table_.Open(id);
    else table_.Broke(id);
  }
}

// Completions first: a connection answered at once is closed by then, and
// never needs events of its own.
void WinsockNetwork::DeliverPending() {
  table_.DeliverPending();
  attempts_.DeliverPending();
  SelectAccepted();
}

// Only the messages that end a connection need telling apart from a late
// message for a closed socket whose handle value it reuses.
bool WinsockNetwork::StillOpen(const Entry& e) {
  char c;
  const int n = recv(static_cast<SOCKET>(e.socket), &c, 1, MSG_PEEK);
  return PeekShowsOpen(n, n < 0 ? WSAGetLastError() : 0);
}

// A message whose socket is gone, or whose handle value a socket of another
// listener holds now, is late and dropped.
void WinsockNetwork::OnSocketMessage(UINT message, SOCKET s, LPARAM lp) {
  const SocketId id = table_.ByHandle(static_cast<OsSocket>(s));
  Entry* e = table_.Find(id);
  if (!e || e->tag != message) return;
  const int error = WSAGETSELECTERROR(lp);
  switch (WSAGETSELECTEVENT(lp)) {
    case FD_ACCEPT:
      if (!error && e->listener) OnConnectionRequest(id);
      break;
    case FD_READ:
      if (e->listener) break;  // listeners pass FD_READ on to their connections only
      if (error) {
        if (!StillOpen(*e)) table_.Broke(id);
      } else if (ConnectionTable::Readable(*e)) {
        e->sink->OnDataArrival(id);
      }
      table_.TellPeerClosed(id);
      break;
    case FD_WRITE:
      if (error) {
        if (!StillOpen(*e)) table_.Broke(id);
      } else {
        table_.Flush(id);
      }
      break;
    case FD_CLOSE:
      if (!e->listener) OnConnectionClosed(id, error);
      break;
  }
}

// No FD_READ follows FD_CLOSE: offer what is left until the sink stops
// taking it, then tell it the peer's end was reached.
void WinsockNetwork::OnConnectionClosed(SocketId id, int error) {
  Entry* e = table_.Find(id);
  if (error) {
    if (!StillOpen(*e)) table_.Broke(id);
    return;
  }
  while ((e = table_.Find(id)) != nullptr && ConnectionTable::Readable(*e)) {
    const std::uint64_t before = e->received;
    e->sink->OnDataArrival(id);
    if ((e = table_.Find(id)) == nullptr || e->received == before) break;
  }
  if ((e = table_.Find(id)) == nullptr || e->state == ConnState::Reset) return;
  if (e->state != ConnState::Closing && StillOpen(*e)) return;  // a late message: this connection is open
  table_.PeerEnded(id);
  table_.TellPeerClosed(id);
}

}  // namespace winsock

std::unique_ptr<Network> MakeWinsockNetwork() { return std::make_unique<winsock::WinsockNetwork>(); }

}  // namespace nv
