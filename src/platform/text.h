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
};

}  // namespace nv
