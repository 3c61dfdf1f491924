#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "live_server.h"

namespace nv::test {
namespace {

constexpr char kSplitRequest[] = "GET /split/banner.gif HTTP/1.1\r\nHost: ads.example\r\n\r\n";

void SetNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

// Pushes what the socket takes now; false once the server has closed it.
bool PushSome(int fd, const std::string& bytes, std::size_t& done) {
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) done += static_cast<std::size_t>(n);
    else return errno == EAGAIN || errno == EWOULDBLOCK;
  }
  return true;
}

// Waits (polling, without a time limit of its own) for a condition on the loop.
template <class F>
bool Eventually(LiveServer& live, F condition) {
  for (int i = 0; i < 1000; ++i) {
    if (live.OnLoop(condition)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(HostileClients, AThousandHostileConnectionsDoNotStopAValidRequest) {
  LiveServer live;
  const std::string gifReply = ExpectedReply("image/gif", SampleGif());
  std::vector<int> garbage, silent, flood, split;
  for (int i = 0; i < 250; ++i) {
    garbage.push_back(Dial(live.port));
    silent.push_back(Dial(live.port));
    flood.push_back(Dial(live.port));
    split.push_back(Dial(live.port));
  }
  for (int fd : garbage) SendAll(fd, "\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03garbage");
  const std::string megabyte = "GET /" + std::string(1 << 20, 'a');
  std::vector<std::size_t> floodDone(flood.size());
  for (int fd : flood) SetNonBlocking(fd);
  const int one = 1;  // one byte, one segment
  for (int fd : split) ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

  // The split requests trickle in one byte per round, the floods push on.
  const std::string request = kSplitRequest;
  for (std::size_t at = 0; at < request.size(); ++at) {
    for (int fd : split) SendAll(fd, request.substr(at, 1));
    for (std::size_t i = 0; i < flood.size(); ++i) PushSome(flood[i], megabyte, floodDone[i]);
    if (at == request.size() / 2) {  // meanwhile a browser asks for a banner
      EXPECT_EQ(Exchange(live.port, "GET /ok.gif HTTP/1.1\r\n\r\n"), gifReply);
    }
  }

  for (int fd : split) EXPECT_EQ(ReadToEnd(fd), gifReply);
  for (int fd : garbage) EXPECT_EQ(ReadToEnd(fd), "");
  for (int fd : flood) {
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    EXPECT_EQ(ReadToEnd(fd), "");  // closed after 16 KB, never answered
  }
  // Only the silent ones are still open; they go when their clients go.
  EXPECT_TRUE(Eventually(live, [&] { return live.server.OpenConnections() == 250; }));
  for (auto* group : {&garbage, &silent, &flood, &split})
    for (int fd : *group) ::close(fd);
  EXPECT_TRUE(Eventually(live, [&] { return live.server.OpenConnections() == 0; }));
  EXPECT_LE(live.OnLoop([&] { return live.server.SlotCount(); }), 1001);
  EXPECT_EQ(live.OnLoop([&] { return live.net.OpenSockets(); }), 2u);  // the two listeners
}

TEST(HostileClients, AHundredThousandSequentialConnectionsAreAllAnswered) {
  LiveServer live;
  const std::string gifReply = ExpectedReply("image/gif", SampleGif());
  int wrong = 0;
  for (int i = 0; i < 100000; ++i) {
    if (Exchange(live.port, "GET /seq.gif HTTP/1.1\r\n\r\n") == gifReply) continue;
    if (++wrong < 5) ADD_FAILURE() << "connection " << i << " was not answered as the first";
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(live.OnLoop([&] { return live.server.SlotCount(); }), 1);
  EXPECT_EQ(live.OnLoop([&] { return live.counters.Get(BannerAdsCount); }), 32767);
}

}  // namespace
}  // namespace nv::test
