#pragma once
// The network seam's behaviour, written once and run against each backend:
// natively over the poll() backend (tests/integration), under Wine over
// Winsock (tests/e2e/winsock_network_e2e.cpp). A runner instantiates the
// suite with a rig that gives:
//   nv::Network& net();                 the backend under test
//   bool PumpUntil(cond, ms);           runs its loop until cond() or ms pass
//   Client Dial(int port);              a plain non-blocking loopback client
//   void ClientSend(Client, std::string_view);
//   std::string ClientTake(Client);     what has arrived so far
//   void ClientClose(Client);           an orderly close
//   void ClientReset(Client);           a close that resets the connection
//   int ClosedPort();                   a loopback port nothing listens on
//   int SilentPort();                   a listener that never answers
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/net.h"

namespace nv::contract {

// Records every event; takes each client it is offered.
struct Journal : NetSink {
  Network* net = nullptr;
  std::vector<SocketId> accepted;
  std::vector<std::string> peers;
  std::string received;
  int arrivals = 0, completions = 0, closes = 0, resets = 0;
  bool inCall = false;  // a Network call of the test is running
  bool heardInCall = false;
  void Heard() { heardInCall |= inCall; }
  void OnConnectionRequest(SocketId listener) override {
    Heard();
    std::string peer;
    for (SocketId c; (c = net->Accept(listener, peer)) != kNoSocket;) {
      accepted.push_back(c);
      peers.push_back(peer);
    }
  }
  void OnDataArrival(SocketId conn) override {
    Heard();
    ++arrivals;
    net->Receive(conn, received, 1 << 16);
  }
  void OnSendComplete(SocketId) override {
    Heard();
    ++completions;
  }
  void OnPeerClosed(SocketId, bool reset) override {
    Heard();
    ++(reset ? resets : closes);
  }
};

// Takes one client per report, as the ad server does.
struct OneAtATime : NetSink {
  Network* net = nullptr;
  std::vector<SocketId> accepted;
  void OnConnectionRequest(SocketId listener) override {
    std::string peer;
    if (const SocketId c = net->Accept(listener, peer); c != kNoSocket) accepted.push_back(c);
  }
  void OnDataArrival(SocketId) override {}
  void OnSendComplete(SocketId) override {}
  void OnPeerClosed(SocketId, bool) override {}
};

struct Outcome : ConnectSink {
  std::vector<std::string> events;
  void OnConnected(SocketId, const std::string& peer) override { events.push_back("connected " + peer); }
  void OnConnectFailed(SocketId, const AppError& e) override {
    events.push_back("failed " + std::to_string(e.number));
  }
};

template <typename Rig>
class NetworkContract : public ::testing::Test {
 protected:
  NetworkContract() {
    journal.net = &rig.net();
    listener = rig.net().Listen("127.0.0.1", 0, journal);
    port = rig.net().LocalPort(listener);
  }
  Network& net() { return rig.net(); }
  // A client, accepted.
  auto Accepted() {
    auto client = rig.Dial(port);
    const std::size_t before = journal.accepted.size();
    EXPECT_TRUE(rig.PumpUntil([&] { return journal.accepted.size() > before; }, 10000));
    return client;
  }
  SocketId Conn() const { return journal.accepted.empty() ? kNoSocket : journal.accepted.back(); }
  // One outgoing attempt from start to outcome; nothing may arrive inside
  // the call, and exactly one outcome at all.
  std::string Attempt(const std::string& host, int port, int limitMs = kSystemTimeouts) {
    Outcome sink;
    const SocketId id = net().Connect(host, port, limitMs, sink);
    if (!sink.events.empty()) return "delivered inside the call";
    if (!rig.PumpUntil([&] { return !sink.events.empty(); }, 10000)) return "no outcome";
    rig.PumpUntil([] { return false; }, 50);
    net().Close(id);
    return sink.events.size() == 1 ? sink.events[0] : "more than one outcome";
  }

  Rig rig;
  Journal journal;
  SocketId listener = kNoSocket;
  int port = 0;
};

TYPED_TEST_SUITE_P(NetworkContract);

TYPED_TEST_P(NetworkContract, AcceptsALoopbackClientAndCollectsARequestSentInPieces) {
  auto client = this->Accepted();
  EXPECT_EQ(this->journal.peers, std::vector<std::string>{"127.0.0.1"});
  this->rig.ClientSend(client, "GET /pie");
  ASSERT_TRUE(this->rig.PumpUntil([&] { return this->journal.received == "GET /pie"; }, 10000));
  this->rig.ClientSend(client, "ce.gif HTTP/1.1\r\n\r\n");
  ASSERT_TRUE(this->rig.PumpUntil([&] { return this->journal.received.size() == 27; }, 10000));
  EXPECT_EQ(this->journal.received, "GET /piece.gif HTTP/1.1\r\n\r\n");
  this->rig.ClientClose(client);
  EXPECT_TRUE(this->rig.PumpUntil([&] { return this->journal.closes == 1; }, 10000));
  EXPECT_EQ(this->journal.resets, 0);
  EXPECT_FALSE(this->journal.heardInCall);
}

// More than any socket buffer holds: it goes out whole, in order, and its
// completion comes once, after the last byte was taken, never inside Send.
TYPED_TEST_P(NetworkContract, AReplyLargerThanTheSocketBufferArrivesWholeThenCompletesOnce) {
  auto client = this->Accepted();
  std::string reply(6 << 20, '\0');
  for (std::size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<char>('a' + i % 23);
  this->journal.inCall = true;
  this->net().Send(this->Conn(), reply);
  this->journal.inCall = false;
  std::string got;
  EXPECT_TRUE(this->rig.PumpUntil(
      [&] {
        got += this->rig.ClientTake(client);
        return got.size() >= reply.size() && this->journal.completions > 0;
      },
      30000));
  EXPECT_TRUE(got == reply) << got.size() << " bytes arrived";
  this->rig.PumpUntil([] { return false; }, 50);
  EXPECT_EQ(this->journal.completions, 1);
  EXPECT_FALSE(this->journal.heardInCall);
  this->rig.ClientClose(client);
}

TYPED_TEST_P(NetworkContract, APeerResetIsToldAsResetAndTheSendItCutShortNeverCompletes) {
  auto client = this->Accepted();
  this->net().Send(this->Conn(), std::string(16 << 20, 'r'));  // waits for a reader that never reads
  this->rig.PumpUntil([] { return false; }, 100);
  this->rig.ClientReset(client);
  EXPECT_TRUE(this->rig.PumpUntil([&] { return this->journal.resets == 1; }, 10000));
  this->rig.PumpUntil([] { return false; }, 100);
  EXPECT_EQ(this->journal.completions, 0);
  EXPECT_EQ(this->journal.resets, 1);
  EXPECT_EQ(this->journal.closes, 0);
}

// Events already on their way for a socket that is closed never arrive: not
// for a closed connection with data and its end waiting, not for a Send
// whose completion was due, not for a listener closed with clients queued.
TYPED_TEST_P(NetworkContract, NothingArrivesForASocketOnceItIsClosed) {
  auto first = this->Accepted();
  this->rig.ClientSend(first, "GET / HTTP/1.1\r\n\r\n");
  this->rig.ClientClose(first);
  this->net().Send(this->Conn(), "reply");
  this->net().Close(this->Conn());
  auto queued = this->rig.Dial(this->port);
  this->net().Close(this->listener);
  const auto heard = this->journal.arrivals + this->journal.completions + this->journal.closes +
                     this->journal.resets + static_cast<int>(this->journal.accepted.size());
  this->rig.PumpUntil([] { return false; }, 300);
  EXPECT_EQ(this->journal.arrivals + this->journal.completions + this->journal.closes + this->journal.resets +
                static_cast<int>(this->journal.accepted.size()),
            heard);
  this->net().Close(this->Conn());  // twice, and an unknown id: ignored
  this->net().Close(987654321);
  this->rig.ClientClose(queued);
}

TYPED_TEST_P(NetworkContract, AnOutgoingConnectionResolvesLocalhostAndReachesAListener) {
  EXPECT_EQ(this->Attempt("localhost", this->port), "connected 127.0.0.1");
  EXPECT_EQ(this->Attempt("127.0.0.1", this->port), "connected 127.0.0.1");
  EXPECT_TRUE(this->rig.PumpUntil([&] { return this->journal.accepted.size() == 2; }, 10000));
}

TYPED_TEST_P(NetworkContract, ARefusedPortAndAnUnresolvableNameFail) {
  EXPECT_EQ(this->Attempt("127.0.0.1", this->rig.ClosedPort()), "failed 10061");
  EXPECT_EQ(this->Attempt("localhost", this->rig.ClosedPort()), "failed 10061");
  const std::string unresolvable = this->Attempt("nv-lookup-test.invalid", 80);
  EXPECT_TRUE(unresolvable == "failed 11001" || unresolvable == "failed 11002") << unresolvable;
}

// The system would wait long for a listener that never answers: a caller's
// limit ends it; without one, the attempt waits for the system.
TYPED_TEST_P(NetworkContract, AConnectThatNeverCompletesEndsOnlyAtTheCallersLimit) {
  const int silent = this->rig.SilentPort();
  EXPECT_EQ(this->Attempt("127.0.0.1", silent, 300), "failed 10060");
  Outcome patient;
  const SocketId id = this->net().Connect("127.0.0.1", silent, kSystemTimeouts, patient);
  EXPECT_FALSE(this->rig.PumpUntil([&] { return !patient.events.empty(); }, 1500)) << patient.events[0];
  this->net().Close(id);
}

TYPED_TEST_P(NetworkContract, BadInputToConnectFailsCleanly) {
  const std::vector<std::string> names = {
      "local host", "", std::string(10000, 'a'), std::string("localhost\0.example", 18),
      "local\thost", "\x01", "localhost\r\n", "::1" /* resolves to IPv6 only */};
  for (const std::string& name : names) {
    const std::string outcome = this->Attempt(name, this->port);
    EXPECT_EQ(outcome.rfind("failed 110", 0), 0u) << name.substr(0, 40) << ": " << outcome;
  }
  EXPECT_EQ(this->Attempt("localhost", 0), "failed 10049");
  EXPECT_EQ(this->Attempt("localhost", 65536), "failed 10049");
  this->rig.PumpUntil([] { return false; }, 50);
  EXPECT_TRUE(this->journal.accepted.empty());
}

TYPED_TEST_P(NetworkContract, AnAttemptClosedWhileResolvingOrConnectingDeliversNothing) {
  Outcome abandoned, connecting, latest;
  this->net().Close(this->net().Connect("localhost", this->port, kSystemTimeouts, abandoned));
  this->net().Close(this->net().Connect("127.0.0.1", this->port, kSystemTimeouts, connecting));
  this->net().Connect("localhost", this->port, kSystemTimeouts, latest);
  ASSERT_TRUE(this->rig.PumpUntil([&] { return !latest.events.empty(); }, 10000));
  this->rig.PumpUntil([] { return false; }, 100);
  EXPECT_EQ(latest.events, std::vector<std::string>{"connected 127.0.0.1"});
  EXPECT_TRUE(abandoned.events.empty());
  EXPECT_TRUE(connecting.events.empty());
}

// A queue of clients is offered whole to a sink that takes one per report
// (a backend may take them in bursts), and a client that comes after it
// is announced too.
TYPED_TEST_P(NetworkContract, EveryQueuedClientIsOfferedToASinkThatTakesOnePerReport) {
  OneAtATime sink;
  sink.net = &this->net();
  const SocketId l = this->net().Listen("127.0.0.1", 0, sink);
  const int p = this->net().LocalPort(l);
  std::vector<decltype(this->rig.Dial(p))> clients;
  for (int i = 0; i < 60; ++i) clients.push_back(this->rig.Dial(p));
  EXPECT_TRUE(this->rig.PumpUntil([&] { return sink.accepted.size() == 60; }, 20000)) << sink.accepted.size();
  this->rig.PumpUntil([] { return false; }, 200);
  clients.push_back(this->rig.Dial(p));
  EXPECT_TRUE(this->rig.PumpUntil([&] { return sink.accepted.size() == 61; }, 10000)) << sink.accepted.size();
  for (SocketId c : sink.accepted) this->net().Close(c);
  for (auto& c : clients) this->rig.ClientClose(c);
  this->net().Close(l);
}

REGISTER_TYPED_TEST_SUITE_P(NetworkContract, AcceptsALoopbackClientAndCollectsARequestSentInPieces,
                            EveryQueuedClientIsOfferedToASinkThatTakesOnePerReport,
                            AReplyLargerThanTheSocketBufferArrivesWholeThenCompletesOnce,
                            APeerResetIsToldAsResetAndTheSendItCutShortNeverCompletes,
                            NothingArrivesForASocketOnceItIsClosed,
                            AnOutgoingConnectionResolvesLocalhostAndReachesAListener,
                            ARefusedPortAndAnUnresolvableNameFail,
                            AConnectThatNeverCompletesEndsOnlyAtTheCallersLimit, BadInputToConnectFailsCleanly,
                            AnAttemptClosedWhileResolvingOrConnectingDeliversNothing);

}  // namespace nv::contract
