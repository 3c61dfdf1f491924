#include "cookies/stores/keep_rule.h"

#include <algorithm>

#include "cookies/stores/ascii_case.h"

namespace nv {

namespace {

// An entry as written may carry a leading dot (".example.com") or spaces.
std::string Normalised(std::string_view entry) {
  while (!entry.empty() && (entry.front() == ' ' || entry.front() == '.')) entry.remove_prefix(1);
  while (!entry.empty() && (entry.back() == ' ' || entry.back() == '.')) entry.remove_suffix(1);
  return LowerAscii(entry);
}

bool EndsWithDomain(std::string_view host, std::string_view domain) {
  if (host.size() == domain.size()) return host == domain;
  return host.size() > domain.size() && host.substr(host.size() - domain.size()) == domain &&
         host[host.size() - domain.size() - 1] == '.';
}
}  // namespace

KeepRule::KeepRule(const std::vector<std::string>& entries) {
  for (const std::string& e : entries) {
    std::string n = Normalised(e);
    if (n.empty()) continue;
    (n.find('.') == std::string::npos ? labels_ : domains_).push_back(std::move(n));
  }
}

std::string SiteOfHost(std::string_view host) { return Normalised(host); }

bool KeepRule::Keeps(std::string_view rawHost) const {
  const std::string host = SiteOfHost(rawHost);
  for (const std::string& d : domains_)
    if (EndsWithDomain(host, d)) return true;
  if (labels_.empty()) return false;
  for (size_t start = 0; start <= host.size();) {
    const size_t dot = std::min(host.find('.', start), host.size());
    const std::string_view label = std::string_view(host).substr(start, dot - start);
    if (std::find(labels_.begin(), labels_.end(), label) != labels_.end()) return true;
    start = dot + 1;
  }
  return false;
}

}  // namespace nv
