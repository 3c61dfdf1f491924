#include "cookies/cookie_record.h"

namespace nv {

std::optional<std::string> CookieSiteAndPath(std::string_view entry) {
  for (int field = 0; field < 2; ++field)
    if (size_t lf = entry.find('\n'); lf != std::string_view::npos) entry.remove_prefix(lf + 1);
  const size_t end = entry.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(entry.substr(0, end));
}

// Login names are ASCII on every system we know of; other bytes are kept as
// they are, and the cache compares keys without regard to case anyway.
std::string CookieCacheKey(const std::string& loginName, const std::string& siteAndPath) {
  std::string key;
  key.reserve(loginName.size() + 1 + siteAndPath.size());
  for (char c : loginName)
    key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  key += '@';
  key += siteAndPath;
  return key;
}

}  // namespace nv
