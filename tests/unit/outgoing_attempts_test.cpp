// Outgoing connections as both network backends run them, over scripted
// resolver and connect calls: one outcome per attempt, in the loop, never
// for a closed one.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/outgoing_attempts.h"

namespace nv {
namespace {

struct NoSockets : SocketCalls {
  IoResult SendSome(OsSocket, const char*, std::size_t) override { return {IoResult::Broken}; }
  IoResult ReceiveSome(OsSocket, char*, std::size_t) override { return {IoResult::Broken}; }
  void CloseSocket(OsSocket) override {}
};

struct ScriptedConnects : ConnectCalls {
  std::vector<std::string> calls;
  std::map<std::uint32_t, int> refusals;  // address -> the connect's failure
  std::map<SocketId, int> limits;
  OsSocket nextSocket = 100;
  int dropped = 0;

  void Resolve(SocketId, const std::string& host) override { calls.push_back("resolve " + host); }
  int StartConnect(SocketId, std::uint32_t address, int port, OsSocket& s, unsigned& tag) override {
    calls.push_back("connect " + std::to_string(address) + ":" + std::to_string(port));
    if (auto r = refusals.find(address); r != refusals.end()) return r->second;
    s = nextSocket++;
    tag = 7;
    return 0;
  }
  void DropConnect(OsSocket, unsigned) override { ++dropped; }
  void StartLimit(SocketId id, int ms) override { limits[id] = ms; }
  void StopLimit(SocketId id) override { limits.erase(id); }
  void OutcomeQueued() override {}
};

struct Heard : ConnectSink {
  std::vector<std::string> events;
  void OnConnected(SocketId, const std::string& peer) override { events.push_back("connected " + peer); }
  void OnConnectFailed(SocketId, const AppError& e) override {
    events.push_back("failed " + std::to_string(e.number));
  }
};

struct OutgoingAttemptsTest : ::testing::Test {
  NoSockets sockets;
  ConnectionTable table{sockets};
  ScriptedConnects os;
  OutgoingAttempts attempts{os, table};
  Heard sink;
  SocketId Start(const std::string& host, int port = 80, int limitMs = kSystemTimeouts) {
    const SocketId id = table.NewId();
    attempts.Start(id, host, port, limitMs, sink);
    return id;
  }
};

TEST_F(OutgoingAttemptsTest, EachResolvedAddressIsTriedInTurnUntilOneTakesTheConnection) {
  const SocketId id = Start("site.example");
  EXPECT_EQ(os.calls, std::vector<std::string>{"resolve site.example"});
  os.refusals[1] = neterr::kConnectionRefused;
  attempts.Resolved(id, 0, {1, 2, 3});
  attempts.Reached(id, neterr::kTimedOut, "");  // the second address does not answer either
  attempts.Reached(id, 0, "10.0.0.3");
  EXPECT_EQ(os.calls, (std::vector<std::string>{"resolve site.example", "connect 1:80", "connect 2:80",
                                                "connect 3:80"}));
  EXPECT_TRUE(sink.events.empty()) << "told from the loop, never inside the call";
  attempts.DeliverPending();
  EXPECT_EQ(sink.events, std::vector<std::string>{"connected 10.0.0.3"});
  EXPECT_EQ(os.dropped, 1);
  attempts.Reached(id, 0, "10.0.0.9");  // late: settled already
  attempts.DeliverPending();
  EXPECT_EQ(sink.events.size(), 1u);
  EXPECT_TRUE(attempts.Close(id));
  EXPECT_EQ(os.dropped, 2);
}

TEST_F(OutgoingAttemptsTest, FailuresAreTheLastAddressesOrTheResolversOwn) {
  os.refusals[1] = neterr::kNetworkUnreachable;
  os.refusals[2] = neterr::kConnectionRefused;
  const SocketId refused = Start("two.example");
  attempts.Resolved(refused, 0, {1, 2});
  const SocketId unknown = Start("none.example");
  attempts.Resolved(unknown, neterr::kHostNotFound, {});
  const SocketId empty = Start("empty.example");
  attempts.Resolved(empty, 0, {});
  const SocketId badName = Start("bad name");
  const SocketId badPort = Start("site.example", 65536);
  attempts.DeliverPending();
  EXPECT_EQ(sink.events, (std::vector<std::string>{"failed 10061", "failed 11001", "failed 11004",
                                                   "failed 11001", "failed 10049"}));
  EXPECT_EQ(os.calls.size(), 5u) << "bad input reaches neither the resolver nor a connect";
  for (SocketId id : {refused, unknown, empty, badName, badPort}) attempts.Close(id);
}

// A dotted address needs no resolver; a limit of the caller's ends a connect
// that never answers, and without one the system's time-outs decide.
TEST_F(OutgoingAttemptsTest, ALiteralAddressIsConnectedAtOnceAndOnlyACallersLimitIsTimed) {
  const SocketId limited = Start("127.0.0.1", 80, 300);
  EXPECT_EQ(os.calls.back(), "connect 16777343:80");
  EXPECT_EQ(os.limits[limited], 300);
  const SocketId patient = Start("127.0.0.2");
  EXPECT_EQ(os.limits.count(patient), 0u);
  attempts.TimeUp(limited);
  attempts.Reached(limited, 0, "127.0.0.1");  // too late
  attempts.DeliverPending();
  EXPECT_EQ(sink.events, std::vector<std::string>{"failed 10060"});
  EXPECT_TRUE(os.limits.empty());
  EXPECT_EQ(Start("127.0.0.256"), patient + 1);
  EXPECT_EQ(os.calls.back(), "resolve 127.0.0.256") << "not an address: a name for the resolver";
}

TEST_F(OutgoingAttemptsTest, AClosedAttemptHearsNothingWhateverComesLater) {
  const SocketId resolving = Start("a.example");
  const SocketId connecting = Start("10.0.0.1", 80, 500);
  const SocketId settled = Start("bad name");
  for (SocketId id : {resolving, connecting, settled}) EXPECT_TRUE(attempts.Close(id));
  EXPECT_TRUE(os.limits.empty());
  attempts.Resolved(resolving, 0, {5});
  attempts.Reached(connecting, 0, "10.0.0.1");
  attempts.TimeUp(connecting);
  attempts.DeliverPending();
  EXPECT_TRUE(sink.events.empty());
  EXPECT_FALSE(attempts.Close(resolving));
  EXPECT_EQ(attempts.Size(), 0u);
}

}  // namespace
}  // namespace nv
