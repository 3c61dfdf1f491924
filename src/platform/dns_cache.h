#pragma once

namespace nv {

// The DNS Client's cache of answers it already gave: after the HOSTS file
// changed, a running browser asks again only once the cache was flushed.
class DnsCache {
 public:
  virtual ~DnsCache() = default;
  // False when the cache could not be flushed (no such service or call).
  virtual bool Flush() = 0;
};

}  // namespace nv
