// The Winsock backend of the network seam itself, inside this test program:
// the seam's contract (tests/contract), and what the event messages mean on
// Windows beyond it and beyond what the server suite can provoke through
// norvane.exe.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contract/network_contract.h"
#include "harness/harness.h"
#include "harness/silent_listener.h"
#include "platform/win32/winsock_network.h"

namespace {

using nv::SocketId;

std::function<void(const MSG&)> g_watch;  // sees every message before dispatch

// Dispatches this thread's messages until cond() holds; false after ms.
bool PumpUntil(const std::function<bool()>& cond, int ms = 10000) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
  MSG m;
  for (;;) {
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (g_watch) g_watch(m);
      DispatchMessageA(&m);
      if (cond()) return true;
    }
    if (cond()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Dispatches every message posted so far (posted messages keep their order).
void PumpPosted() {
  const UINT marker = WM_APP + 0x77;
  bool seen = false;
  PostThreadMessageA(GetCurrentThreadId(), marker, 0, 0);
  auto old = g_watch;
  g_watch = [&](const MSG& m) {
    if (m.hwnd == nullptr && m.message == marker) seen = true;
    if (old) old(m);
  };
  PumpUntil([&] { return seen; });
  g_watch = old;
}

struct Recorder : nv::NetSink {
  nv::Network* net = nullptr;
  SocketId conn = nv::kNoSocket;
  int arrivals = 0, closes = 0;
  void OnConnectionRequest(SocketId listener) override {
    std::string peer;
    if (SocketId c = net->Accept(listener, peer)) conn = c;
  }
  void OnDataArrival(SocketId) override { ++arrivals; }  // leaves the bytes unread
  void OnSendComplete(SocketId) override {}
  void OnPeerClosed(SocketId, bool) override { ++closes; }
};

struct WinsockNetwork : ::testing::Test {
  WinsockNetwork() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
  }
  ~WinsockNetwork() override {
    g_watch = nullptr;
    net.reset();
    WSACleanup();
  }
  static SOCKET DialLoopback(int port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<u_short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return s;
  }
  std::unique_ptr<nv::Network> net = nv::MakeWinsockNetwork();
};

// Windows gives a new connection the handle value of a socket just closed,
// and a message of the old one can still be queued: here the error that
// ended it arrives while the new connection holds an unread request.
TEST_F(WinsockNetwork, ALateErrorForAReusedHandleLeavesTheNewConnectionAlone) {
  Recorder sink;
  sink.net = net.get();
  const SocketId listener = net->Listen("127.0.0.1", 0, sink);
  SOCKET client = DialLoopback(net->LocalPort(listener));
  ASSERT_TRUE(PumpUntil([&] { return sink.conn != nv::kNoSocket; }));

  MSG readMessage{};
  g_watch = [&](const MSG& m) {
    if (m.message >= WM_APP && WSAGETSELECTEVENT(m.lParam) == FD_READ) readMessage = m;
  };
  const std::string request = "GET /late.gif HTTP/1.1\r\n\r\n";
  send(client, request.data(), static_cast<int>(request.size()), 0);
  ASSERT_TRUE(PumpUntil([&] { return sink.arrivals > 0; }));
  ASSERT_NE(readMessage.hwnd, nullptr);

  PostMessageA(readMessage.hwnd, readMessage.message, readMessage.wParam,
               WSAMAKESELECTREPLY(FD_CLOSE, WSAECONNRESET));
  PumpPosted();
  EXPECT_EQ(sink.closes, 0) << "the new connection was taken for the one that ended";
  std::string got;
  net->Receive(sink.conn, got, 4096);
  EXPECT_EQ(got, request);
  closesocket(client);
}

// The network seam's contract (tests/contract) over this backend, with
// Winsock clients in the same thread.
class WinsockRig {
 public:
  using Client = SOCKET;
  ~WinsockRig() {
    for (SOCKET s : clients_) closesocket(s);
    net_.reset();
  }
  nv::Network& net() { return *net_; }
  bool PumpUntil(const std::function<bool()>& cond, int ms) { return ::PumpUntil(cond, ms); }
  SOCKET Dial(int port) {
    const SOCKET s = WinsockNetwork::DialLoopback(port);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    clients_.push_back(s);
    return s;
  }
  void ClientSend(SOCKET s, std::string_view bytes) { send(s, bytes.data(), static_cast<int>(bytes.size()), 0); }
  std::string ClientTake(SOCKET s) {
    std::string got;
    char buf[1 << 16];
    for (int n; (n = recv(s, buf, sizeof buf, 0)) > 0;) got.append(buf, static_cast<std::size_t>(n));
    return got;
  }
  void ClientClose(SOCKET s) { shutdown(s, SD_SEND); }
  void ClientReset(SOCKET s) {
    const linger abort{1, 0};
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
    closesocket(s);
    std::erase(clients_, s);
  }
  int ClosedPort() {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    closesocket(s);
    return ntohs(a.sin_port);
  }
  int SilentPort() { return silent_.port(); }

 private:
  std::unique_ptr<nv::Network> net_ = nv::MakeWinsockNetwork();
  e2e::SilentListener silent_{"127.0.0.1", 0};
  std::vector<SOCKET> clients_;
};

}  // namespace

namespace nv::contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Winsock, NetworkContract, ::WinsockRig);
}  // namespace nv::contract
