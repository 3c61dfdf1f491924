#include "popups/popup_scanner.h"

namespace nv {

void PopupScanner::killpopups(bool enabled) { lstpops.Clear(); }
void PopupScanner::PopupStep() {}

}  // namespace nv
