#pragma once
#include <string>

#include "store/list_box.h"
#include "store/services.h"

namespace nv {

// Deletes cookie files of sites that are not on the cookie allow list.
class CookieCleaner {
 public:
  explicit CookieCleaner(Services& services) : s_(services) {}
  void SetFolder(const std::string& folder) { folder_ = folder; }
  const std::string& Folder() const { return folder_; }
  void KillCookies(bool enabled);
  void CookieStep();
  ListBox lstCk;

 private:
  Services& s_;
  std::string folder_;
};

}  // namespace nv
