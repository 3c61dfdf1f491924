#include <gtest/gtest.h>

#include "platform/socket_peek.h"

namespace nv {
namespace {

// A late error message for a closed socket whose handle value a new
// connection took must not end that connection, whatever it holds.
TEST(SocketPeek, OnlyTheConnectionsEndOrAnErrorMeanItEnded) {
  EXPECT_TRUE(PeekShowsOpen(1, 0));                    // a request waits unread
  EXPECT_TRUE(PeekShowsOpen(-1, neterr::kWouldBlock)); // nothing has arrived yet
  EXPECT_FALSE(PeekShowsOpen(0, 0));                   // the peer's end
  EXPECT_FALSE(PeekShowsOpen(-1, 10054));              // reset by the peer
  EXPECT_FALSE(PeekShowsOpen(-1, 10038));              // not a socket any more
}

}  // namespace
}  // namespace nv
