// The connection state both network backends share, over scripted OS calls:
// what the sink hears, when, and what it never hears.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/connection_table.h"

namespace nv {
namespace {

// The OS side: each socket takes at most `room` bytes per call until the
// test makes room again; received bytes and results are scripted.
struct ScriptedCalls : SocketCalls {
  std::map<OsSocket, std::size_t> room;
  std::map<OsSocket, std::string> wire;  // what the system took
  std::map<OsSocket, std::deque<IoResult>> receives;
  std::vector<OsSocket> closed, awaitingWrite;
  int queuedOutside = 0;

  IoResult SendSome(OsSocket s, const char* data, std::size_t size) override {
    std::size_t& r = room[s];
    if (r == static_cast<std::size_t>(-1)) return {IoResult::Broken};
    if (r == 0) return {IoResult::WouldBlock};
    const std::size_t n = std::min(r, size);
    wire[s].append(data, n);
    r -= n;
    return {IoResult::Moved, n};
  }
  IoResult ReceiveSome(OsSocket s, char* into, std::size_t max) override {
    auto& q = receives[s];
    if (q.empty()) return {IoResult::WouldBlock};
    IoResult r = q.front();
    q.pop_front();
    for (std::size_t i = 0; i < r.bytes && i < max; ++i) into[i] = 'x';
    return r;
  }
  void CloseSocket(OsSocket s) override { closed.push_back(s); }
  void AwaitWritable(SocketId, OsSocket s) override { awaitingWrite.push_back(s); }
  void EventQueued() override { ++queuedOutside; }
};

struct Journal : NetSink {
  std::vector<std::string> heard;
  void OnConnectionRequest(SocketId l) override { heard.push_back("request " + std::to_string(l)); }
  void OnDataArrival(SocketId c) override { heard.push_back("data " + std::to_string(c)); }
  void OnSendComplete(SocketId c) override { heard.push_back("sent " + std::to_string(c)); }
  void OnPeerClosed(SocketId c, bool reset) override {
    heard.push_back((reset ? "reset " : "closed ") + std::to_string(c));
  }
};

struct ConnectionTableTest : ::testing::Test {
  ScriptedCalls os;
  Journal sink;
  ConnectionTable table{os};
  SocketId Connection(OsSocket s, std::size_t room = 1 << 20) {
    os.room[s] = room;
    const SocketId id = table.AddConnection(s, sink);
    table.Open(id);
    return id;
  }
  ConnState State(SocketId id) { return table.Find(id)->state; }
};

TEST_F(ConnectionTableTest, AReplyLargerThanTheSystemTakesGoesOutInPiecesThenCompletesOnce) {
  const SocketId c = Connection(7, 1000);
  EXPECT_EQ(State(c), ConnState::Reading);
  table.Send(c, std::string(2500, 'r'));
  EXPECT_EQ(State(c), ConnState::Sending);
  EXPECT_EQ(os.awaitingWrite, std::vector<OsSocket>{7});
  os.room[7] = 1000;
  table.Flush(c);
  EXPECT_TRUE(sink.heard.empty()) << "nothing completes before every byte is taken";
  os.room[7] = 1000;
  table.Flush(c);
  EXPECT_EQ(os.wire[7], std::string(2500, 'r'));
  EXPECT_EQ(State(c), ConnState::Answered);
  EXPECT_TRUE(sink.heard.empty()) << "told from the loop, never inside the call";
  table.DeliverPending();
  table.Flush(c);
  table.DeliverPending();
  EXPECT_EQ(sink.heard, std::vector<std::string>{"sent " + std::to_string(c)});
}

// A socket closed with an event still due hears nothing, and a newer socket
// that got the same OS handle is another id: the event cannot reach it.
TEST_F(ConnectionTableTest, EventsDueForAClosedSocketAreDroppedEvenWhenItsHandleIsReused) {
  const SocketId old = Connection(9);
  table.Send(old, "reply");
  table.Close(old);
  const SocketId reused = Connection(9);
  EXPECT_NE(reused, old);
  EXPECT_EQ(table.ByHandle(9), reused);
  table.DeliverPending();
  EXPECT_TRUE(sink.heard.empty());
  EXPECT_EQ(os.closed, std::vector<OsSocket>{9});
  table.Close(reused);
  EXPECT_EQ(table.ByHandle(9), kNoSocket);
  table.Close(reused);  // twice: ignored
  EXPECT_EQ(os.closed.size(), 2u);
}

TEST_F(ConnectionTableTest, ABrokenConnectionIsToldOnceAndAPendingSendNeverCompletes) {
  const SocketId c = Connection(3, 10);
  table.Send(c, std::string(50, 'r'));
  os.room[3] = static_cast<std::size_t>(-1);
  table.Flush(c);
  EXPECT_EQ(State(c), ConnState::Reset);
  table.Flush(c);
  std::string got;
  EXPECT_EQ(table.Receive(c, got, 100), 0u);
  table.DeliverPending();
  EXPECT_EQ(sink.heard, std::vector<std::string>{"reset " + std::to_string(c)});
  table.Send(c, "more");  // a Send on a broken connection: told again, as it never completes
  table.DeliverPending();
  EXPECT_EQ(sink.heard.back(), "reset " + std::to_string(c));
  EXPECT_EQ(sink.heard.size(), 2u);
}

// A half-closed peer still reads: the reply goes out after its end was read,
// and the close is told once, then no more data arrivals are offered.
TEST_F(ConnectionTableTest, ThePeersEndIsToldOnceAndSendingStillWorksAfterIt) {
  const SocketId c = Connection(4);
  os.receives[4] = {{IoResult::Moved, 5}, {IoResult::Ended}};
  std::string got;
  EXPECT_EQ(table.Receive(c, got, 100), 5u);
  EXPECT_EQ(table.Receive(c, got, 100), 0u);
  EXPECT_EQ(State(c), ConnState::Closing);
  EXPECT_FALSE(ConnectionTable::Readable(*table.Find(c)));
  table.TellPeerClosed(c);
  table.TellPeerClosed(c);
  table.Send(c, "reply");
  EXPECT_EQ(State(c), ConnState::Closing);
  table.DeliverPending();
  EXPECT_EQ(sink.heard, (std::vector<std::string>{"closed " + std::to_string(c), "sent " + std::to_string(c)}));
  EXPECT_EQ(table.Find(c)->received, 5u);
}

// The backend is asked to run a delivery only for events queued outside its
// own dispatch; inside, it delivers when the outermost dispatch ends.
TEST_F(ConnectionTableTest, OnlyEventsQueuedOutsideADispatchAskTheBackendForADelivery) {
  const SocketId a = Connection(1), b = Connection(2);
  table.BeginDispatch();
  table.BeginDispatch();
  table.Send(a, "x");
  EXPECT_FALSE(table.EndDispatch());
  EXPECT_TRUE(table.EndDispatch());
  EXPECT_EQ(os.queuedOutside, 0);
  EXPECT_TRUE(table.HasPending());
  table.Send(b, "y");
  EXPECT_EQ(os.queuedOutside, 1);
  table.DeliverPending();
  EXPECT_EQ(sink.heard.size(), 2u);
  EXPECT_FALSE(table.HasPending());
}

}  // namespace
}  // namespace nv
