// The "Ad&Blocking" tab's choice of where blocked names point. Apply stores
// it before the HOSTS file is rebuilt, so the file takes the new form at once.
#include "adblock/redirect_address.h"
#include "settings/frm_settings.h"
#include "settings/redirect_choices.h"

namespace nv {

namespace {
int IndexOf(const std::string& address) {
  for (int i = 0; i < kRedirectChoiceCount; ++i)
    if (address == kRedirectChoices[i]) return i;
  return 0;
}
}  // namespace

// The stored value, or the first start's choice; opening stores nothing.
void frmSettings::LoadRedirect() {
  redirect_ = IndexOf(PeekRedirectAddress(s_));
  ShowRedirect();
}

void frmSettings::ShowRedirect() {
  view_.ShowRedirect(redirect_);
  view_.SetColoursEnabled(kRedirectChoices[redirect_] == std::string(redirect::kLoopback));
}

void frmSettings::cboredirect_Click(int index) {
  if (index < 0 || index >= kRedirectChoiceCount) return;
  redirect_ = index;
  ShowRedirect();
  EnableApply();
}

// Only a choice that differs from what the program would use is written:
// an untouched control leaves the store as it was.
void frmSettings::SaveRedirect() {
  if (PeekRedirectAddress(s_) != kRedirectChoices[redirect_])
    s_.settings.Save(keys::kSettings, redirect::kKey, kRedirectChoices[redirect_]);
}

}  // namespace nv
