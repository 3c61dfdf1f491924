#include "adblock/hosts_ownership.h"

#include "store/list_file.h"

namespace nv {

namespace {
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string OwnershipKey(std::string_view line) {
  std::string key;
  key.reserve(line.size());
  bool gap = false;
  for (char c : line) {
    if (Blank(c)) {
      gap = !key.empty();
      continue;
    }
    if (gap) key += ' ';
    gap = false;
    key += c;
  }
  return key;
}

std::vector<std::string_view> SplitHostsLines(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

void HostsOwnership::Add(std::string_view line) {
  std::string key = OwnershipKey(line);
  if (!key.empty()) keys_.insert(std::move(key));
}

void HostsOwnership::AddLines(std::string_view bytes) {
  for (std::string_view line : SplitHostsLines(bytes)) Add(line);
}

HostsLines SortByOwner(std::string_view hostsBytes, const HostsOwnership& ownership) {
  HostsLines sorted;
  for (std::string_view line : SplitHostsLines(hostsBytes)) {
    const std::string key = OwnershipKey(line);
    if (key.empty()) continue;
    if (ownership.OwnsKey(key)) sorted.norvane.emplace_back(line);
    else sorted.others.emplace_back(TrimSpaces(line));
  }
  return sorted;
}

}  // namespace nv
