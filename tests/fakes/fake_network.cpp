#include "fakes/fake_network.h"

namespace nv::test {

SocketId FakeNetwork::Listen(const std::string& address, int port, NetSink& sink) {
  if (auto it = listenErrors.find(port); it != listenErrors.end()) throw it->second;
  for (auto& [id, l] : listeners)
    if (l.open && l.port == port) throw AppError(err::kAddressInUse, "Address in use");
  const SocketId id = next_++;
  listeners[id] = Listener{address, port, &sink, true, {}};
  return id;
}

int FakeNetwork::LocalPort(SocketId listener) {
  auto it = listeners.find(listener);
  return it == listeners.end() || !it->second.open ? 0 : it->second.port;
}

SocketId FakeNetwork::Accept(SocketId listener, std::string& peerAddress) {
  if (acceptError) throw *acceptError;
  auto it = listeners.find(listener);
  if (it == listeners.end() || !it->second.open || it->second.waiting.empty()) return kNoSocket;
  const SocketId conn = it->second.waiting.front();
  it->second.waiting.pop_front();
  conns[conn].accepted = true;
  peerAddress = conns[conn].peer;
  return conn;
}

std::size_t FakeNetwork::Receive(SocketId conn, std::string& into, std::size_t max) {
  auto it = conns.find(conn);
  if (it == conns.end() || it->second.closed) return 0;
  std::string& in = it->second.inbox;
  const std::size_t n = std::min(max, in.size());
  into.append(in, 0, n);
  in.erase(0, n);
  return n;
}

void FakeNetwork::Send(SocketId conn, std::string bytes) {
  auto it = conns.find(conn);
  if (it == conns.end() || it->second.closed) return;
  it->second.sent += bytes;
  ++it->second.sends;
  it->second.sendPending = true;
  sending_.push_back(conn);
}

void FakeNetwork::Close(SocketId s) {
  if (auto a = attempts.find(s); a != attempts.end()) a->second.open = false;
  if (auto l = listeners.find(s); l != listeners.end()) l->second.open = false;
  if (auto c = conns.find(s); c != conns.end()) c->second.closed = true;
}

PortProbe FakeNetwork::Probe(const std::string&, int port, int) {
  probedPorts.push_back(port);
  auto it = probeAnswers.find(port);
  return it == probeAnswers.end() ? PortProbe::Refused : it->second;
}

SocketId FakeNetwork::Connect(const std::string& host, int port, int limitMs, ConnectSink& sink) {
  const SocketId id = next_++;
  attempts[id] = Attempt{host, port, limitMs, &sink, true, false};
  return id;
}

void FakeNetwork::CompleteConnect(SocketId attempt, const std::string& peerAddress) {
  auto it = attempts.find(attempt);
  if (it == attempts.end() || !it->second.open || it->second.settled) return;
  it->second.settled = true;
  it->second.sink->OnConnected(attempt, peerAddress);
}

void FakeNetwork::FailConnect(SocketId attempt, const AppError& error) {
  auto it = attempts.find(attempt);
  if (it == attempts.end() || !it->second.open || it->second.settled) return;
  it->second.settled = true;
  it->second.sink->OnConnectFailed(attempt, error);
}

NetSink* FakeNetwork::SinkOf(SocketId conn) {
  auto c = conns.find(conn);
  if (c == conns.end() || c->second.closed || !c->second.accepted) return nullptr;
  return listeners[c->second.listener].sink;
}

SocketId FakeNetwork::Connect(int port, const std::string& peer) {
  const SocketId conn = Enqueue(port, peer);
  if (conn == kNoSocket) return conn;
  const SocketId id = conns[conn].listener;
  Listener& l = listeners[id];
  // The listener stays ready while clients wait and the sink takes them.
  for (std::size_t before = 0; !l.waiting.empty() && l.waiting.size() != before;) {
    before = l.waiting.size();
    l.sink->OnConnectionRequest(id);
  }
  return conn;
}

SocketId FakeNetwork::Enqueue(int port, const std::string& peer) {
  for (auto& [id, l] : listeners) {
    if (!l.open || l.port != port) continue;
    const SocketId conn = next_++;
    conns[conn] = Conn{id, peer, {}, {}, 0, false, false, false};
    l.waiting.push_back(conn);
    return conn;
  }
  return kNoSocket;
}

void FakeNetwork::Signal(int port) {
  for (auto& [id, l] : listeners)
    if (l.open && l.port == port) l.sink->OnConnectionRequest(id);
}

void FakeNetwork::Arrive(SocketId conn, std::string_view bytes) {
  if (NetSink* sink = SinkOf(conn)) {
    conns[conn].inbox.append(bytes);
    sink->OnDataArrival(conn);
  }
}

void FakeNetwork::PeerClose(SocketId conn, bool reset) {
  if (NetSink* sink = SinkOf(conn)) {
    if (reset) conns[conn].sendPending = false;
    sink->OnPeerClosed(conn, reset);
  }
}

void FakeNetwork::FinishSends() {
  std::vector<SocketId> batch;
  batch.swap(sending_);
  for (SocketId id : batch) {
    Conn& c = conns[id];
    if (!c.sendPending || c.closed) continue;
    c.sendPending = false;
    if (NetSink* sink = SinkOf(id)) sink->OnSendComplete(id);
  }
}

int FakeNetwork::OpenListeners() const {
  int n = 0;
  for (const auto& [id, l] : listeners) n += l.open ? 1 : 0;
  return n;
}

int FakeNetwork::OpenConnections() const {
  int n = 0;
  for (const auto& [id, c] : conns) n += c.accepted && !c.closed ? 1 : 0;
  return n;
}

}  // namespace nv::test
