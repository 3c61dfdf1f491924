#include "settings/frm_comfirm.h"

#include "settings/frm_settings.h"
#include "settings/settings_texts.h"

namespace nv {

void frmComfirm::Show() {
  if (showing_) {
    view_.BringForward();
    return;
  }
  showing_ = true;
  Form_Load();
  view_.Open(label1_);
}

// The box has changed already: the question is about its new state.
void frmComfirm::Form_Load() {
  askedChecked_ = settings_.Checked(SettingsCheck::chkallcookies);
  label1_ = askedChecked_ ? settings_text::kAskDeleteAll : settings_text::kAskKeepListed;
}

void frmComfirm::XpBs1_Click() {
  settings_.SetCheck(SettingsCheck::chkallcookies, askedChecked_);
  settings_.UpdateCookieListState();
  Unload();
}

// Putting the box back runs its click reaction while this dialog still
// shows, which only brings it forward. The site list then follows the box
// again: a box that was checked when the settings dialog opened had
// disabled the list, and unchecking it must enable the list.
void frmComfirm::XpBs2_Click() {
  settings_.SetCheck(SettingsCheck::chkallcookies, !askedChecked_);
  settings_.UpdateCookieListState();
  Unload();
}

void frmComfirm::Unload() {
  if (!showing_) return;
  showing_ = false;
  view_.Close();
}

}  // namespace nv
