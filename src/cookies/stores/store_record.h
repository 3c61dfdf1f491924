#pragma once
#include <string>

#include "cookies/stores/browser_profiles.h"
#include "cookies/stores/store_cleaning.h"

namespace nv {

// The "\cookies.log" line of one cleaned store: browser, profile and file,
// how many cookies of which sites went, " deleted on " and the date-time
// text. Never a cookie's name or value.
//   Chrome, profile "Person 1", C:\...\Network\Cookies: 3 cookies of ads.example (2), x.test (1) deleted on ...
std::string StoreRecord(const CookieStoreInfo& store, const StoreCleaning& cleaning, const std::string& dateTime);

// The sites named at most in one line; the rest are counted.
inline constexpr int kSitesPerRecord = 25;

}  // namespace nv
