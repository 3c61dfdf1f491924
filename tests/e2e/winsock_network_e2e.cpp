// The Winsock backend of the network seam itself, inside this test program:
// what the event messages mean on Windows, beyond what the server suite can
// provoke through norvane.exe, and outgoing connections (resolver thread,
// WSAAsyncSelect connect, time limit).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

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

struct Outcome : nv::ConnectSink {
  std::vector<std::string> events;
  void OnConnected(SocketId, const std::string& peer) override { events.push_back("connected " + peer); }
  void OnConnectFailed(SocketId, const nv::AppError& e) override {
    events.push_back("failed " + std::to_string(e.number));
  }
};

struct Counting : nv::NetSink {
  nv::Network* net = nullptr;
  int accepted = 0;
  void OnConnectionRequest(SocketId listener) override {
    std::string peer;
    for (SocketId c; (c = net->Accept(listener, peer)) != nv::kNoSocket; ++accepted) net->Close(c);
  }
  void OnDataArrival(SocketId) override {}
  void OnSendComplete(SocketId) override {}
  void OnPeerClosed(SocketId, bool) override {}
};

struct OutgoingConnection : WinsockNetwork {
  OutgoingConnection() {
    listenerSink.net = net.get();
    port = net->LocalPort(net->Listen("127.0.0.1", 0, listenerSink));
  }
  // One attempt from start to outcome; nothing may arrive inside the call.
  std::string Attempt(const std::string& host, int port, int limitMs = nv::kSystemTimeouts) {
    Outcome sink;
    const SocketId id = net->Connect(host, port, limitMs, sink);
    if (!sink.events.empty()) return "delivered inside the call";
    if (!PumpUntil([&] { return !sink.events.empty(); })) return "no outcome";
    PumpPosted();
    net->Close(id);
    return sink.events.size() == 1 ? sink.events[0] : "more than one outcome";
  }
  static int ClosedPort() {
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
  Counting listenerSink;
  int port = 0;
};

TEST_F(OutgoingConnection, ResolvesLocalhostAndReachesOurOwnListener) {
  EXPECT_EQ(Attempt("localhost", port), "connected 127.0.0.1");
  EXPECT_EQ(Attempt("127.0.0.1", port), "connected 127.0.0.1");
  EXPECT_TRUE(PumpUntil([&] { return listenerSink.accepted == 2; }));
}

TEST_F(OutgoingConnection, ARefusedPortAndAnUnresolvableNameFail) {
  EXPECT_EQ(Attempt("127.0.0.1", ClosedPort()), "failed 10061");
  const std::string unresolvable = Attempt("nv-lookup-test.invalid", 80);
  EXPECT_TRUE(unresolvable == "failed 11001" || unresolvable == "failed 11002") << unresolvable;
}

// A listener that never accepts, its queue full: the system drops further
// connection attempts without an answer.
TEST_F(OutgoingConnection, AConnectionThatNeverCompletesFailsAtTheTimeLimit) {
  e2e::SilentListener silent("127.0.0.1", 0);
  ASSERT_TRUE(silent.ok());
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Attempt("127.0.0.1", silent.port(), 300), "failed 10060");
  EXPECT_LT(GetTickCount64() - start, 3000u);
}

TEST_F(OutgoingConnection, BadInputFailsCleanly) {
  const std::vector<std::string> names = {
      "local host", "", std::string(10000, 'a'), std::string("localhost\0.example", 18),
      "local\thost", "\x01", "localhost\r\n", "::1" /* resolves to IPv6 only */};
  for (const std::string& name : names) {
    const std::string outcome = Attempt(name, port);
    EXPECT_EQ(outcome.rfind("failed 110", 0), 0u) << name.substr(0, 40) << ": " << outcome;
  }
  EXPECT_EQ(Attempt("localhost", 0), "failed 10049");
  PumpPosted();
  EXPECT_EQ(listenerSink.accepted, 0);
}

TEST_F(OutgoingConnection, AClosedAttemptDeliversNothing) {
  Outcome abandoned, connecting, latest;
  net->Close(net->Connect("localhost", port, nv::kSystemTimeouts, abandoned));   // resolving
  net->Close(net->Connect("127.0.0.1", port, nv::kSystemTimeouts, connecting));  // connecting
  net->Connect("localhost", port, nv::kSystemTimeouts, latest);
  ASSERT_TRUE(PumpUntil([&] { return !latest.events.empty(); }));
  PumpPosted();
  EXPECT_EQ(latest.events, std::vector<std::string>{"connected 127.0.0.1"});
  EXPECT_TRUE(abandoned.events.empty());
  EXPECT_TRUE(connecting.events.empty());
}

}  // namespace
