#include "platform/posix/posix_net_error.h"

#include <cerrno>
#include <cstring>

namespace nv {

AppError SocketError(int e) {
  switch (e) {
    case EADDRINUSE: return AppError(err::kAddressInUse, "Address in use");
    case EACCES: return AppError(10013, "Permission denied");
    case EADDRNOTAVAIL: return AppError(10049, "Address not available");
    case EMFILE: return AppError(10024, "Too many open sockets");
    case ENOBUFS: return AppError(10055, "No buffer space available");
    default: return AppError(e, std::strerror(e));
  }
}

}  // namespace nv
