#pragma once
#include <string>

#include "store/list_box.h"
#include "store/services.h"

namespace nv {

// Switches the HOSTS file between the block list (ad blocking on) and the
// user's own lines kept in "\data\hosts.bak" (off). The user's content must
// survive every sequence of starts, switches, crashes and exits, so:
// - every rewrite replaces the file in one step (temporary file, then move);
// - before a rewrite, lines someone else put into the HOSTS file are carried
//   into the backup, so they come back when blocking goes off;
// - a backup that cannot be read never turns into an empty HOSTS file.
class HostsRedirect {
 public:
  HostsRedirect(Services& services, const std::string& hostsPath)
      : s_(services), hostsPath_(hostsPath) {}

  void blockads(bool on);
  // Start-up: while Restore says the HOSTS file holds the user's content,
  // copy it into the backup and mark the HOSTS file as governed by it.
  void TakeBackup();
  // True while the HOSTS file is governed by the backup (Restore is "False"):
  // only then may the exit put the backup back.
  bool GovernedByBackup() const;

 private:
  // Norvane's own lines: the prefixed block list and the cached entries.
  struct OwnLines {
    ListBox blocked;
    ListBox cached;
  };
  OwnLines LoadOwnLines();
  std::string BlockedContent(const OwnLines& own);
  void CarryForeignLinesIntoBackup(const OwnLines& own);

  Services& s_;
  const std::string& hostsPath_;
  // What the HOSTS file holds as far as this run knows: the user's lines
  // (just backed up, or the backup written back), the block list, or unknown
  // (a run that ended without its exit sequence left it behind).
  enum class Holds { Unknown, UserLines, BlockList } holds_ = Holds::Unknown;
};

}  // namespace nv
