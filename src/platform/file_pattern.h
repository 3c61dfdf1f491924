#pragma once
#include <algorithm>
#include <string_view>

namespace nv {

// Whether a bare file name matches a listing pattern: "*" and "*.*" match
// every name, "*.ext" the names ending in ".ext" in any letter case, any other
// pattern only the name itself. Windows matches a pattern against the short
// 8.3 name too, so "a.txtold" (short name "A2B4~1.TXT") passes for "*.txt"
// there: every listing filters what the system gives through this test.
inline bool NameMatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*" || pattern == "*.*") return true;
  if (pattern.size() < 2 || pattern[0] != '*') return name == pattern;
  const std::string_view tail = pattern.substr(1);
  if (name.size() < tail.size()) return false;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(tail.begin(), tail.end(), name.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [&](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace nv
