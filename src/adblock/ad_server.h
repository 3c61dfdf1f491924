#pragma once
#include <functional>

#include "store/services.h"

namespace nv {

// The local ad-replacement web server on 127.0.0.1:80.
class AdServer {
 public:
  explicit AdServer(Services& services) : s_(services) {}
  // Runs when the port is taken and the program must end (the exit sequence).
  void SetOnPortTaken(std::function<void()> f) { onPortTaken_ = std::move(f); }
  void StartAdServer();
  void StopAdServer();

 private:
  Services& s_;
  std::function<void()> onPortTaken_;
};

}  // namespace nv
