#pragma once
#include <string>

#include "store/services.h"

namespace nv {

// What the uninstaller does to the HOSTS file before the program folder, and
// the backup in it, goes away: afterwards the file holds the user's lines and
// can be edited again.
struct HostsHandback {
  enum class Outcome {
    Untouched,      // the last run ended through its exit sequence
    Restored,       // a killed run's block list was replaced by the backup
    BackupMissing,  // nothing to restore from: the file was left as it is
    Failed,         // the file could not be written; the backup must be kept
  };
  Outcome outcome;
  std::string message;  // one line for the uninstall log
};

// Norvane must have ended first. While the HOSTS file is governed by the
// backup (this account's Restore says so, or the file holds lines of
// Norvane's, whichever account's run left them), the backup is put back
// exactly as the exit sequence would; a read-only attribute is taken off
// first. The read-only attribute the exit sequence leaves on the HOSTS file
// is taken off in every case: no Norvane will be there to take it off again.
// The temporary files of a rewrite that was cut short go too.
HostsHandback HandBackHosts(Services& services, const std::string& hostsPath);

}  // namespace nv
