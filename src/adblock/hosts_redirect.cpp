#include "adblock/hosts_redirect.h"

#include "store/list_file.h"
#include "store/logs.h"
#include "store/paths.h"

namespace nv {

void HostsRedirect::blockads(bool on) {
  Store& st = s_.store;
  try {
    if (on) {
      st.LoadListFile(st.lstFile, st.Path(paths::kHostsList), "127.0.0.1 ");
      st.SaveListFile(st.lstFile, hostsPath_, false);
      if (s_.settings.Get(keys::kSettings, keys::kUseDNS, "0") == "1") {
        st.LoadListFile(st.lstFile, st.Path(paths::kDnsList));
        st.AppendListFile(st.lstFile, hostsPath_);
      }
    } else {
      st.LoadListFile(st.lstFile, st.Path(paths::kHostsBackup));
      st.SaveListFile(st.lstFile, hostsPath_, false);
    }
  } catch (const AppError& e) {
    ReportError(*s_.platform.dialogs, st, e);
  }
}

void HostsRedirect::TakeBackup() {
  if (s_.settings.Get(keys::kData, keys::kRestore, "True") != "True") return;
  Store& st = s_.store;
  st.EnsureFileExists(hostsPath_);
  st.LoadListFile(st.lstFile, hostsPath_);
  st.SaveListFile(st.lstFile, st.Path(paths::kHostsBackup), false);
  s_.settings.Save(keys::kData, keys::kRestore, "False");
}

}  // namespace nv
