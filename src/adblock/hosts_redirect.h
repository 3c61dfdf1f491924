#pragma once
#include <string>

#include "store/services.h"

namespace nv {

// Switches the HOSTS file between the block list (ad blocking on) and the
// user's own lines kept in "\data\hosts.bak" (off).
class HostsRedirect {
 public:
  HostsRedirect(Services& services, const std::string& hostsPath)
      : s_(services), hostsPath_(hostsPath) {}

  void blockads(bool on);
  // Start-up: while Restore says the HOSTS file holds the user's content,
  // copy it into the backup and mark the HOSTS file as governed by it.
  void TakeBackup();

 private:
  Services& s_;
  const std::string& hostsPath_;
};

}  // namespace nv
