#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "adblock/lists/allow_list.h"
#include "adblock/lists/name_set.h"

namespace nv {

// Windows reads at most nine names on a HOSTS line; fewer, longer lines keep
// its DNS Client fast with a large list.
inline constexpr size_t kNamesPerHostsLine = 9;

// What the subscriptions add to the HOSTS file while ad blocking is on.
struct SubscribedNames {
  NameSet names;      // every subscription's last good copy, merged
  AllowList allow;    // never blocked, with subdomains
  // Names that must keep resolving (a browser's own services); empty: none.
  std::function<bool(std::string_view)> isProtected;
  std::string address = "127.0.0.1";  // where the names are sent
};

// The HOSTS lines for the subscribed names that the user's own block list
// does not already send (ownLines: its HOSTS lines, an address and a name
// each), that are not allowed and not protected: in the names' order, up to
// nine on a line, each line ending in CR LF. "" when no name is left.
std::string SubscribedHostsLines(const std::vector<std::string>& ownLines, const SubscribedNames& subscribed);

}  // namespace nv
