#include <gtest/gtest.h>

#include "adblock/ad_server.h"
#include "fakes/fake_platform.h"

namespace nv {
namespace {

using test::FakePlatform;

constexpr char kGif[] = "GIF89a\x01\x00\x01\x00";

struct AdServerTest : ::testing::Test {
  FakePlatform fp;
  Store store{fp.files, "C:\\N"};
  Settings settings{fp.settings};
  Counters counters;
  Services s{fp.platform, store, settings, counters};
  AdServer server{s};
  int portTaken = 0;

  AdServerTest() {
    fp.files.Put("C:\\N\\images\\4.gif", std::string(kGif, 10));
    server.SetOnPortTaken([this] { ++portTaken; });
  }
  std::string AdsLog() { return fp.files.Get("C:\\N\\ads.log"); }
  // A log created by its first entry starts as an empty list's file.
  static std::string Logged(const std::string& entries) { return "\r\n\r\n" + entries; }
  std::string ErrLog() { return fp.files.Get("C:\\N\\err.log"); }
  const test::FakeNetwork::Conn& C(SocketId id) { return fp.net.conns.at(id); }
  // A browser's whole exchange: connect, send, let the reply go out.
  SocketId Request(const std::string& bytes) {
    const SocketId c = fp.net.Connect(80);
    fp.net.Arrive(c, bytes);
    fp.net.FinishSends();
    return c;
  }
  static std::string GifReply() {
    return "HTTP/1.1 200 OK\r\nExpires: 0\r\nLast-Modified: 0\r\nAccept-Ranges: bytes\r\n"
           "Content-Type: image/gif\r\nContent-Length: 10\r\n\r\n" + std::string(kGif, 10);
  }
};

TEST_F(AdServerTest, ListensOnLoopbackPorts80And443) {
  server.StartAdServer();
  ASSERT_EQ(fp.net.OpenListeners(), 2);
  for (const auto& [id, l] : fp.net.listeners) EXPECT_EQ(l.address, "127.0.0.1");
  EXPECT_EQ(server.HttpPort(), 80);
  EXPECT_EQ(server.HttpsPort(), 443);
  server.StopAdServer();
  EXPECT_EQ(fp.net.OpenListeners(), 0);
  EXPECT_TRUE(fp.dialogs.shown.empty());
}

TEST_F(AdServerTest, Port80InUseShowsItsMessageThenEndsTheProgram) {
  fp.net.listenErrors.emplace(80, AppError(10048, "Address in use"));
  server.StartAdServer();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text,
            "A webserver is already running on port 80, for best results please stop the server "
            "and restart this application");
  EXPECT_EQ(fp.dialogs.shown[0].title, "Error");
  EXPECT_EQ(fp.dialogs.shown[0].style, kBoxOk);  // OK only, no icon
  EXPECT_EQ(portTaken, 1);
  EXPECT_EQ(ErrLog(), Logged("10048:Address in use:Norvane\r\n\r\n\r\n"));
  EXPECT_FALSE(server.Listening());
}

TEST_F(AdServerTest, OtherListenFailureIsLoggedShownAndStartUpGoesOn) {
  fp.net.listenErrors.emplace(80, AppError(10055, "No buffer space available"));
  server.StartAdServer();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, "10055 : No buffer space available");
  EXPECT_EQ(fp.dialogs.shown[0].style, kBoxOk | kBoxCritical);
  EXPECT_EQ(portTaken, 0);
  EXPECT_EQ(ErrLog(), Logged("10055:No buffer space available:Norvane\r\n\r\n\r\n"));
  EXPECT_EQ(server.HttpsPort(), 443);  // HTTPS refusal still runs
}

// Windows lets our bind to 127.0.0.1:80 succeed beside another program's
// listener on 0.0.0.0:80: only a trial connection finds that program.
TEST_F(AdServerTest, AServerAnsweringOnPort80IsFoundBeforeBinding) {
  fp.net.probeAnswers[80] = PortProbe::Answered;
  server.StartAdServer();
  EXPECT_EQ(fp.net.probedPorts, std::vector<int>{80});
  EXPECT_EQ(fp.net.OpenListeners(), 0);
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text.rfind("A webserver is already running on port 80", 0), 0u);
  EXPECT_EQ(portTaken, 1);
  EXPECT_EQ(ErrLog(), Logged("10048:Address in use:Winsock\r\n\r\n\r\n"));
}

// The last run's closing connections, or a refusal Windows retries, give no
// answer: only a completed connection means another server.
TEST_F(AdServerTest, APortThatDoesNotAnswerIsFree) {
  for (PortProbe found : {PortProbe::NoAnswer, PortProbe::Refused}) {
    fp.net.probeAnswers[80] = fp.net.probeAnswers[443] = found;
    server.StartAdServer();
    EXPECT_TRUE(server.Listening());
    EXPECT_EQ(server.HttpsPort(), 443);
  }
  EXPECT_TRUE(fp.dialogs.shown.empty());
  EXPECT_EQ(portTaken, 0);
}

// A specific bind beside another account's wildcard listener, or a port the
// system reserved, is refused as access denied.
TEST_F(AdServerTest, AccessDeniedOnPort80IsThePortTaken) {
  fp.net.listenErrors.emplace(80, AppError(10013, "Permission denied", "Winsock"));
  server.StartAdServer();
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].style, kBoxOk);
  EXPECT_EQ(fp.dialogs.shown[0].text.rfind("A webserver is already running on port 80", 0), 0u);
  EXPECT_EQ(portTaken, 1);
  EXPECT_EQ(ErrLog(), Logged("10013:Permission denied:Winsock\r\n\r\n\r\n"));
}

TEST_F(AdServerTest, AnotherProgramsHttpsServiceIsLeftAloneAndLogged) {
  fp.net.probeAnswers[443] = PortProbe::Answered;
  server.StartAdServer();
  EXPECT_TRUE(server.Listening());
  EXPECT_EQ(server.HttpsPort(), 0);
  EXPECT_EQ(fp.net.OpenListeners(), 1);  // port 80 only
  EXPECT_TRUE(fp.dialogs.shown.empty());
  EXPECT_EQ(portTaken, 0);
  EXPECT_EQ(ErrLog(), Logged("10048:Address in use:Winsock\r\n\r\n\r\n"));
}

TEST_F(AdServerTest, Port443TakenIsOnlyLogged) {
  fp.net.listenErrors.emplace(443, AppError(10048, "Address in use"));
  server.StartAdServer();
  EXPECT_TRUE(fp.dialogs.shown.empty());
  EXPECT_EQ(portTaken, 0);
  EXPECT_TRUE(server.Listening());
  EXPECT_EQ(ErrLog(), Logged("10048:Address in use:Norvane\r\n\r\n\r\n"));
}

TEST_F(AdServerTest, HttpsConnectionsAreClosedAtOnce) {
  server.StartAdServer();
  const SocketId c = fp.net.Connect(443);
  EXPECT_TRUE(C(c).accepted);
  EXPECT_TRUE(C(c).closed);
  EXPECT_EQ(C(c).sends, 0);
}

TEST_F(AdServerTest, GetIsLoggedAsReceivedAnsweredLowerCasedAndClosedAfterSending) {
  server.StartAdServer();
  const SocketId c = fp.net.Connect(80);
  fp.net.Arrive(c, "GET /AdFrame.HTM HTTP/1.1\r\nHost: ads.example\r\n\r\n");
  EXPECT_EQ(AdsLog(), Logged("/AdFrame.HTM send on 08.12.2026 11:05:09\r\n\r\n\r\n"));
  EXPECT_EQ(C(c).sent.substr(0, 17), "HTTP/1.1 200 OK\r\n");
  EXPECT_NE(C(c).sent.find("Content-Type: text/html"), std::string::npos);  // lower-cased .htm
  EXPECT_FALSE(C(c).closed);  // not before the reply has gone out
  fp.net.FinishSends();
  EXPECT_TRUE(C(c).closed);
  EXPECT_EQ(counters.Get(BannerAdsCount), 1);
  EXPECT_EQ(server.OpenConnections(), 0);
}

TEST_F(AdServerTest, NonGetIsClosedWithoutReplyOrLogEntry) {
  server.StartAdServer();
  for (const char* req : {"POST /a.gif HTTP/1.1\r\n\r\n", "HEAD /a.gif HTTP/1.1\r\n\r\n"}) {
    const SocketId c = Request(req);
    EXPECT_TRUE(C(c).closed) << req;
    EXPECT_EQ(C(c).sends, 0) << req;
  }
  EXPECT_EQ(AdsLog(), "");
  EXPECT_EQ(server.OpenConnections(), 0);
}

TEST_F(AdServerTest, UnparsableAndOversizedRequestsAreLoggedAndClosed) {
  server.StartAdServer();
  const SocketId old = Request("GET /\r\n\r\n");
  EXPECT_TRUE(C(old).closed);
  EXPECT_EQ(C(old).sends, 0);
  const SocketId big = Request("GET /" + std::string(20000, 'a'));
  EXPECT_TRUE(C(big).closed);
  EXPECT_EQ(C(big).sends, 0);
  EXPECT_EQ(ErrLog(),
            Logged("5:Invalid procedure call or argument:Norvane\r\n\r\n\r\n"
            "5:Request line longer than 16384 bytes:Norvane\r\n\r\n\r\n"));
  EXPECT_EQ(AdsLog(), "");
  EXPECT_EQ(server.OpenConnections(), 0);
}

TEST_F(AdServerTest, ARequestInPiecesIsCollectedThenAnsweredOnce) {
  server.StartAdServer();
  const SocketId c = fp.net.Connect(80);
  for (char ch : std::string("GET /x.gif HTTP/1.1\r\nHost: a\r\n\r\n")) fp.net.Arrive(c, {&ch, 1});
  fp.net.FinishSends();
  EXPECT_EQ(C(c).sent, GifReply());
  EXPECT_EQ(C(c).sends, 1);
  EXPECT_EQ(AdsLog(), Logged("/x.gif send on 08.12.2026 11:05:09\r\n\r\n\r\n"));
}

TEST_F(AdServerTest, ControlCharactersInThePathAreEscapedInTheLog) {
  server.StartAdServer();
  Request("GET /a\r/b send on 1.1.2000\rx\x01 HTTP/1.1\r\n\r\n");
  EXPECT_EQ(AdsLog(), Logged("/a%0D/b send on 1.1.2000%0Dx%01 send on 08.12.2026 11:05:09\r\n\r\n\r\n"));
}

TEST_F(AdServerTest, PeersOtherThanLoopbackOneAreClosedAtOnce) {
  server.StartAdServer();
  for (const char* peer : {"127.0.0.2", "192.168.1.7"}) {
    const SocketId c = fp.net.Connect(80, peer);
    EXPECT_TRUE(C(c).accepted) << peer;  // taken out of the listen queue
    EXPECT_TRUE(C(c).closed) << peer;
  }
  EXPECT_EQ(server.OpenConnections(), 0);
}

TEST_F(AdServerTest, EveryWayAConnectionEndsReleasesItsSlot) {
  server.StartAdServer();
  const SocketId early = fp.net.Connect(80);
  fp.net.Arrive(early, "GET /a.g");
  fp.net.PeerClose(early);  // the browser gave up mid-request
  EXPECT_TRUE(C(early).closed);

  const SocketId halfClosed = fp.net.Connect(80);
  fp.net.Arrive(halfClosed, "GET /a.gif HTTP/1.0\r\n\r\n");
  fp.net.PeerClose(halfClosed);  // only its sending side: the reply still goes out
  EXPECT_FALSE(C(halfClosed).closed);
  fp.net.FinishSends();
  EXPECT_TRUE(C(halfClosed).closed);

  const SocketId broken = fp.net.Connect(80);
  fp.net.Arrive(broken, "GET /a.gif HTTP/1.0\r\n\r\n");
  fp.net.PeerClose(broken, true);
  EXPECT_TRUE(C(broken).closed);

  EXPECT_EQ(server.OpenConnections(), 0);
  EXPECT_EQ(server.SlotCount(), 1);
}

// A connection-request event takes one client (the backend tells of the
// next, as each accept re-arms the listener); the tick takes every client
// still waiting, for an event that was lost.
TEST_F(AdServerTest, AnEventTakesOneWaitingClientAndTheTickTakesTheRest) {
  server.StartAdServer();
  std::vector<SocketId> waiting;
  for (int i = 0; i < 3; ++i) waiting.push_back(fp.net.Enqueue(80));
  const SocketId stranger = fp.net.Enqueue(80, "10.0.0.5");
  waiting.push_back(fp.net.Enqueue(80));
  fp.net.Signal(80);
  EXPECT_TRUE(C(waiting[0]).accepted);
  EXPECT_FALSE(C(waiting[1]).accepted);
  server.AcceptWaiting();
  for (SocketId c : waiting) EXPECT_TRUE(C(c).accepted && !C(c).closed);
  EXPECT_TRUE(C(stranger).accepted && C(stranger).closed);
  EXPECT_EQ(server.OpenConnections(), 4);
  for (SocketId c : waiting) fp.net.Arrive(c, "GET /a.gif HTTP/1.1\r\n\r\n");
  fp.net.FinishSends();
  for (SocketId c : waiting) EXPECT_EQ(C(c).sent, GifReply());
  EXPECT_EQ(server.OpenConnections(), 0);
}

TEST_F(AdServerTest, TwoOpenConnectionsGetTheirOwnReplies) {
  server.StartAdServer();
  const SocketId a = fp.net.Connect(80);
  const SocketId b = fp.net.Connect(80);
  fp.net.Arrive(b, "GET /b.js HTTP/1.1\r\n\r\n");
  fp.net.Arrive(a, "GET /a.gif HTTP/1.1\r\n\r\n");
  fp.net.FinishSends();
  EXPECT_EQ(C(a).sent, GifReply());
  EXPECT_NE(C(b).sent.find("text/javascript"), std::string::npos);
  EXPECT_EQ(AdsLog(), Logged("/b.js send on 08.12.2026 11:05:09\r\n\r\n\r\n"
                      "/a.gif send on 08.12.2026 11:05:09\r\n\r\n\r\n"));
  EXPECT_EQ(server.SlotCount(), 2);
}

TEST_F(AdServerTest, SlotsAreReusedPastThe16BitLimit) {
  server.StartAdServer();
  SocketId last = kNoSocket;
  for (int i = 0; i < 40000; ++i) last = Request("GET /a.gif HTTP/1.1\r\n\r\n");
  EXPECT_EQ(C(last).sent, GifReply());
  EXPECT_TRUE(C(last).closed);
  EXPECT_EQ(server.SlotCount(), 1);
  EXPECT_EQ(counters.Get(BannerAdsCount), 32767);  // the count stops, the server does not
}

TEST_F(AdServerTest, AnUnbuildableReplyClosesTheConnectionEmptyHanded) {
  server.StartAdServer();
  fp.files.Remove("C:\\N\\images\\4.gif");
  const SocketId c = Request("GET /a.gif HTTP/1.1\r\n\r\n");
  EXPECT_EQ(C(c).sent, "");
  EXPECT_TRUE(C(c).closed);
  EXPECT_EQ(counters.Get(BannerAdsCount), 0);
  EXPECT_EQ(AdsLog(), Logged("/a.gif send on 08.12.2026 11:05:09\r\n\r\n\r\n"));
}

TEST_F(AdServerTest, AnAdsLogThatCannotBeCreatedCostsTheReplyNotTheServer) {
  server.StartAdServer();
  fp.files.failWrites.insert(test::FakeFiles::Key("C:\\N\\ads.log"));
  const SocketId c = Request("GET /a.gif HTTP/1.1\r\n\r\n");
  EXPECT_EQ(C(c).sends, 0);
  EXPECT_TRUE(C(c).closed);
  EXPECT_EQ(ErrLog(), Logged("70:Permission denied:Norvane\r\n\r\n\r\n"));
  fp.files.failWrites.clear();
  EXPECT_EQ(C(Request("GET /b.gif HTTP/1.1\r\n\r\n")).sent, GifReply());
}

TEST_F(AdServerTest, ARepeatedAcceptFailureIsShownAndLoggedOnce) {
  server.StartAdServer();
  fp.net.acceptError = AppError(10024, "Too many open sockets");
  fp.net.Connect(80);
  fp.net.Connect(80);
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].text, "10024 : Too many open sockets");
  EXPECT_EQ(fp.dialogs.shown[0].style, kBoxOk | kBoxCritical);
  EXPECT_EQ(ErrLog(), Logged("10024:Too many open sockets:Norvane\r\n\r\n\r\n"));
  fp.net.acceptError.reset();
  EXPECT_EQ(C(Request("GET /a.gif HTTP/1.1\r\n\r\n")).sent, GifReply());
}

TEST_F(AdServerTest, StopClosesTheListenersAndOpenConnections) {
  server.StartAdServer();
  const SocketId c = fp.net.Connect(80);
  server.StopAdServer();
  EXPECT_TRUE(C(c).closed);
  EXPECT_EQ(fp.net.OpenListeners(), 0);
  server.StartAdServer();  // a second start after a stop listens again
  EXPECT_EQ(fp.net.OpenListeners(), 2);
}

}  // namespace
}  // namespace nv
