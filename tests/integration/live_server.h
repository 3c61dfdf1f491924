#pragma once
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "adblock/ad_server.h"
#include "fakes/fake_platform.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_network.h"

namespace nv::test {

// A GIF with bytes that text handling would spoil: NUL, CR LF, 0x1A, 0xFF.
std::string SampleGif();

// The real server core on real loopback sockets and real files, its event
// loop on a thread of its own (the UI thread of this test).
class LiveServer {
 public:
  LiveServer();
  ~LiveServer();
  // Runs f on the loop's thread and waits for its result.
  template <class F>
  auto OnLoop(F f) -> decltype(f()) {
    std::packaged_task<decltype(f())()> task(std::move(f));
    auto result = task.get_future();
    net.Post([&task] { task(); });
    return result.get();
  }
  std::string AdsLog() const;
  std::string ErrLog() const;

  std::string folder;
  FakePlatform fake;  // clock, dialogs, settings
  PosixFiles files;
  PosixNetwork net;
  Platform platform;
  Store store;
  Settings settings{fake.settings};
  Counters counters;
  Services services;
  AdServer server;
  int port = 0;
  int httpsPort = 0;

 private:
  std::thread loop_;
};

// Blocking loopback client calls with a 10 s timeout, so a fault fails a
// test instead of hanging it. from: the local address to connect from.
int Dial(int port, const char* from = "127.0.0.1");
void SendAll(int fd, const std::string& bytes);
// Reads until the server closes (or resets) the connection.
std::string ReadToEnd(int fd);
// One request on a connection of its own; the whole reply.
std::string Exchange(int port, const std::string& request);
// "HTTP/1.1 200 OK" and the fixed headers of a reply of this type and body.
std::string ExpectedReply(const std::string& type, const std::string& body);

}  // namespace nv::test
