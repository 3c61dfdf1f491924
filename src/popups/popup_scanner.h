#pragma once
#include "store/list_box.h"
#include "store/services.h"

namespace nv {

// Closes toolbar-less browser and folder windows in the foreground unless
// their caption holds an entry of the popup allow list.
class PopupScanner {
 public:
  explicit PopupScanner(Services& services) : s_(services) {}
  void killpopups(bool enabled);
  void PopupStep();
  ListBox lstpops;

 private:
  Services& s_;
};

}  // namespace nv
