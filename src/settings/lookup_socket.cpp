#include "settings/lookup_socket.h"

namespace nv {

void LookupSocket::Close() {
  if (attempt_ != kNoSocket && net_) net_->Close(attempt_);
  attempt_ = kNoSocket;
  remoteHostIP_.clear();
}

// No limit of our own: a site that takes its time to answer is still added.
void LookupSocket::Connect(const std::string& host, int port) {
  Close();
  remoteHost_ = host;
  if (net_) attempt_ = net_->Connect(host, port, kSystemTimeouts, *this);
}

// The network reports nothing for a closed attempt; an event for any but the
// newest one is dropped here as well, so a replaced lookup can never add its
// address under the name typed for the next.
void LookupSocket::OnConnected(SocketId conn, const std::string& peerAddress) {
  if (conn != attempt_) return;
  remoteHostIP_ = peerAddress;
  events_.ws_Connect();
}

void LookupSocket::OnConnectFailed(SocketId conn, const AppError&) {
  if (conn != attempt_) return;
  events_.ws_Error();
}

}  // namespace nv
