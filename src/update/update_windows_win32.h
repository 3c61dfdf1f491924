#pragma once
#include <windows.h>

#include "update/update_views.h"

namespace nv {

// The windows of live update: the hidden checker, the prompt "Update?" and
// the manual window "Internet Product Update".
class Win32UpdateViews : public UpdateViews {
 public:
  explicit Win32UpdateViews(HINSTANCE inst) : inst_(inst) {}
  std::unique_ptr<CheckerView> MakeChecker(Form5& form) override;
  std::unique_ptr<UpdateFormView> MakePrompt(frmauto& form) override;
  std::unique_ptr<UpdateFormView> MakeManual(xpUpdate& form) override;

 private:
  HINSTANCE inst_;
};

}  // namespace nv
