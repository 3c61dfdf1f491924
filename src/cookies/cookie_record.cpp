#include "cookies/cookie_record.h"

#include <algorithm>
#include <utility>

#include "store/list_file.h"

namespace nv {

std::optional<std::string> CookieSiteAndPath(std::string_view entry) {
  for (int field = 0; field < 2; ++field)
    if (size_t lf = entry.find('\n'); lf != std::string_view::npos) entry.remove_prefix(lf + 1);
  const size_t end = entry.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(entry.substr(0, end));
}

namespace {
constexpr std::string_view kValueRemoved = "(value removed)";
constexpr int kFieldsPerRecord = 9;

// The end of the field starting at `start` and the start of the next one.
std::pair<size_t, size_t> FieldEnd(std::string_view file, size_t start) {
  const size_t end = std::min(file.find_first_of("\r\n", start), file.size());
  if (end == file.size()) return {end, end};
  const bool crlf = file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n';
  return {end, end + (crlf ? 2 : 1)};
}
}  // namespace

// A record ends at its "*" field, and at the latest after nine fields, so a
// damaged record cannot shift the next one's value out of place. Empty lines
// between records belong to none.
std::string CookieFileWithoutValues(std::string_view file) {
  std::string out;
  out.reserve(file.size());
  int field = 0;
  for (size_t start = 0; start < file.size();) {
    const auto [end, next] = FieldEnd(file, start);
    const std::string_view text = file.substr(start, end - start);
    out += field == 1 ? kValueRemoved : text;
    out += file.substr(end, next - end);
    start = next;
    if (field == 0 && TrimSpaces(text).empty()) continue;
    field = (TrimSpaces(text) == "*" || field + 1 == kFieldsPerRecord) ? 0 : field + 1;
  }
  return out;
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
