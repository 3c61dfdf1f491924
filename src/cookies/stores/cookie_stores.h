#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cookies/stores/browser_profiles.h"
#include "cookies/stores/keep_rule.h"
#include "cookies/stores/store_cleaning.h"
#include "platform/file_probe.h"
#include "store/services.h"

namespace nv {

// The cookie databases of today's browsers, cleaned against the cookie allow
// list beside the sweep of the cookies folder.
//
// The tick looks at one store at a time, in turn, and only cheaply: its size
// and write time, and whether its browser holds it (the database open, or
// the browser's own lock). A store is cleaned when its browser is closed, and
// then again only when it changed since. The cleaning itself runs on a worker
// (Background); its result comes back as an event of the UI thread, which
// logs and counts it. Without a file probe or a worker nothing is cleaned.
class CookieStores {
 public:
  explicit CookieStores(Services& services) : s_(services) {}
  CookieStores(const CookieStores&) = delete;
  CookieStores& operator=(const CookieStores&) = delete;

  // Finds the stores again and takes the allow list (empty: every cookie
  // goes). Every store is cleaned anew with it.
  void Reload(const std::vector<std::string>& allowList);
  // The tick's look at the next store.
  void Step();
  // The stores found at the last Reload (found now when there was none).
  std::vector<CookieStoreInfo> Found();
  // The dialog's line under the list: "Cleans cookies of: Edge, Chrome,
  // Firefox — when they are closed". UTF-8 (the dash).
  std::string BrowsersLine();
  // True while a cleaning runs on the worker.
  bool Cleaning() const;

  // The tick looks at one store at most this often; a store its browser
  // holds is looked at again only after the longer pause, so that a running
  // browser costs the tick next to nothing.
  static constexpr std::uint64_t kLookEveryMs = 250;
  static constexpr std::uint64_t kHeldPauseMs = 2000;

  // What cleans one store on the worker: CleanCookieStore, or a test's stand-in.
  using Cleaner = std::function<StoreCleaning(const std::string& path, StoreKind kind, const KeepRule& rule)>;
  void SetCleaner(Cleaner cleaner) { cleaner_ = std::move(cleaner); }

 private:
  struct State {
    CookieStoreInfo info;
    FileStamp cleaned;      // as the last cleaning (or failure) left it
    bool settled = false;   // cleaned or failed since the last Reload
    bool running = false;   // on the worker now
    std::uint64_t heldUntil = 0;  // its browser held it: no look before then
  };

  void Find();
  bool BrowserHolds(State& st, const FileStamp& now);
  void Start(size_t index);
  void Finish(std::uint32_t generation, size_t index, const CookieStoreInfo& info, const StoreCleaning& r);
  void Record(const CookieStoreInfo& info, const StoreCleaning& r);
  void Count(int deleted);
  void ReportOnce(const CookieStoreInfo& info, int number, const std::string& what);

  Services& s_;
  Cleaner cleaner_ = CleanCookieStore;
  std::vector<State> stores_;
  bool found_ = false;
  std::shared_ptr<const KeepRule> rule_ = std::make_shared<KeepRule>();
  size_t next_ = 0;
  std::uint64_t lastLook_ = 0;
  bool looked_ = false;
  std::uint32_t generation_ = 0;
  std::set<std::string> reported_;  // stores whose failure err.log has this run
  bool limitReported_ = false;
  // Results that come back after this object is gone find it expired.
  std::shared_ptr<CookieStores*> self_ = std::make_shared<CookieStores*>(this);
};

}  // namespace nv
