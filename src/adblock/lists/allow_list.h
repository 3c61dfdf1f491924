#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "adblock/lists/name_set.h"

namespace nv {

// Names never to block from a subscription, each with all of its subdomains:
// allowing "example.com" also lets "cdn.example.com" through, since the
// entry that breaks a site is rarely the name the user sees.
class AllowList {
 public:
  AllowList() = default;
  // Entries as the list file holds them; case does not matter, a leading
  // "*." or "." means the same as the name alone.
  explicit AllowList(const std::vector<std::string>& entries);
  bool Empty() const { return names_.Empty(); }
  // name in lower case, as a NameSet holds it.
  bool Allows(std::string_view name) const;

 private:
  NameSet names_;
};

}  // namespace nv
