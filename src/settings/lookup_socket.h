#pragma once
#include <string>

#include "platform/net.h"

namespace nv {

// The settings dialog's lookup socket `ws`: one outgoing TCP connection at a
// time, used only to learn the address a site name reaches. Connect drops
// whatever the socket had first, so only the newest attempt ever reports;
// Close, and the end of the socket's owner, silence it for good.
class LookupSocket : private ConnectSink {
 public:
  // The socket's two events, on the UI thread, never from inside a call to
  // the socket.
  class Events {
   public:
    virtual ~Events() = default;
    virtual void ws_Connect() = 0;
    virtual void ws_Error() = 0;
  };

  // A platform without a network never connects and never reports.
  LookupSocket(Network* net, Events& events) : net_(net), events_(events) {}
  ~LookupSocket() override { Close(); }
  LookupSocket(const LookupSocket&) = delete;
  LookupSocket& operator=(const LookupSocket&) = delete;

  // Whatever state the socket is in: idle afterwards, with nothing to report.
  void Close();
  // Closes, then starts resolving host and connecting to it; returns at once.
  void Connect(const std::string& host, int port);
  // The name given to the last Connect.
  const std::string& RemoteHost() const { return remoteHost_; }
  // The dotted IPv4 address reached; empty until connected.
  const std::string& RemoteHostIP() const { return remoteHostIP_; }

 private:
  void OnConnected(SocketId conn, const std::string& peerAddress) override;
  void OnConnectFailed(SocketId conn, const AppError& error) override;

  Network* net_;
  Events& events_;
  SocketId attempt_ = kNoSocket;
  std::string remoteHost_, remoteHostIP_;
};

}  // namespace nv
