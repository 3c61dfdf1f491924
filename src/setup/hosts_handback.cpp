#include "setup/hosts_handback.h"

#include <vector>

#include "adblock/hosts_redirect.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "store/file_found.h"
#include "store/paths.h"
#include "store/settings.h"

namespace nv {

namespace {

// Collects the error boxes of the restore: the uninstaller shows no window of
// its own (it may run silently), it logs.
class CollectedBoxes : public Dialogs {
 public:
  using Dialogs::Show;
  int Show(const std::string& text, const std::string&, unsigned, WindowHandle) override {
    texts.push_back(text);
    return kAnswerOk;
  }
  std::vector<std::string> texts;
};

void ClearReadOnly(Files& files, const std::string& path) {
  if (!FileFound(files, path, kAttrReadOnly | kAttrHidden | kAttrSystem)) return;
  const unsigned attrs = files.GetAttributes(path);
  if (attrs & kAttrReadOnly) files.SetAttributes(path, attrs & ~static_cast<unsigned>(kAttrReadOnly));
}

}  // namespace

HostsHandback HandBackHosts(Services& s, const std::string& hostsPath) {
  Files& files = *s.platform.files;
  HostsHandback result{HostsHandback::Outcome::Untouched,
                       "The HOSTS file " + hostsPath + " holds your own lines; it was left as it is."};
  try {
    RemoveHostsLeftOvers(files, hostsPath);
    ClearReadOnly(files, hostsPath);
    const std::string backup = s.store.Path(paths::kHostsBackup);
    CollectedBoxes boxes;
    Platform quiet = s.platform;
    quiet.dialogs = &boxes;
    Services restoring{quiet, s.store, s.settings, s.counters};
    HostsRedirect redirect(restoring, hostsPath);
    if (!redirect.GovernsForHandBack()) return result;
    if (!files.Exists(backup))
      return {HostsHandback::Outcome::BackupMissing,
              "Norvane did not end normally, but its HOSTS backup " + backup +
                  " is missing: the HOSTS file " + hostsPath + " was left as it is."};
    redirect.blockads(false);
    if (!boxes.texts.empty())
      return {HostsHandback::Outcome::Failed, "The HOSTS file " + hostsPath +
                                                  " could not be given back your lines: " + boxes.texts.front()};
    s.settings.Save(keys::kData, keys::kRestore, "True");
    return {HostsHandback::Outcome::Restored,
            "The HOSTS file " + hostsPath + " got your own lines back from " + backup + "."};
  } catch (const AppError& e) {
    return {HostsHandback::Outcome::Failed,
            "The HOSTS file " + hostsPath + " could not be handed back: " + std::to_string(e.number) + " : " +
                e.description};
  }
}

}  // namespace nv
