#include "store/ascii_text.h"

#include <algorithm>

namespace nv {

namespace {
char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

int AsciiText::FindNoCase(const std::string& haystack, const std::string& needle) {
  auto hit = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                         [](char x, char y) { return Fold(x) == Fold(y); });
  if (hit == haystack.end() && !needle.empty()) return 0;
  return haystack.empty() ? 0 : static_cast<int>(hit - haystack.begin()) + 1;
}

int AsciiText::CompareNoCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(Fold(a[i])), y = static_cast<unsigned char>(Fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string AsciiText::SortKey(const std::string& text) {
  std::string key(text);
  for (char& c : key) c = Fold(c);
  return key;
}

AsciiText& AsciiText::Instance() {
  static AsciiText text;
  return text;
}

}  // namespace nv
