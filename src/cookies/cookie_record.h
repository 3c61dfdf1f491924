#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace nv {

// A classic cookie file holds its records as LF-separated fields (name,
// value, site and path, ...). Read as a list file, whose lines end only at CR,
// the whole of it is its first entry.

// The third LF-separated field of a cookie file's first entry, or nothing when
// the entry holds fewer than three LF characters.
std::optional<std::string> CookieSiteAndPath(std::string_view firstEntry);

// The cookie file with the value of every record replaced by "(value removed)",
// for the log. A record is the LF-separated fields name, value, site and path,
// flags, four time fields and "*"; line ends of any kind (LF, CR LF, CR) are
// kept as they are, so the record keeps its shape.
std::string CookieFileWithoutValues(std::string_view file);

// The cache key of a cookie: the login name in lower case, "@", site and path.
std::string CookieCacheKey(const std::string& loginName, const std::string& siteAndPath);

}  // namespace nv
