// The "Ad&Blocking" tab's Add refuses the names that Windows Defender
// protects: a HOSTS file redirecting one of them is reset whole by Defender,
// so blocking would end for every name, with an alarm naming Norvane.
#include "adblock/protected_names.h"
#include "platform/dialogs.h"
#include "settings/frm_settings.h"
#include "store/vendor.h"

namespace nv {

// Task-modal, as the dialog's other boxes; the entry stays for correcting.
bool frmSettings::RefusedAsProtected(const std::string& text) {
  if (!HoldsProtectedName(text)) return false;
  s_.platform.dialogs->Show(
      text +
          " cannot be blocked: Windows Defender treats a HOSTS file that redirects this Microsoft or Windows name "
          "as a hijack and resets the whole file, which would end all ad blocking. Windows Update, Defender and "
          "SmartScreen need these names.",
      kProductTitle, kBoxOk | kBoxExclamation | kBoxTaskModal, view_.BoxOwner());
  return true;
}

}  // namespace nv
