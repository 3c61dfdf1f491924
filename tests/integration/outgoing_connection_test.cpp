// Outgoing connections of the poll() backend over real sockets and the real
// resolver. The test thread runs the loop, as the UI thread would.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/posix/posix_network.h"
#include "silent_listener.h"

namespace nv::test {
namespace {

struct Outcome : ConnectSink {
  std::vector<std::string> events;
  void OnConnected(SocketId, const std::string& peer) override { events.push_back("connected " + peer); }
  void OnConnectFailed(SocketId, const AppError& e) override {
    events.push_back("failed " + std::to_string(e.number));
  }
};

// Takes and counts the connections made to it.
struct Counting : NetSink {
  Network* net = nullptr;
  int accepted = 0;
  void OnConnectionRequest(SocketId listener) override {
    std::string peer;
    for (SocketId c; (c = net->Accept(listener, peer)) != kNoSocket; ++accepted) net->Close(c);
  }
  void OnDataArrival(SocketId) override {}
  void OnSendComplete(SocketId) override {}
  void OnPeerClosed(SocketId, bool) override {}
};

struct OutgoingConnection : ::testing::Test {
  // Runs the loop until the sink heard something, for ms at most.
  bool RunUntilHeard(const Outcome& sink, int ms = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (sink.events.empty()) {
      if (std::chrono::steady_clock::now() >= end) return false;
      net.RunOnce(20);
    }
    return true;
  }
  // One attempt from start to outcome; nothing may arrive inside the call.
  std::string Attempt(const std::string& host, int port, int limitMs = kSystemTimeouts) {
    Outcome sink;
    const SocketId id = net.Connect(host, port, limitMs, sink);
    if (!sink.events.empty()) return "delivered inside the call";
    if (!RunUntilHeard(sink)) return "no outcome";
    net.Close(id);
    return sink.events.size() == 1 ? sink.events[0] : "more than one outcome";
  }
  PosixNetwork net;
  Counting listenerSink;
  int port = LocalListener();

 private:
  int LocalListener() {
    listenerSink.net = &net;
    return net.LocalPort(net.Listen("127.0.0.1", 0, listenerSink));
  }
};

TEST_F(OutgoingConnection, ResolvesLocalhostAndReachesOurOwnListener) {
  EXPECT_EQ(Attempt("localhost", port), "connected 127.0.0.1");
  EXPECT_EQ(Attempt("127.0.0.1", port), "connected 127.0.0.1");
  for (int i = 0; i < 100 && listenerSink.accepted < 2; ++i) net.RunOnce(20);
  EXPECT_EQ(listenerSink.accepted, 2);
}

TEST_F(OutgoingConnection, ARefusedPortAndAnUnresolvableNameFail) {
  EXPECT_EQ(Attempt("127.0.0.1", ClosedPort()), "failed 10061");
  EXPECT_EQ(Attempt("localhost", ClosedPort()), "failed 10061");
  const std::string unresolvable = Attempt("nv-lookup-test.invalid", 80);
  EXPECT_TRUE(unresolvable == "failed 11001" || unresolvable == "failed 11002") << unresolvable;
}

// The system would wait minutes for a listener that never answers: a
// caller's limit ends it; without one, the attempt waits for the system.
TEST_F(OutgoingConnection, AConnectionThatNeverCompletesFailsAtTheCallersLimitOnly) {
  SilentListener silent;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Attempt("127.0.0.1", silent.port(), 300), "failed 10060");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  Outcome patient;
  const SocketId id = net.Connect("127.0.0.1", silent.port(), kSystemTimeouts, patient);
  EXPECT_FALSE(RunUntilHeard(patient, 1500)) << patient.events[0];
  net.Close(id);
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
  EXPECT_EQ(Attempt("localhost", 65536), "failed 10049");
  net.RunOnce(50);
  EXPECT_EQ(listenerSink.accepted, 0);
}

TEST_F(OutgoingConnection, AClosedAttemptDeliversNothing) {
  Outcome abandoned, connecting, latest;
  net.Close(net.Connect("localhost", port, kSystemTimeouts, abandoned));          // resolving
  net.Close(net.Connect("127.0.0.1", port, kSystemTimeouts, connecting));         // connecting
  net.Connect("localhost", port, kSystemTimeouts, latest);
  ASSERT_TRUE(RunUntilHeard(latest));
  EXPECT_EQ(latest.events, std::vector<std::string>{"connected 127.0.0.1"});
  EXPECT_TRUE(abandoned.events.empty());
  EXPECT_TRUE(connecting.events.empty());
}

}  // namespace
}  // namespace nv::test
