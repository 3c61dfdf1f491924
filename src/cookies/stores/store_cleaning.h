#pragma once
#include <string>
#include <utility>
#include <vector>

#include "cookies/stores/browser_profiles.h"
#include "cookies/stores/keep_rule.h"

namespace nv {

// What one cleaning of one store came to.
struct StoreCleaning {
  enum class Outcome {
    Cleaned,  // committed (perhaps with nothing to delete)
    Busy,     // another program holds the database: untouched, try again later
    Failed,   // damaged, or not a schema we know: untouched
  };
  Outcome outcome = Outcome::Busy;
  int deleted = 0;
  // Cookies deleted per site (host without its leading dot), most first.
  std::vector<std::pair<std::string, int>> sites;
  std::string failure;  // Failed: what went wrong, in a few words
};

// Deletes, in one transaction, every cookie of the store that the rule does
// not keep. SQLite does all the locking: the database is never copied or
// renamed, and a browser that opens it meanwhile finds it as it was or as it
// is after the commit. Never waits long for a lock; never creates a file.
// Safe to run on any thread (one connection per call).
StoreCleaning CleanCookieStore(const std::string& path, StoreKind kind, const KeepRule& rule);

}  // namespace nv
