#include "store/error_box.h"

#include "platform/dialogs.h"
#include "store/store.h"

namespace nv {

std::string ErrorBoxText(const AppError& e) { return std::to_string(e.number) + " : " + e.description; }

void ShowErrorBox(Dialogs& dialogs, const AppError& e, WindowHandle owner) {
  dialogs.Show(ErrorBoxText(e), "Error", kBoxOk | kBoxCritical, owner);
}

void ReportError(Dialogs& dialogs, Store& store, const AppError& e, WindowHandle owner) {
  ShowErrorBox(dialogs, e, owner);
  store.LogError(e);
}

}  // namespace nv
