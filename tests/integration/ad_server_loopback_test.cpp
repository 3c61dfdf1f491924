#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "live_server.h"

namespace nv::test {
namespace {

constexpr char kPage2[] = "<html><body bgcolor=#0000FF>This Ad was Blocked By Norvane!</body></html>";
constexpr char kScript[] =
    "document.write(\"<table width=100% background=http://127.0.0.1/3.gif><tr><td>Ad "
    "blocked by Norvane!(KVX)</td></tr></table>\")";

std::string Entry(const std::string& path) {
  return path + " send on 08.12.2026 11:05:09\r\n\r\n\r\n";
}

TEST(AdServerLoopback, RepliesAreByteExactForEveryKind) {
  LiveServer live;
  live.OnLoop([&] { live.fake.settings.values["Settings\\Color"] = "2"; });
  EXPECT_EQ(Exchange(live.port, "GET /ads/banner.gif HTTP/1.1\r\nHost: ads.example\r\n\r\n"),
            ExpectedReply("image/gif", SampleGif()));
  EXPECT_EQ(Exchange(live.port, "GET /AdFrame.HTM?ord=5 HTTP/1.1\r\n\r\n"),
            ExpectedReply("text/html", kPage2));
  EXPECT_EQ(Exchange(live.port, "GET /show.js HTTP/1.0\r\n\r\n"),
            ExpectedReply("text/javascript", kScript));
  EXPECT_EQ(live.OnLoop([&] { return live.counters.Get(BannerAdsCount); }), 3);
}

TEST(AdServerLoopback, TwoClientsOnTwoConnectionsGetTheirOwnReplies) {
  LiveServer live;
  const int a = Dial(live.port);
  const int b = Dial(live.port);
  SendAll(b, "GET /b.js HTTP/1.1\r\n\r\n");
  SendAll(a, "GET /a.gif HTTP/1.1\r\n\r\n");
  EXPECT_EQ(ReadToEnd(a), ExpectedReply("image/gif", SampleGif()));
  EXPECT_EQ(ReadToEnd(b), ExpectedReply("text/javascript", kScript));
  ::close(a);
  ::close(b);
}

TEST(AdServerLoopback, PostAndHeadGetNoReplyAndNoLogEntryTheLogKeepsItsOrder) {
  LiveServer live;
  Exchange(live.port, "GET /first.gif HTTP/1.1\r\n\r\n");
  EXPECT_EQ(Exchange(live.port, "POST /ad.gif HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc"), "");
  EXPECT_EQ(Exchange(live.port, "HEAD /ad.gif HTTP/1.1\r\n\r\n"), "");
  Exchange(live.port, "GET /Second.HTM HTTP/1.1\r\n\r\n");
  Exchange(live.port, "GET /third/ HTTP/1.1\r\n\r\n");
  EXPECT_EQ(live.AdsLog(), "\r\n\r\n" + Entry("/first.gif") + Entry("/Second.HTM") + Entry("/third/"));
  EXPECT_EQ(live.OnLoop([&] { return live.server.OpenConnections(); }), 0);
}

TEST(AdServerLoopback, AnUnparsableRequestIsLoggedAndClosedNotLeftOpen) {
  LiveServer live;
  EXPECT_EQ(Exchange(live.port, "GET /old-style\r\n\r\n"), "");  // returns: the server closed it
  EXPECT_EQ(live.ErrLog(), "\r\n\r\n5:Invalid procedure call or argument:Norvane\r\n\r\n\r\n");
}

TEST(AdServerLoopback, OtherLoopbackPeersAreClosedAtOnce) {
  LiveServer live;
  const int fd = Dial(live.port, "127.0.0.2");
  char c;
  EXPECT_EQ(::recv(fd, &c, 1, 0), 0);  // closed by the server, not left waiting
  ::close(fd);
  EXPECT_EQ(live.OnLoop([&] { return live.server.OpenConnections(); }), 0);
}

TEST(AdServerLoopback, HttpsConnectionsAreClosedAtOnce) {
  LiveServer live;
  ASSERT_NE(live.httpsPort, 0);
  const int fd = Dial(live.httpsPort);
  SendAll(fd, std::string("\x16\x03\x01\x00\x05hello", 10));
  EXPECT_EQ(ReadToEnd(fd), "");
  ::close(fd);
}

TEST(AdServerLoopback, APortInUseIsTheAddressInUseFailure) {
  LiveServer live;
  FakePlatform fp;
  PosixNetwork net;
  fp.platform.net = &net;
  Store store(fp.files, "C:\\N");
  Settings settings(fp.settings);
  Counters counters;
  Services s{fp.platform, store, settings, counters};
  AdServer second(s);
  bool ended = false;
  second.SetOnPortTaken([&] { ended = true; });
  second.SetPorts(live.port, live.httpsPort);
  second.StartAdServer();
  EXPECT_TRUE(ended);
  ASSERT_EQ(fp.dialogs.shown.size(), 1u);
  EXPECT_EQ(fp.dialogs.shown[0].style, kBoxOk);
  EXPECT_EQ(fp.files.Get("C:\\N\\err.log"), "\r\n\r\n10048:Address in use:Winsock\r\n\r\n\r\n");
}

}  // namespace
}  // namespace nv::test
