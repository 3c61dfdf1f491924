#pragma once
#include <memory>
#include <string>

#include "update/fetch_slot.h"
#include "update/update_views.h"

namespace nv {

class LiveUpdate;

// The prompt "Update?" that the checker opens when a newer version is out:
// "&Yes" downloads it and ends the program, "&No" ends the automatic checks
// until the next start, and the third button shows the release notes.
class frmauto {
 public:
  explicit frmauto(LiveUpdate& live);
  ~frmauto();

  // "Current Version" (Label4) gets the running version.
  void Form_Load();
  // "Update Version" (Label5).
  void SetUpdateVersion(const std::string& text);
  // The checker's showing: brought forward, never activated.
  void Show();
  void XpBs1_Click();  // "&Yes"
  void XpBs2_Click();  // "&No"
  void XpBs3_Click();  // "Read whats New in this update!"
  // The close box: only the prompt goes; the checker keeps checking.
  void Form_Unload() { Unload(); }
  void Unload();
  bool Loaded() const { return loaded_; }

 private:
  void OnNews(const HttpAnswer& answer);

  LiveUpdate& live_;
  std::unique_ptr<UpdateFormView> view_;
  FetchSlot inet1_;
  bool loaded_ = false;
};

}  // namespace nv
