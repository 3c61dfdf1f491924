#pragma once
// The part of the network seam that the shared bookkeeping answers alone, so
// that a backend (posix, Winsock) implements only what needs its OS.
#include <optional>
#include <string>

#include "platform/connection_table.h"
#include "platform/net.h"
#include "platform/outgoing_attempts.h"

namespace nv {

class TableNetwork : public Network {
 public:
  std::size_t Receive(SocketId conn, std::string& into, std::size_t max) final {
    return table_.Receive(conn, into, max);
  }
  void Send(SocketId conn, std::string bytes) final { table_.Send(conn, std::move(bytes)); }
  void Close(SocketId s) final {
    if (!attempts_.Close(s)) table_.Close(s);
  }
  SocketId Connect(const std::string& host, int port, int limitMs, ConnectSink& sink) final {
    const SocketId id = table_.NewId();
    attempts_.Start(id, host, port, limitMs, sink, Unavailable());
    return id;
  }

 protected:
  TableNetwork(SocketCalls& sockets, ConnectCalls& connects) : table_(sockets), attempts_(connects, table_) {}
  // Why the backend cannot connect at all, if it cannot.
  virtual std::optional<AppError> Unavailable() const { return std::nullopt; }

  ConnectionTable table_;
  OutgoingAttempts attempts_;
};

}  // namespace nv
