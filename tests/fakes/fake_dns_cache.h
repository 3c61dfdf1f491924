#pragma once
#include <functional>

#include "platform/dns_cache.h"

namespace nv::test {

// Counts the flushes; a test may fail them or look at the world as each runs.
class FakeDnsCache : public DnsCache {
 public:
  bool Flush() override {
    ++flushes;
    if (onFlush) onFlush();
    return !fail;
  }
  int flushes = 0;
  bool fail = false;
  std::function<void()> onFlush;
};

}  // namespace nv::test
