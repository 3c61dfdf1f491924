#pragma once
#include "platform/url_cache.h"

namespace nv {

// The WinINet cache.
class Win32UrlCache : public UrlCache {
 public:
  bool DeleteEntry(const std::string& key) override;
};

}  // namespace nv
