#pragma once
#include <string>

namespace nv {

// The Internet cache of the system's browser (wininet).
class UrlCache {
 public:
  virtual ~UrlCache() = default;
  // DeleteUrlCacheEntryA with an ANSI key; false when there was no such entry.
  virtual bool DeleteEntry(const std::string& key) = 0;
};

}  // namespace nv
