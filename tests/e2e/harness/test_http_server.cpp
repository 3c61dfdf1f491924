#include "harness/test_http_server.h"

#include <ws2tcpip.h>

namespace e2e {

namespace {
const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 404: return "Not Found";
    default: return "Error";
  }
}
}  // namespace

TestHttpServer::TestHttpServer(const std::string& address) : address_(address) {
  WSADATA d;
  WSAStartup(MAKEWORD(2, 2), &d);
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = 0;
  inet_pton(AF_INET, address.c_str(), &a.sin_addr);
  int len = sizeof a;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    return;
  }
  port_ = ntohs(a.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
  stopping_ = true;
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  if (acceptor_.joinable()) acceptor_.join();
  for (std::thread& t : threads_) t.join();
  WSACleanup();
}

std::string TestHttpServer::Url() const { return "http://" + address_ + ":" + std::to_string(port_); }

void TestHttpServer::Serve(const std::string& path, Reply reply) {
  std::lock_guard<std::mutex> lock(mutex_);
  replies_[path] = std::move(reply);
}

std::vector<TestHttpServer::Request> TestHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

int TestHttpServer::Count(const std::string& path) const {
  int n = 0;
  for (const Request& r : Requests()) n += r.path == path;
  return n;
}

TestHttpServer::Reply TestHttpServer::ReplyFor(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = replies_.find(path);
  return it == replies_.end() ? Reply{404, "no such file", 0} : it->second;
}

void TestHttpServer::AcceptLoop() {
  for (;;) {
    SOCKET s = accept(listener_, nullptr, nullptr);
    if (s == INVALID_SOCKET) return;  // closed by the destructor
    std::lock_guard<std::mutex> lock(mutex_);
    threads_.emplace_back([this, s] { Answer(s); });
  }
}

// One request per connection: the request line and headers, then the reply.
void TestHttpServer::Answer(SOCKET s) {
  const DWORD timeoutMs = 10000;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
  std::string head;
  char buf[2048];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384) {
    const int n = recv(s, buf, sizeof buf, 0);
    if (n <= 0) break;
    head.append(buf, static_cast<size_t>(n));
  }
  const size_t start = head.find(' ') + 1, end = head.find(' ', start);
  const std::string path = start > 0 && end != std::string::npos ? head.substr(start, end - start) : "";
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back({path, GetTickCount64(), head.substr(0, head.find("\r\n\r\n"))});
  }
  Reply reply = ReplyFor(path);
  if (!reply.etag.empty() && head.find("\r\nIf-None-Match: " + reply.etag + "\r\n") != std::string::npos) {
    reply.status = 304;
    reply.body.clear();
  }
  for (int waited = 0; waited < reply.delayMs && !stopping_; waited += 50) Sleep(50);
  const std::string bytes = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) +
                            "\r\nContent-Type: " + reply.contentType + "\r\nContent-Length: " +
                            std::to_string(reply.body.size()) +
                            (reply.location.empty() ? "" : "\r\nLocation: " + reply.location) +
                            (reply.etag.empty() ? "" : "\r\nETag: " + reply.etag) +
                            "\r\nConnection: close\r\n\r\n" + reply.body;
  send(s, bytes.data(), static_cast<int>(bytes.size()), 0);
  ++answered_;
  shutdown(s, SD_SEND);
  closesocket(s);
}

}  // namespace e2e
