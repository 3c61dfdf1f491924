#pragma once
#include <string>

#include "store/services.h"

namespace nv {

// Where the HOSTS file points blocked names, stored in section "Settings".
// "127.0.0.1" sends a browser to the replacement server (pictures, counted
// ads), but today's browsers ask the user before a public page may reach
// the local machine: Firefox does so on every site with a blocked ad.
// "0.0.0.0" fails every request at once and asks nothing; nothing reaches
// Norvane, so nothing is counted.
namespace redirect {
inline constexpr char kKey[] = "RedirectAddress";
inline constexpr char kLoopback[] = "127.0.0.1";
inline constexpr char kNowhere[] = "0.0.0.0";
inline constexpr int kCsidlAppData = 26;
inline constexpr char kFirefoxProfiles[] = "\\Mozilla\\Firefox\\profiles.ini";
}  // namespace redirect

// The stored address. Until one is stored (the first start), or when the
// stored text is neither address, the choice is made and stored: "0.0.0.0"
// for a user with a Firefox profile, whose every page would stop at a
// prompt, else "127.0.0.1". A choice that cannot be stored is still used.
std::string RedirectAddress(Services& services);
// The same address, but nothing is stored or logged (what a dialog shows
// before the user applies anything).
std::string PeekRedirectAddress(Services& services);

// The address as the start of a HOSTS line: the address and one space.
inline std::string RedirectPrefix(const std::string& address) { return address + ' '; }

}  // namespace nv
