#pragma once
#include <vector>

namespace nv::test {

// A loopback listener that never accepts, with its queue filled: a further
// connection attempt gets no answer at all (the system drops its SYN), as a
// server that hangs or a host that drops packets would behave.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

// A loopback port on which nothing listens (one that was just free).
int ClosedPort();

}  // namespace nv::test
