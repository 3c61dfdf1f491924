#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "adblock/lists/name_set.h"

namespace nv {

struct LocalTime;

// Files of the subscriptions, relative to the program folder.
namespace paths {
inline constexpr char kSubscriptionsList[] = "\\data\\lists.svr";
inline constexpr char kAllowList[] = "\\data\\allow.svr";
inline constexpr char kSubscriptionsState[] = "\\data\\lists.state";
}  // namespace paths

// Shipped, on and removable: a hosts-format list that is kept up to date
// daily and published under the MIT licence.
inline constexpr char kDefaultSubscription[] = "https://raw.githubusercontent.com/StevenBlack/hosts/master/hosts";

// The states a subscription shows besides an error's own text.
inline constexpr char kStateUpToDate[] = "up to date";
inline constexpr char kStateNotModified[] = "not modified";
inline constexpr char kStateWaiting[] = "not fetched yet";
inline constexpr char kStateFetching[] = "updating";

// One subscribed list: what its last good answer was and how the last
// attempt went. Kept in "\data\lists.state" between runs.
struct Subscription {
  std::string url;
  size_t count = 0;          // names in the last good copy
  std::string lastGood;      // local time of the last good answer, "YYYY-MM-DD HH:MM:SS"; "" never
  std::string state = kStateWaiting;
  std::string etag, lastModified;  // of the last good answer, for the next conditional request
  std::shared_ptr<const NameSet> names;  // the last good copy's names; null until read
  bool fetching = false;
};

// The last good copy's file: "\data\list-<hash of the address>.txt".
std::string CopyFileName(const std::string& url);

// The state file's bytes: a line per subscription, fields split by tabs.
std::string FormatSubscriptionState(const std::vector<Subscription>& subs);
// Fills in the state of the subscriptions whose addresses the bytes name.
void ParseSubscriptionState(const std::string& bytes, std::vector<Subscription>& subs);

// Times as the state file holds them; minutes since 1970 for the schedule.
std::string TimeText(const LocalTime& t);
// -1 when text is no such time.
std::int64_t MinutesOf(const std::string& text);
std::int64_t MinutesOf(const LocalTime& t);

// Only encrypted addresses are fetched, except the machine's own (loopback),
// which never leaves it.
bool MayFetch(const std::string& url);

}  // namespace nv
