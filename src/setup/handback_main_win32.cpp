// hosts_handback.exe "<program folder>": run by the uninstaller after Norvane
// has ended and before the program folder is removed. Prints one line for the
// uninstall log. Exit code 0: the HOSTS file holds the user's lines; 2: there
// was no backup to restore from (the file was left as it is); 1: the file
// could not be written, so the uninstaller must keep the folder and its backup.
#include <cstdio>
#include <string>

#include "adblock/hosts_location.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_services.h"
#include "setup/hosts_handback.h"
#include "store/counters.h"
#include "store/services.h"
#include "store/settings.h"
#include "store/store.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: hosts_handback \"<program folder>\"\n", stderr);
    return 1;
  }
  std::string folder = argv[1];
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();

  nv::Win32Files files;
  nv::Win32SettingsStore settingsStore;
  nv::Win32System system;
  nv::Platform platform;
  platform.files = &files;
  platform.settings = &settingsStore;
  platform.system = &system;
  nv::Store store(files, folder);
  nv::Settings settings(settingsStore);
  nv::Counters counters;
  nv::Services services{platform, store, settings, counters};

  // The same HOSTS file the program found at its start.
  std::string windowsDir = system.WindowsDirectory(255);
  if (windowsDir.empty()) windowsDir = "C:\\WINDOWS";
  std::string hosts = nv::FindHostsFile(files, windowsDir);
  if (hosts.empty()) hosts = nv::UsualHostsPath(windowsDir);

  const nv::HostsHandback result = nv::HandBackHosts(services, hosts);
  std::printf("%s\n", result.message.c_str());
  switch (result.outcome) {
    case nv::HostsHandback::Outcome::Failed: return 1;
    case nv::HostsHandback::Outcome::BackupMissing: return 2;
    default: return 0;
  }
}
