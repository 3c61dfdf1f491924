#include "cookies/stores/store_record.h"

#include <algorithm>

namespace nv {

namespace {
std::string Cookies(int n) { return std::to_string(n) + (n == 1 ? " cookie" : " cookies"); }
}  // namespace

std::string StoreRecord(const CookieStoreInfo& store, const StoreCleaning& cleaning, const std::string& dateTime) {
  std::string line = store.browser + ", profile \"" + store.profile + "\", " + store.path + ": " +
                     Cookies(cleaning.deleted) + " of ";
  const int named = std::min<int>(kSitesPerRecord, static_cast<int>(cleaning.sites.size()));
  for (int i = 0; i < named; ++i) {
    const auto& [site, count] = cleaning.sites[static_cast<size_t>(i)];
    line += (i ? ", " : "") + (site.empty() ? std::string("(no site)") : site) + " (" + std::to_string(count) + ")";
  }
  if (const size_t rest = cleaning.sites.size() - static_cast<size_t>(named); rest > 0)
    line += " and " + std::to_string(rest) + (rest == 1 ? " other site" : " other sites");
  return line + " deleted on " + dateTime;
}

}  // namespace nv
