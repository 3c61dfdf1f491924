#pragma once
#include <winsock2.h>

#include <vector>

namespace e2e {

// A listener whose backlog is full: a connection to it is neither accepted
// nor refused, so an attempt waits for its time limit. Port 0 takes a free
// port. Starts Winsock for the test process.
class SilentListener {
 public:
  SilentListener(const char* address, int port);
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;

  bool ok() const { return ok_; }
  int port() const { return port_; }

 private:
  SOCKET listener_ = INVALID_SOCKET;
  std::vector<SOCKET> fillers_;
  int port_ = 0;
  bool ok_ = false;
};

}  // namespace e2e
