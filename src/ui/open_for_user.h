#pragma once
#include <string>

namespace nv {

class Dialogs;
class Shell;

// Opens an address or document as the user would from the desktop, never
// with the administrator's rights that Norvane asks for: an elevated
// Norvane hands it to the desktop's shell, one that is not elevated opens it
// itself. When the desktop's shell cannot take it, nothing is started (an
// elevated browser would run every download elevated, without a prompt):
// the user is told, with the address to open, and false is returned.
bool OpenForUser(Shell& shell, Dialogs* dialogs, const std::string& verb, const std::string& file, int show);

}  // namespace nv
