// The reference for the web server benchmark: the least a Winsock server can
// do per request. Accept, read the request, send a fixed GIF reply, close; no
// logging, no file access, one blocking loop.
//   min_responder <port> <gif file>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: min_responder <port> <gif file>\n");
    return 2;
  }
  std::ifstream f(argv[2], std::ios::binary);
  std::ostringstream gif;
  gif << f.rdbuf();
  const std::string body = gif.str();
  const std::string reply =
      "HTTP/1.1 200 OK\r\nExpires: 0\r\nLast-Modified: 0\r\nAccept-Ranges: bytes\r\n"
      "Content-Type: image/gif\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;

  WSADATA d;
  WSAStartup(MAKEWORD(2, 2), &d);
  SOCKET l = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<u_short>(std::atoi(argv[1])));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(l, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(l, SOMAXCONN) != 0) {
    std::fprintf(stderr, "min_responder: cannot listen (%d)\n", WSAGetLastError());
    return 1;
  }
  char buf[4096];
  for (;;) {
    SOCKET c = accept(l, nullptr, nullptr);
    if (c == INVALID_SOCKET) continue;
    // Read up to the end of the request head, so that closing never resets.
    std::string request;
    for (int n; request.find("\r\n\r\n") == std::string::npos && (n = recv(c, buf, sizeof buf, 0)) > 0;)
      request.append(buf, static_cast<std::size_t>(n));
    for (std::size_t done = 0; done < reply.size();) {
      const int n = send(c, reply.data() + done, static_cast<int>(reply.size() - done), 0);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    closesocket(c);
  }
}
