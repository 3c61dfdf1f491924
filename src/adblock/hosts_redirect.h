#pragma once
#include <string>
#include <vector>

#include "store/list_box.h"
#include "store/services.h"

namespace nv {

// Switches the HOSTS file between the block list (ad blocking on) and the
// user's own lines kept in "\data\hosts.bak" (off). The user's content must
// survive every sequence of starts, switches, edits of the lists, crashes and
// exits, so:
// - every rewrite replaces the file in one step (temporary file, then move);
// - "\data\hosts.own" records the lines Norvane put into the HOSTS file. It is
//   written before the HOSTS file is replaced and covers the old file's lines
//   and the new one's until the move is done, so a kill between the two
//   writes never makes Norvane's lines look like anybody else's;
// - before a rewrite, lines that are neither in that record nor in the lists
//   were put there by someone else: they join the backup, so they come back
//   when blocking goes off. When the record or a list cannot be read nothing
//   is carried, since a wrong guess would make block lines the user's for good;
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
  // True when the HOSTS file holds the user's content as far as this run
  // knows: it was never governed by the backup, or the user's lines are in it
  // and nothing has replaced them since. Only then may the next start take a
  // new backup from it.
  bool UserContentInPlace() const;

 private:
  // Norvane's own lines as the lists give them now.
  struct OwnLines {
    ListBox blocked;  // the prefixed block list
    ListBox cached;   // the cached entries, read only with UseDNS "1"
    bool useDns = false;
    bool read = true;  // false when a list could not be read
  };
  enum class RecordState { Read, Missing, Unreadable };

  OwnLines LoadOwnLines();
  std::vector<std::string> CarryForeignLinesIntoBackup(const OwnLines& own);
  void WriteBlockList(const OwnLines& own, const std::vector<std::string>& strays);
  void WriteUserLines();
  RecordState LoadRecord(ListBox& lines);
  // The record in list-file form; it is rewritten only when it changes.
  void SaveRecord(const std::string& bytes);
  // After the HOSTS file was replaced a stale record only errs on the safe
  // side, so a failure to tighten it is logged and nothing more.
  void TightenRecord(const std::string& bytes);

  Services& s_;
  const std::string& hostsPath_;
  // What the HOSTS file holds as far as this run knows: the user's lines
  // (just backed up, or the backup written back), the block list, or unknown
  // (a run that ended without its exit sequence left it behind).
  enum class Holds { Unknown, UserLines, BlockList } holds_ = Holds::Unknown;
};

}  // namespace nv
