#pragma once
#include <string>

#include "platform/desktop.h"
#include "platform/errors.h"

namespace nv {

class Dialogs;
class Store;

// "53 : File not found".
std::string ErrorBoxText(const AppError& e);
// The error box: number, " : ", description; critical icon, title "Error".
// owner: the window whose handler failed (0: none).
void ShowErrorBox(Dialogs& dialogs, const AppError& e, WindowHandle owner = 0);
// The error box, then the "\err.log" entry: the usual handling of a trap.
void ReportError(Dialogs& dialogs, Store& store, const AppError& e, WindowHandle owner = 0);

}  // namespace nv
