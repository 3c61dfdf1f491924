#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// A small HTTP server of the test's own, on a loopback address that is not
// Norvane's (127.0.0.1:80), at a free port. Each path answers as the test
// set it; every request is recorded with the time it came.
class TestHttpServer {
 public:
  struct Reply {
    int status = 200;
    std::string body;
    int delayMs = 0;       // waits this long before answering
    std::string location;  // a Location header, for a redirect
    // An ETag header; a request whose If-None-Match names it gets 304.
    std::string etag;
    std::string contentType = "text/plain";
  };
  struct Request {
    std::string path;
    ULONGLONG at;  // GetTickCount64
    std::string head;  // the request line and headers as they came
  };

  explicit TestHttpServer(const std::string& address = "127.0.0.2");
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  bool Listening() const { return listener_ != INVALID_SOCKET; }
  std::string Url() const;  // "http://address:port"
  void Serve(const std::string& path, Reply reply);
  std::vector<Request> Requests() const;
  int Count(const std::string& path) const;
  int Answered() const { return answered_.load(); }

 private:
  void AcceptLoop();
  void Answer(SOCKET s);
  Reply ReplyFor(const std::string& path) const;

  std::string address_;
  int port_ = 0;
  SOCKET listener_ = INVALID_SOCKET;
  std::atomic<bool> stopping_{false};
  std::atomic<int> answered_{0};
  mutable std::mutex mutex_;
  std::map<std::string, Reply> replies_;
  std::vector<Request> requests_;
  std::vector<std::thread> threads_;
  std::thread acceptor_;
};

}  // namespace e2e
