#pragma once
#include "platform/errors.h"

namespace nv {

// A socket failure as the program reports it: the Winsock number where one
// exists (10048 address in use, 10013 access denied, ...), so that the core
// sees the same numbers on every platform.
AppError SocketError(int posixErrno);

}  // namespace nv
