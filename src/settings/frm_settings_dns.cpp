// The "&DNS Caching" tab's Add: the site's address is learnt by connecting
// to it on port 80, and the entry pairs that address with the site's name
// as the HOSTS file will carry it.
#include <string_view>

#include "platform/dialogs.h"
#include "platform/host_name.h"
#include "settings/frm_settings.h"
#include "settings/settings_texts.h"
#include "store/list_file.h"

namespace nv {

namespace {
constexpr int kLookupPort = 80;

// A name that can follow the address in a HOSTS line as one name: no space
// or control character (they would split the line or end it) and no '#'
// (the rest of the line would be a comment).
bool FitsHostsLine(std::string_view name) { return IsHostNameText(name) && name.find('#') == std::string_view::npos; }

// The entry: address, one space, the name in the entry box now. When the
// box no longer holds one usable name (cleared, or edited into several
// words), the name that was looked up stands instead: the address is that
// name's. Empty when neither fits.
std::string CachedEntry(const std::string& address, std::string_view shown, const std::string& lookedUp) {
  if (address.empty()) return "";
  if (FitsHostsLine(shown)) return address + ' ' + std::string(shown);
  if (FitsHostsLine(lookedUp)) return address + ' ' + lookedUp;
  return "";
}
}  // namespace

// Add is enabled only for text, but Enter and a late click must find
// nothing to do in a blank box.
void frmSettings::cmdAddDns_Click() {
  const std::string name(TrimSpaces(Entry(SettingsList::lstdns)));
  if (name.empty()) return;
  ws_.Connect(name, kLookupPort);
}

// A present entry is only selected: its click reaction shows it in the box.
void frmSettings::ws_Connect() {
  const std::string entry =
      CachedEntry(ws_.RemoteHostIP(), TrimSpaces(Entry(SettingsList::lstdns)), ws_.RemoteHost());
  if (entry.empty()) return ws_Error();
  ListFamily& f = Family(SettingsList::lstdns);
  if (!f.list.AddUnique(entry)) return SelectEntry(SettingsList::lstdns, f.list.Selected());
  EnableApply();
  SelectLastItem(SettingsList::lstdns);
  SetEntry(SettingsList::lstdns, "");
  ShowCount(SettingsList::lstdns);
}

// Task-modal, so that the dialog waits for the answer; the dialog may still
// have gone meanwhile (the program's exit), and is then left alone.
void frmSettings::ws_Error() {
  const std::weak_ptr<const bool> alive = alive_;
  s_.platform.dialogs->Show(settings_text::kHostNotFound, settings_text::kLookupErrorTitle,
                            kBoxOk | kBoxCritical | kBoxTaskModal, view_.BoxOwner());
  if (alive.expired()) return;
  SetEntry(SettingsList::lstdns, "");
}

}  // namespace nv
