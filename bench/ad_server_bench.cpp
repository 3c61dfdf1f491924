// The web server's core natively: AdServer over the posix loopback loop, with
// real files and ads.log written per request, against a minimal responder
// (accept, read, fixed reply, close) measured in the same run with the same
// client load: 20,000 requests, one per connection, 1 and 20 clients.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "adblock/ad_server.h"
#include "fakes/fake_platform.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_network.h"

namespace {

constexpr int kRequests = 20000;
const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00"
                       "\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;", 43);

int Listen(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::listen(fd, SOMAXCONN);
  return fd;
}

int PortOf(int fd) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  return ntohs(a.sin_port);
}

// One request on its own connection; true when a whole reply came back.
bool Ask(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = false;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    static const char kRequest[] = "GET /ads/banner.gif HTTP/1.0\r\nHost: ads.example\r\n\r\n";
    ::send(fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL);
    char buf[1024];
    std::size_t got = 0;
    for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) got += static_cast<std::size_t>(n);
    ok = got > kGif.size();
  }
  ::close(fd);
  return ok;
}

// Requests per second with `clients` threads sharing kRequests requests.
double Load(int port, int clients) {
  std::atomic<int> left{kRequests}, failed{0};
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (int c = 0; c < clients; ++c)
    threads.emplace_back([&] {
      while (left.fetch_sub(1) > 0)
        if (!Ask(port)) ++failed;
    });
  for (auto& t : threads) t.join();
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (failed) std::printf("  (%d requests failed)\n", failed.load());
  return kRequests / s;
}

void MinimalResponder(int listener, const std::string& reply) {
  char buf[4096];
  for (;;) {
    const int c = ::accept(listener, nullptr, nullptr);
    if (c < 0) return;  // the listener was shut down
    std::string request;
    for (ssize_t n; request.find("\r\n\r\n") == std::string::npos && (n = ::recv(c, buf, sizeof buf, 0)) > 0;)
      request.append(buf, static_cast<std::size_t>(n));
    ::send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
    ::close(c);
  }
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("nv-server-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder / "images");
  nv::PosixFiles files;
  files.WriteAtomic((folder / "images" / "4.gif").string(), kGif);

  nv::test::FakePlatform fake;  // clock, dialogs, settings
  nv::PosixNetwork net;
  nv::Platform platform = fake.platform;
  platform.files = &files;
  platform.net = &net;
  nv::Store store(files, folder.string());
  nv::Settings settings(fake.settings);
  nv::Counters counters;
  nv::Services services{platform, store, settings, counters};
  nv::AdServer server(services);
  server.SetPorts(0, 0);
  server.StartAdServer();
  const int serverPort = server.HttpPort();
  std::thread loop([&] { net.Run(); });

  const std::string reply = "HTTP/1.1 200 OK\r\nExpires: 0\r\nLast-Modified: 0\r\nAccept-Ranges: bytes\r\n"
                            "Content-Type: image/gif\r\nContent-Length: 43\r\n\r\n" + kGif;
  const int minimal = Listen(0);
  std::thread responder(MinimalResponder, minimal, reply);

  std::printf("%-44s %8s %12s\n", "server (native, loopback)", "clients", "requests/s");
  for (int clients : {1, 20}) {
    const double ours = Load(serverPort, clients);
    const double ref = Load(PortOf(minimal), clients);
    std::printf("%-44s %8d %12.0f\n", "AdServer core, posix loop, ads.log written", clients, ours);
    std::printf("%-44s %8d %12.0f\n", "minimal blocking responder", clients, ref);
    std::printf("%-44s %8d %12.2f\n", "ratio", clients, ours / ref);
  }

  ::shutdown(minimal, SHUT_RDWR);
  ::close(minimal);
  responder.join();
  net.Quit();
  loop.join();
  server.StopAdServer();
  fs::remove_all(folder);
}
