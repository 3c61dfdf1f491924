// The local web server of the real program under Wine: replies byte for byte
// (also to a Linux client), the count on the status line, port 80 taken at
// start however the other server is bound, port 443 left to another program,
// a quick restart, HTTPS refused at once, and clients that misbehave.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "harness/harness.h"

using namespace e2e;

namespace {

const char kUserHosts[] = "# the user's own HOSTS file\r\n127.0.0.1 localhost\r\n10.0.0.5 nas.home\r\n";

struct Winsock {
  Winsock() {
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
  }
  ~Winsock() { WSACleanup(); }
} winsock;

SOCKET Dial(int port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const DWORD timeoutMs = 15000;  // a fault fails the test rather than hanging it
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<u_short>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

void SendAll(SOCKET s, const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const int n = send(s, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::string ReadToEnd(SOCKET s) {
  std::string out;
  char buf[16384];
  for (int n; (n = recv(s, buf, sizeof buf, 0)) > 0;) out.append(buf, static_cast<std::size_t>(n));
  return out;
}

std::string Exchange(const std::string& request) {
  SOCKET s = Dial(80);
  if (s == INVALID_SOCKET) return "(no connection)";
  SendAll(s, request);
  std::string reply = ReadToEnd(s);
  closesocket(s);
  return reply;
}

std::string GifReply(const std::string& gif) {
  return "HTTP/1.1 200 OK\r\nExpires: 0\r\nLast-Modified: 0\r\nAccept-Ranges: bytes\r\n"
         "Content-Type: image/gif\r\nContent-Length: " + std::to_string(gif.size()) + "\r\n\r\n" + gif;
}

// Starts a Linux program from inside Wine. Its handle does not wait for it:
// poll for its effect.
bool RunUnix(const std::string& commandLine) { return Launch(commandLine); }

class Server : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    WriteFile(HostsPath(), kUserHosts);
    folder = InstallFresh(::testing::UnitTest::GetInstance()->current_test_info()->name());
    gif = ReadFile(folder + "\\images\\4.gif");
    ASSERT_FALSE(gif.empty());
    app = std::make_unique<Norvane>(folder);
  }
  void StartApp() {
    ASSERT_TRUE(app->Start());
    ASSERT_TRUE(app->WaitRunning()) << "start-up did not finish";
  }
  void TearDown() override {
    if (!app || !app->Running()) return;
    app->Close();
    EXPECT_TRUE(app->WaitExit());
  }
  std::string folder, gif;
  std::unique_ptr<Norvane> app;
};

TEST_F(Server, RepliesByteForByteAlsoToLinuxAndTheStatusLineCounts) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  EXPECT_EQ(Exchange("GET /ads/Banner.GIF HTTP/1.1\r\nHost: ads.example\r\n\r\n"), GifReply(gif));

  const std::string linuxCopy = "/tmp/nv-e2e-server-" + std::to_string(GetCurrentProcessId()) + ".gif";
  if (!Exists("Z:\\usr\\bin\\curl")) GTEST_SKIP() << "no Linux curl to ask from";
  ASSERT_TRUE(RunUnix("Z:\\usr\\bin\\curl -s -o " + linuxCopy + " http://127.0.0.1/ads/from-linux.gif"));
  std::string windowsCopy = "Z:" + linuxCopy;
  for (char& c : windowsCopy) c = c == '/' ? '\\' : c;
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(windowsCopy) == gif; })) << ReadFile(windowsCopy).size();
  RemoveFile(windowsCopy);

  EXPECT_TRUE(WaitUntil([&] { return app->StatusLine() == "Banner Ads:2 Deleted Cookies:0 Blocked Popups:0"; }))
      << app->StatusLine();
  const std::string log = ReadFile(folder + "\\ads.log");
  EXPECT_NE(log.find("/ads/Banner.GIF send on "), std::string::npos) << log;
  EXPECT_NE(log.find("/ads/from-linux.gif send on "), std::string::npos) << log;
}

TEST_F(Server, HttpsConnectionsAreClosedAtOnce) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  const ULONGLONG t0 = GetTickCount64();
  SOCKET s = Dial(443);
  ASSERT_NE(s, INVALID_SOCKET);
  SendAll(s, std::string("\x16\x03\x01\x00\x05hello", 10));
  EXPECT_EQ(ReadToEnd(s), "");
  closesocket(s);
  EXPECT_LT(GetTickCount64() - t0, 5000u);  // not the browser's wait for a timeout
}

TEST_F(Server, Port80TakenShowsItsMessageAndExitsLeavingHostsAlone) {
  // An earlier run's backup that differs from the user's present HOSTS file.
  WriteFile(folder + "\\data\\hosts.bak", "# an old backup\r\n\r\n\r\n");
  SOCKET other = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(80);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(other, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(listen(other, 5), 0);

  ASSERT_TRUE(app->Start());
  auto box = WaitBox("Error");
  ASSERT_TRUE(box) << "no message shown";
  EXPECT_EQ(box->text,
            "A webserver is already running on port 80, for best results please stop the server and "
            "restart this application");
  EXPECT_EQ(box->pid, app->pid());
  DismissBox(*box);
  EXPECT_TRUE(app->WaitExit()) << "the exit sequence did not end the program";
  closesocket(other);
  EXPECT_EQ(ReadFile(HostsPath()), kUserHosts);
  EXPECT_NE(ReadFile(folder + "\\err.log").find("10048:"), std::string::npos);
}

// A server of another program on every address of a port, as many bind it.
SOCKET ListenEverywhere(int port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<u_short>(port));
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s, 5) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

// Takes a connection waiting on a listener within ms, or INVALID_SOCKET.
SOCKET AcceptWithin(SOCKET listener, int ms) {
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(listener, &ready);
  timeval limit{ms / 1000, (ms % 1000) * 1000};
  if (select(0, &ready, nullptr, nullptr, &limit) != 1) return INVALID_SOCKET;
  return accept(listener, nullptr, nullptr);
}

// On Windows a bind to 127.0.0.1:80 succeeds beside this listener (same
// account) and Wine refuses it: the trial connection that reaches the
// listener is what finds it on both.
TEST_F(Server, AServerOnEveryAddressOfPort80IsFoundByATrialConnection) {
  SOCKET other = ListenEverywhere(80);
  ASSERT_NE(other, INVALID_SOCKET);
  ASSERT_TRUE(app->Start());
  auto box = WaitBox("Error");
  ASSERT_TRUE(box) << "no message shown";
  EXPECT_EQ(box->text.rfind("A webserver is already running on port 80", 0), 0u) << box->text;
  DismissBox(*box);
  EXPECT_TRUE(app->WaitExit()) << "the exit sequence did not end the program";
  SOCKET trial = AcceptWithin(other, 0);
  EXPECT_NE(trial, INVALID_SOCKET) << "no trial connection reached the other server";
  if (trial != INVALID_SOCKET) closesocket(trial);
  closesocket(other);
  EXPECT_NE(ReadFile(folder + "\\err.log").find("10048:Address in use:Winsock"), std::string::npos);
}

TEST_F(Server, AnotherProgramsHttpsServiceKeepsPort443) {
  SOCKET other = ListenEverywhere(443);
  ASSERT_NE(other, INVALID_SOCKET);
  ASSERT_NO_FATAL_FAILURE(StartApp());
  EXPECT_FALSE(FindBox("Error"));
  SOCKET trial = AcceptWithin(other, 5000);
  ASSERT_NE(trial, INVALID_SOCKET) << "no trial connection reached the other server";
  closesocket(trial);
  EXPECT_NE(ReadFile(folder + "\\err.log").find("10048:Address in use:Winsock"), std::string::npos);

  // A browser's HTTPS connection still reaches the other program.
  SOCKET browser = Dial(443);
  ASSERT_NE(browser, INVALID_SOCKET);
  SOCKET served = AcceptWithin(other, 5000);
  ASSERT_NE(served, INVALID_SOCKET);
  SendAll(served, "theirs");
  closesocket(served);
  EXPECT_EQ(ReadToEnd(browser), "theirs");
  closesocket(browser);
  closesocket(other);
  EXPECT_EQ(Exchange("GET /still.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
}

// The server closes each connection first, so its last run leaves them in
// TIME_WAIT on port 80: a restart must not take them for another server.
TEST_F(Server, AQuickRestartAfterServingFindsThePortFree) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  for (int i = 0; i < 50; ++i) ASSERT_EQ(Exchange("GET /before.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
  app->Close();
  ASSERT_TRUE(app->WaitExit());
  app = std::make_unique<Norvane>(folder);
  ASSERT_NO_FATAL_FAILURE(StartApp());
  EXPECT_FALSE(FindBox("Error"));
  EXPECT_EQ(Exchange("GET /after.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
}

void SetNonBlocking(SOCKET s) {
  u_long on = 1;
  ioctlsocket(s, FIONBIO, &on);
}

void SetBlocking(SOCKET s) {
  u_long off = 0;
  ioctlsocket(s, FIONBIO, &off);
}

TEST_F(Server, AThousandHostileConnectionsDoNotStopAValidRequest) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  const std::string reply = GifReply(gif);
  const std::string request = "GET /split/banner.gif HTTP/1.1\r\nHost: ads.example\r\n\r\n";
  const std::string megabyte = "GET /" + std::string(1 << 20, 'a');
  std::vector<SOCKET> garbage, silent, flood, split;
  for (int i = 0; i < 250; ++i) {
    garbage.push_back(Dial(80));
    silent.push_back(Dial(80));
    flood.push_back(Dial(80));
    split.push_back(Dial(80));
  }
  for (auto* group : {&garbage, &silent, &flood, &split})
    for (SOCKET s : *group) ASSERT_NE(s, INVALID_SOCKET);
  for (SOCKET s : garbage) SendAll(s, std::string("\x16\x03\x01\x02\x00\x01\x00garbage", 14));
  const BOOL on = TRUE;
  for (SOCKET s : split) setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  std::vector<std::size_t> pushed(flood.size());
  for (SOCKET s : flood) SetNonBlocking(s);

  for (std::size_t at = 0; at < request.size(); ++at) {
    for (SOCKET s : split) SendAll(s, request.substr(at, 1));
    for (std::size_t i = 0; i < flood.size(); ++i) {
      const int n = send(flood[i], megabyte.data() + pushed[i], static_cast<int>(megabyte.size() - pushed[i]), 0);
      if (n > 0) pushed[i] += static_cast<std::size_t>(n);
    }
    if (at == request.size() / 2) {
      EXPECT_EQ(Exchange("GET /meanwhile.gif HTTP/1.1\r\n\r\n"), reply);
    }
  }
  for (SOCKET s : split) EXPECT_EQ(ReadToEnd(s), reply);
  for (SOCKET s : garbage) EXPECT_EQ(ReadToEnd(s), "");
  for (SOCKET s : flood) {
    SetBlocking(s);
    EXPECT_EQ(ReadToEnd(s), "");
  }
  for (auto* group : {&garbage, &silent, &flood, &split})
    for (SOCKET s : *group) closesocket(s);
  EXPECT_EQ(Exchange("GET /after.gif HTTP/1.1\r\n\r\n"), reply);
}

TEST_F(Server, AHundredThousandSequentialConnectionsAreAllAnswered) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  const std::string reply = GifReply(gif);
  int wrong = 0;
  for (int i = 0; i < 100000; ++i) {
    if (Exchange("GET /seq.gif HTTP/1.1\r\n\r\n") == reply) continue;
    if (++wrong < 5) ADD_FAILURE() << "connection " << i << " was not answered as the first";
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(WaitUntil([&] { return app->StatusLine().rfind("Banner Ads:32767 ", 0) == 0; }))
      << app->StatusLine();
}

// The "\ads.log" entries: each line that is not empty, in file order.
std::vector<std::string> LogLines(const std::string& log) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < log.size();) {
    std::size_t end = log.find("\r\n", at);
    if (end == std::string::npos) end = log.size();
    if (end > at) lines.push_back(log.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// The process ends at any moment of a burst: every request answered before
// has its whole line, in order, and no line is cut.
TEST_F(Server, AKillDuringABurstLeavesAWholeLineForEveryAnsweredRequest) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  const std::string reply = GifReply(gif);
  std::atomic<int> answered{0};
  std::thread client([&] {
    for (int i = 0;; ++i) {
      if (Exchange("GET /burst/" + std::to_string(i) + ".gif HTTP/1.1\r\n\r\n") != reply) return;
      answered = i + 1;
    }
  });
  ASSERT_TRUE(WaitUntil([&] { return answered >= 300; }));
  app->Kill();
  client.join();
  const std::string log = ReadFile(folder + "\\ads.log");
  EXPECT_EQ(log.substr(log.size() - 6), "\r\n\r\n\r\n") << "the last entry was cut";
  const std::vector<std::string> lines = LogLines(log);
  ASSERT_GE(lines.size(), static_cast<std::size_t>(answered.load()));
  ASSERT_LE(lines.size(), static_cast<std::size_t>(answered.load()) + 1);  // one answer in flight
  for (std::size_t i = 0; i < lines.size(); ++i)
    ASSERT_EQ(lines[i].rfind("/burst/" + std::to_string(i) + ".gif send on ", 0), 0u) << lines[i];
}

// The user deletes or renames the log while the server runs: the lines
// written before go with it, and the next ones start a new log.
// The picture is kept in memory while its folder reports no change: a copy
// over it, whether of another size or of the same size, is what the next
// reply sends, and a removed picture ends the replies until it is back.
TEST_F(Server, APictureReplacedWhileServingIsSentByTheNextRequest) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  const std::string picture = folder + "\\images\\4.gif";
  ASSERT_EQ(Exchange("GET /one.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
  ASSERT_EQ(Exchange("GET /two.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
  std::string other = gif + "more";
  WriteFile(picture, other);
  EXPECT_EQ(Exchange("GET /three.gif HTTP/1.1\r\n\r\n"), GifReply(other));
  other.back() = 'x';
  WriteFile(picture, other);
  EXPECT_EQ(Exchange("GET /four.gif HTTP/1.1\r\n\r\n"), GifReply(other));
  ASSERT_TRUE(DeleteFileA(picture.c_str())) << GetLastError();
  EXPECT_EQ(Exchange("GET /five.gif HTTP/1.1\r\n\r\n"), "");
  WriteFile(picture, gif);
  EXPECT_EQ(Exchange("GET /six.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
}

TEST_F(Server, ALogDeletedOrRenamedWhileServingIsCreatedAnewByTheNextRequest) {
  ASSERT_NO_FATAL_FAILURE(StartApp());
  const std::string log = folder + "\\ads.log", old = folder + "\\ads.old";
  ASSERT_EQ(Exchange("GET /one.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
  ASSERT_TRUE(DeleteFileA(log.c_str())) << GetLastError();
  // Wine removes a file open elsewhere only once it is closed: the server
  // closes its log a second or two after the last entry.
  ASSERT_TRUE(WaitUntil([&] { return !Exists(log); }));
  ASSERT_EQ(Exchange("GET /two.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
  EXPECT_EQ(LogLines(ReadFile(log)).size(), 1u);
  EXPECT_EQ(ReadFile(log).rfind("\r\n\r\n/two.gif send on ", 0), 0u) << ReadFile(log);

  ASSERT_TRUE(MoveFileA(log.c_str(), old.c_str())) << GetLastError();
  ASSERT_EQ(Exchange("GET /three.gif HTTP/1.1\r\n\r\n"), GifReply(gif));
  EXPECT_EQ(ReadFile(log).rfind("\r\n\r\n/three.gif send on ", 0), 0u) << ReadFile(log);
  EXPECT_EQ(LogLines(ReadFile(old)).size(), 1u);
}

}  // namespace
