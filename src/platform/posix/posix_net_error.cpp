#include "platform/posix/posix_net_error.h"

#include <cerrno>
#include <cstring>

#include "platform/net.h"

namespace nv {

AppError SocketError(int e) {
  int number;
  switch (e) {
    case EADDRINUSE: number = neterr::kAddressInUse; break;
    case EACCES: number = neterr::kAccessDenied; break;
    case EADDRNOTAVAIL: number = neterr::kAddressNotAvailable; break;
    case EMFILE: number = neterr::kTooManySockets; break;
    case ENOBUFS: number = neterr::kNoBuffers; break;
    case ECONNREFUSED: number = neterr::kConnectionRefused; break;
    case ETIMEDOUT: number = neterr::kTimedOut; break;
    case ENETUNREACH: number = neterr::kNetworkUnreachable; break;
    case EHOSTUNREACH: number = neterr::kHostUnreachable; break;
    default: return AppError(e, std::strerror(e), neterr::kSource);
  }
  return AppError(number, neterr::Text(number), neterr::kSource);
}

}  // namespace nv
