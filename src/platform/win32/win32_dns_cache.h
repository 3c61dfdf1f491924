#pragma once
#include "platform/dns_cache.h"

namespace nv {

// DnsFlushResolverCache of dnsapi.dll, looked up when first needed: the
// export is undocumented and may be missing.
class Win32DnsCache : public DnsCache {
 public:
  bool Flush() override;
};

}  // namespace nv
