#pragma once
#include <string>

namespace nv {

// Locale-aware text comparison of the user's locale (CompareStringA on Windows).
class TextCompare {
 public:
  virtual ~TextCompare() = default;
  // 1-based position of the first occurrence of needle in haystack, compared
  // without regard to letter case; 0 when absent.
  virtual int FindNoCase(const std::string& haystack, const std::string& needle) = 0;
  // The locale's case-insensitive order (the order of a sorted list box):
  // negative, 0 or positive. Different texts may compare equal.
  virtual int CompareNoCase(const std::string& a, const std::string& b) = 0;
  // Bytes whose plain byte order is CompareNoCase's order: one call per text
  // instead of one per comparison, for sorting many texts at once.
  virtual std::string SortKey(const std::string& text) = 0;
};

}  // namespace nv
