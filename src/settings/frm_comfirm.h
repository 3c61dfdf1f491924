#pragma once
#include <string>

#include "settings/settings_view.h"

namespace nv {

class frmSettings;

// The confirmation dialog of the delete-all-cookies option. It is modeless:
// the settings dialog goes on while it is open, and asks about the box's
// state at the moment it loaded.
class frmComfirm {
 public:
  frmComfirm(frmSettings& settings, ConfirmView& view) : settings_(settings), view_(view) {}

  // Loads and shows it; when it is showing already it stays as it is and is
  // only brought forward.
  void Show();
  bool Showing() const { return showing_; }
  const std::string& Label1() const { return label1_; }

  // "&Yes": the state the question asked about stands.
  void XpBs1_Click();
  // "&No" (and closing the window, which asks the same): the box goes back
  // to the state before that one. Both answers are about the state asked
  // about, even when the box was clicked again while the question showed.
  void XpBs2_Click();
  void Unload();

 private:
  void Form_Load();

  frmSettings& settings_;
  ConfirmView& view_;
  std::string label1_;
  bool askedChecked_ = false;  // the box's state that the question is about
  bool showing_ = false;
};

}  // namespace nv
