#include "live_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace nv::test {

std::string SampleGif() {
  static const unsigned char bytes[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
                                        0xFF, 0xFF, 0xFF, 0, 0, 0, '\r', '\n', 0x1A, '!', 0xF9,
                                        4, 1, 0, 0, 0, 0, ',', 0, 0, 0, 0, 1, 0, 1, 0, 0,
                                        2, 2, 'D', 1, 0, ';'};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

static std::string MakeFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "nv-server-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
  std::filesystem::create_directories(tmpl + "/images");
  return tmpl;
}

LiveServer::LiveServer()
    : folder(MakeFolder()),
      platform(fake.platform),
      store(files, folder),
      services{platform, store, settings, counters},
      server(services) {
  platform.files = &files;
  platform.net = &net;
  files.WriteAtomic(folder + "\\images\\4.gif", SampleGif());
  server.SetPorts(0, 0);
  server.StartAdServer();
  port = server.HttpPort();
  httpsPort = server.HttpsPort();
  loop_ = std::thread([this] { net.Run(); });
}

LiveServer::~LiveServer() {
  net.Quit();
  loop_.join();
  server.StopAdServer();
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

std::string LiveServer::AdsLog() const {
  try {
    return PosixFiles().ReadAll(folder + "/ads.log");
  } catch (const AppError&) {
    return {};
  }
}

std::string LiveServer::ErrLog() const {
  try {
    return PosixFiles().ReadAll(folder + "/err.log");
  } catch (const AppError&) {
    return {};
  }
}

int Dial(int port, const char* from) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket");
  timeval tv{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  if (std::string(from) != "127.0.0.1") {
    inet_pton(AF_INET, from, &addr.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
      throw std::runtime_error("bind");
  }
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    throw std::runtime_error("connect");
  }
  return fd;
}

void SendAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;  // the server closed first: what it replied is still readable
    done += static_cast<std::size_t>(n);
  }
}

std::string ReadToEnd(int fd) {
  std::string out;
  char buf[16384];
  while (true) {
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  return out;
}

std::string Exchange(int port, const std::string& request) {
  const int fd = Dial(port);
  SendAll(fd, request);
  std::string reply = ReadToEnd(fd);
  ::close(fd);
  return reply;
}

std::string ExpectedReply(const std::string& type, const std::string& body) {
  return "HTTP/1.1 200 OK\r\nExpires: 0\r\nLast-Modified: 0\r\nAccept-Ranges: bytes\r\n"
         "Content-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

}  // namespace nv::test
