#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "adblock/lists/hosts_lines.h"
#include "adblock/lists/list_parser.h"
#include "adblock/lists/subscription.h"
#include "platform/timers.h"
#include "store/services.h"

namespace nv {

struct HttpAnswer;

inline constexpr std::size_t kListMaxBytes = 32u * 1024 * 1024;
inline constexpr unsigned kListTimeoutMs = 60000;
inline constexpr std::size_t kFewestNames = 100;
inline constexpr std::int64_t kRefreshMinutes = 24 * 60;
inline constexpr unsigned kMostDelayMinutes = 30;

// The subscribed block lists of the running program: which lists, their last
// good copies in the program folder, the allow list, and when to fetch.
// Fetches go through the HTTP seam and parsing and merging run on a worker,
// so the UI thread never waits for a list; a failed or implausible answer
// keeps the last good copy, which is also what a start without a network
// uses. Whenever the merged names change, changed() runs (the owner rewrites
// the HOSTS file if ad blocking is on).
class BlockLists {
 public:
  BlockLists(Services& services, std::function<void()> changed);
  ~BlockLists();

  // What the HOSTS file gets. The owner may set isProtected and address.
  SubscribedNames& Names() { return names_; }
  const std::vector<Subscription>& Subscriptions() const { return subs_; }

  // Start-up: reads the lists, their state and copies, then fetches the
  // lists whose last good answer is older than a day, and every day after.
  void Start();
  // After the settings dialog wrote the two list files: new subscriptions are
  // fetched at once, removed ones go, the allow list takes effect.
  void Reload();
  // The tab's "Update now": every subscription, whatever its age.
  void UpdateNow();
  // Runs after any subscription's state changed (the tab shows it).
  void SetStateShown(std::function<void()> shown) { shown_ = std::move(shown); }

 private:
  void ReadLists(bool dropGone);
  void LoadCopies();
  void FetchDue();
  void Fetch(Subscription& sub);
  void Answered(const std::string& url, const HttpAnswer& answer);
  void Parsed(const std::string& url, const ParsedList& parsed, const std::string& body, const HttpAnswer& answer);
  void Merge();
  void Schedule();
  void Saved();
  Subscription* Find(const std::string& url);
  std::string Now();

  Services& s_;
  std::function<void()> changed_;
  std::function<void()> shown_;
  std::vector<Subscription> subs_;
  SubscribedNames names_;
  Timers::Id timer_ = 0;
  std::uint32_t generation_ = 0;  // of the subscriptions' names
  bool started_ = false;
  bool merging_ = false, mergeAgain_ = false;
  std::shared_ptr<BlockLists*> self_ = std::make_shared<BlockLists*>(this);
};

}  // namespace nv
