// Fuzzes the local web server's request handling: a script of connections,
// data in arbitrary pieces, early closes and send completions, checked after
// every step for the server's promises.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "adblock/ad_request.h"
#include "adblock/ad_server.h"
#include "fakes/fake_platform.h"

namespace {

using nv::SocketId;

void Require(bool ok) {
  if (!ok) std::abort();
}

struct Script {
  const std::uint8_t* p;
  std::size_t left;
  bool More() const { return left > 0; }
  std::uint8_t Byte() { return left ? (--left, *p++) : 0; }
  std::string Bytes(std::size_t n) {
    n = std::min(n, left);
    std::string s(reinterpret_cast<const char*>(p), n);
    p += n;
    left -= n;
    return s;
  }
};

// A reply is nothing at all or one whole 200 reply whose length is right.
void CheckReply(const nv::test::FakeNetwork::Conn& c) {
  Require(c.sends <= 1);
  if (c.sent.empty()) return;
  Require(c.sent.rfind("HTTP/1.1 200 OK\r\n", 0) == 0);
  const std::size_t head = c.sent.find("\r\n\r\n");
  const std::size_t at = c.sent.find("Content-Length: ");
  Require(head != std::string::npos && at != std::string::npos && at < head);
  Require(std::stoul(c.sent.substr(at + 16)) == c.sent.size() - head - 4);
}

// Every CR of a log is the start of a line end: no request can add lines.
void CheckLog(const std::string& log) {
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (log[i] == '\r') Require(i + 1 < log.size() && log[i + 1] == '\n');
    if (log[i] == '\n') Require(i > 0 && log[i - 1] == '\r');
  }
}

// The judgement of a request does not depend on how it was cut into pieces.
void CheckPieces(const std::string& data, std::uint8_t step) {
  const nv::RequestJudgement whole = nv::JudgeRequest(data);
  std::size_t judged = 0;
  nv::RequestJudgement part;
  for (std::size_t end = 0; end < data.size();) {
    end = std::min(data.size(), end + 1 + step % 7);
    part = nv::JudgeRequest(std::string_view(data).substr(0, end), judged);
    if (part.verdict != nv::RequestVerdict::Incomplete) break;
    judged = end;
  }
  Require(part.verdict == whole.verdict && part.target == whole.target);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  nv::test::FakePlatform fp;
  fp.files.Put("C:\\N\\images\\4.gif", "GIF89a");
  nv::Store store(fp.files, "C:\\N");
  nv::Settings settings(fp.settings);
  nv::Counters counters;
  nv::Services services{fp.platform, store, settings, counters};
  nv::AdServer server(services);
  server.StartAdServer();

  CheckPieces(std::string(reinterpret_cast<const char*>(data), size), size ? data[0] : 0);
  Script script{data, size};
  std::vector<SocketId> conns;
  while (script.More()) {
    const std::uint8_t cmd = script.Byte();
    const std::size_t which = (cmd >> 2) % 4;
    SocketId conn = which < conns.size() ? conns[which] : nv::kNoSocket;
    switch (cmd & 3) {
      case 0: fp.net.Arrive(conn, script.Bytes(script.Byte())); break;
      case 1: fp.net.FinishSends(); break;
      case 2: fp.net.PeerClose(conn, cmd & 0x10); break;
      case 3:
        conn = fp.net.Connect(80, cmd & 0x10 ? "127.0.0.2" : "127.0.0.1");
        if (conns.size() < 4) conns.push_back(conn);
        else conns[which] = conn;
        break;
    }
    Require(server.OpenConnections() == fp.net.OpenConnections());
  }
  for (auto& [id, c] : fp.net.conns) fp.net.PeerClose(id, false);
  fp.net.FinishSends();
  Require(server.OpenConnections() == 0 && fp.net.OpenConnections() == 0);
  for (auto& [id, c] : fp.net.conns) CheckReply(c);
  CheckLog(fp.files.Get("C:\\N\\ads.log"));
  return 0;
}
