#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace nv {

// Which cookies of a browser's store the allow list keeps, by the cookie's
// host ("mail.example.com", or ".example.com" for a domain cookie). The
// entries are what the dialog's hint asks for, bare site names: "example"
// keeps every host with "example" as one of its dot-separated labels
// (example.com, mail.example.com, example.co.uk, not notexample.com). An
// entry with a dot ("example.com") keeps that host and its subdomains. Letter
// case never matters. No entries: nothing is kept.
class KeepRule {
 public:
  KeepRule() = default;
  explicit KeepRule(const std::vector<std::string>& entries);
  bool Keeps(std::string_view host) const;
  bool KeepsNothing() const { return labels_.empty() && domains_.empty(); }

 private:
  std::vector<std::string> labels_;   // entries without a dot, lower case
  std::vector<std::string> domains_;  // entries with a dot, lower case
};

// The host as the logs show it: without the leading dot of a domain cookie,
// in lower case.
std::string SiteOfHost(std::string_view host);

}  // namespace nv
