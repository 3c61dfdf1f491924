#pragma once
#include "platform/net.h"

namespace nv {

// Windows gives a new socket the handle value of one just closed, so a late
// message naming an error can name a connection that is alive. A one-byte
// peek on it decides: bytes waiting, or none yet (would block), mean it is
// open and the message was another socket's; its end (0) or an error means it
// really ended. peeked is what the peek returned (negative: failed with error).
inline bool PeekShowsOpen(int peeked, int error) {
  return peeked > 0 || (peeked < 0 && error == neterr::kWouldBlock);
}

}  // namespace nv
