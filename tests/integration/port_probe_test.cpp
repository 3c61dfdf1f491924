#include <gtest/gtest.h>

#include "platform/posix/posix_network.h"
#include "silent_listener.h"

namespace nv::test {
namespace {

struct Idle : NetSink {
  void OnConnectionRequest(SocketId) override {}
  void OnDataArrival(SocketId) override {}
  void OnSendComplete(SocketId) override {}
  void OnPeerClosed(SocketId, bool) override {}
};

TEST(PortProbe, TellsAListenerFromNothingAndFromSilence) {
  PosixNetwork net;
  Idle sink;
  const SocketId listener = net.Listen("0.0.0.0", 0, sink);  // bound to every address
  EXPECT_EQ(net.Probe("127.0.0.1", net.LocalPort(listener), 2000), PortProbe::Answered);
  EXPECT_EQ(net.Probe("127.0.0.1", ClosedPort(), 2000), PortProbe::Refused);
  SilentListener silent;
  EXPECT_EQ(net.Probe("127.0.0.1", silent.port(), 300), PortProbe::NoAnswer);
  EXPECT_EQ(net.Probe("not an address", 80, 300), PortProbe::Refused);
}

}  // namespace
}  // namespace nv::test
