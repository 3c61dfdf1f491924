#pragma once
#include "platform/text.h"

namespace nv {

// 'A' to 'Z' as 'a' to 'z'; every other byte as it is.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII case folding: the order of sorted lists that have no locale to ask,
// and the stand-in for the user's locale off Windows.
class AsciiText : public TextCompare {
 public:
  int FindNoCase(const std::string& haystack, const std::string& needle) override;
  int CompareNoCase(const std::string& a, const std::string& b) override;
  std::string SortKey(const std::string& text) override;
  static AsciiText& Instance();
};

}  // namespace nv
