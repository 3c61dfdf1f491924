#include "product/version.h"

#include <string_view>

namespace nv {
namespace {
constexpr bool DigitsMatch(std::string_view& text, int number) {
  int value = 0;
  std::size_t n = 0;
  while (n < text.size() && text[n] >= '0' && text[n] <= '9') value = value * 10 + (text[n++] - '0');
  if (n == 0 || value != number || (n > 1 && text[0] == '0')) return false;
  text.remove_prefix(n);
  return true;
}
constexpr bool TextMatchesNumbers() {
  std::string_view t = NV_VERSION_TEXT;
  return DigitsMatch(t, NV_VERSION_MAJOR) && !t.empty() && t[0] == '.' && (t.remove_prefix(1), true) &&
         DigitsMatch(t, NV_VERSION_MINOR) && !t.empty() && t[0] == '.' && (t.remove_prefix(1), true) &&
         DigitsMatch(t, NV_VERSION_REVISION) && t.empty();
}
static_assert(TextMatchesNumbers(), "NV_VERSION_TEXT must spell the three version numbers");
}  // namespace
}  // namespace nv
