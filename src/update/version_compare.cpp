#include "update/version_compare.h"

#include <string_view>
#include <vector>

#include "product/version.h"

namespace nv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trimmed(std::string_view t) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (t.substr(0, kBom.size()) == kBom) t.remove_prefix(kBom.size());
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return std::string(t);
}

// The numbers of "1.22.333" without their leading zeros; false for anything
// that is not one or more runs of digits joined by single dots.
bool SplitNumbers(std::string_view t, std::vector<std::string_view>& numbers) {
  for (;;) {
    std::size_t n = 0;
    while (n < t.size() && t[n] >= '0' && t[n] <= '9') ++n;
    if (n == 0) return false;
    std::string_view digits = t.substr(0, n);
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    numbers.push_back(digits);
    if (n == t.size()) return true;
    if (t[n] != '.') return false;
    t.remove_prefix(n + 1);
  }
}

// Digit strings without leading zeros compare as numbers of any length.
int CompareNumbers(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

int CompareVersions(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  for (std::size_t i = 0; i < a.size() || i < b.size(); ++i) {
    const int c = CompareNumbers(i < a.size() ? a[i] : "0", i < b.size() ? b[i] : "0");
    if (c != 0) return c;
  }
  return 0;
}

}  // namespace

std::string LocalVersionString() {
  return std::to_string(NV_VERSION_MAJOR) + "." + std::to_string(NV_VERSION_MINOR) + "." +
         std::to_string(NV_VERSION_REVISION);
}

VersionCheck TestVersion(const std::string& fetched, const std::string& local) {
  VersionCheck check{VersionAnswer::kEmpty, Trimmed(fetched)};
  if (check.text.empty()) return check;
  std::vector<std::string_view> server, ours;
  if (!SplitNumbers(check.text, server) || !SplitNumbers(local, ours)) {
    check.answer = VersionAnswer::kGarbage;
    return check;
  }
  check.answer = CompareVersions(server, ours) > 0 ? VersionAnswer::kNewer : VersionAnswer::kNotNewer;
  return check;
}

}  // namespace nv
