#pragma once
#include <memory>
#include <string>

#include "update/fetch_slot.h"
#include "update/update_views.h"

namespace nv {

class LiveUpdate;

// The manual update window "Internet Product Update": "Check For Updates"
// asks the update server for the newest version and, when it is newer, shows
// its release notes and offers to download it.
class xpUpdate {
 public:
  explicit xpUpdate(LiveUpdate& live);
  ~xpUpdate();

  // "Current version" (Label7) gets the running version.
  void Form_Load();
  void Show();
  void command1_Click();  // "Check For Updates"
  void XpBs1_Click() { Unload(); }   // "Close"
  void Form_Unload() { Unload(); }   // the close box
  void Unload();
  bool Loaded() const { return loaded_; }
  bool Checking() const { return checking_; }

 private:
  void OnVersion(const HttpAnswer& answer);
  void OnNews(const std::string& version, const HttpAnswer& answer);
  void Finish();
  void Fail(const HttpAnswer& answer);

  LiveUpdate& live_;
  std::unique_ptr<UpdateFormView> view_;
  FetchSlot inet1_;
  bool loaded_ = false;
  bool checking_ = false;
};

}  // namespace nv
