#pragma once
#include <string>

namespace nv {

class BlockLists;

// The main window as the settings dialog sees it.
class MainWindowLink {
 public:
  virtual ~MainWindowLink() = default;
  // Apply has written the lists and options: the main window rebuilds its
  // working state from them (HOSTS while "Block &Ads" is ticked, the cookie
  // and popup allow lists, the subscriptions). A failure goes to Apply's trap.
  virtual void Reload() = 0;
  // The browsers whose cookie stores the cookie step cleans, as the line
  // under the "&Cookies" tab's list says it (UTF-8); none by default.
  virtual std::string CookieStoresLine() { return {}; }
  // The block-list subscriptions of the running program, for the fifth tab:
  // their state and "Update now".
  virtual BlockLists* RunningLists() { return nullptr; }
};

}  // namespace nv
