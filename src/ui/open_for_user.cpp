#include "ui/open_for_user.h"

#include "platform/dialogs.h"
#include "platform/shell.h"
#include "store/vendor.h"

namespace nv {

namespace {
constexpr char kNotOpened[] =
    "Norvane! runs as administrator, and Windows could not open this in your own desktop: started from here, "
    "your browser would run as administrator too, and so would everything you download with it.\r\n\r\n"
    "Please open it in your browser yourself:\r\n";
}  // namespace

bool OpenForUser(Shell& shell, Dialogs* dialogs, const std::string& verb, const std::string& file, int show) {
  if (!shell.Elevated()) {
    shell.Execute(verb, file, "", "", show);
    return true;
  }
  if (shell.ExecuteAsDesktopUser(verb, file, "", "", show)) return true;
  if (dialogs) dialogs->Show(kNotOpened + file, kProductTitle, kBoxOk | kBoxInformation);
  return false;
}

}  // namespace nv
