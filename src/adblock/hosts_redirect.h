#pragma once
#include <optional>
#include <string>
#include <vector>

#include "adblock/hosts_ownership.h"
#include "platform/file_probe.h"
#include "store/activity_log.h"
#include "store/list_box.h"
#include "store/services.h"

namespace nv {

struct SubscribedNames;

// Switches the HOSTS file between the block list (ad blocking on) and the
// user's own lines kept in "\data\hosts.bak" (off). The user's content must
// survive every sequence of starts, switches, edits of the lists, crashes and
// exits, other accounts and other programs that rewrite the file, so:
// - every rewrite replaces the file in one step (temporary file, then move);
// - "\data\hosts.own" records the lines Norvane put into the HOSTS file. It is
//   written before the HOSTS file is replaced and covers the old file's lines
//   and the new one's until the move is done, so a kill between the two
//   writes never makes Norvane's lines look like anybody else's;
// - the record alone says which lines are Norvane's (HostsOwnership, which
//   sees through another program's re-padding, line ends and byte order
//   mark). Before a rewrite every other line joins the backup, so it comes
//   back when blocking goes off;
// - nothing is written while no backup governs the file or the file is not
//   plain text, nor when a line's owner cannot be judged or the line cannot
//   be kept: a wrong guess would lose the user's lines, or make block lines
//   theirs for good;
// - the per-user Restore value does not decide alone: a HOSTS file that holds
//   lines of Norvane's is governed by the backup, whatever this account's
//   value says.
class HostsRedirect {
 public:
  HostsRedirect(Services& services, const std::string& hostsPath);

  // A failure leaves the HOSTS file as it was and is thrown to the caller's
  // trap. While no backup governs the file, or the file is not plain text,
  // nothing is written and the reason is shown once a run.
  void blockads(bool on);
  // Start-up: decides whether the backup governs the HOSTS file in this run.
  // With Restore "True" the file's lines are copied into the backup first,
  // unless the file holds lines of Norvane's: then the backup an earlier run
  // took (a killed one, another account's) still governs.
  void TakeBackup();
  // The uninstaller: the backup governs when Restore is "False" or the file
  // holds lines of Norvane's (or whose they are cannot be told).
  bool GovernsForHandBack();
  bool GovernedByBackup() const;
  // The subscribed block lists' names, written after the user's own list
  // while ad blocking is on; nullptr: none. The caller keeps them alive.
  void SetSubscribed(SubscribedNames* names) { subscribed_ = names; }
  // True when the HOSTS file holds the user's content as far as this run
  // knows: it was never governed by the backup, or the user's lines are in it
  // and nothing has replaced them since. Only then may the next start take a
  // new backup from it.
  bool UserContentInPlace() const;
  // The HOSTS file as Norvane's last write of this run left it, so that a
  // later change is known to be somebody else's.
  const FileStamp& LastWritten() const { return written_; }
  bool HoldsBlockList() const { return holds_ == Holds::BlockList; }
  const std::string& Path() const { return hostsPath_; }
  // One line in "\ads.log"; a log that cannot be written costs the line.
  void LogActivity(const std::string& line);

 private:
  // Norvane's own lines as the lists give them now.
  struct OwnLines {
    std::string address;  // where blocked names point ("127.0.0.1", "0.0.0.0")
    ListBox blocked;      // the block list, each line prefixed with the address
    ListBox cached;   // the cached entries, read only with UseDNS "1"
    bool useDns = false;
    bool read = true;  // false when a list could not be read
    int protectedLeftOut = 0;  // lines left out: Defender would reset the file
  };
  struct Record {
    enum class State { Read, Missing, Unreadable } state;
    std::string bytes;
  };
  enum class Note { NoBackup, NotText };

  OwnLines LoadOwnLines();
  Record ReadRecord();
  std::optional<std::string> ReadHostsIfAny();
  bool MayHoldOwnLines(const std::string& hosts);
  HostsOwnership Judge(const Record& record, const OwnLines* own);
  std::string KeepUsersLines(const std::string& hosts, const OwnLines* own);
  void CopyIntoBackup(const std::string& hosts);
  void CarryIntoBackup(const std::vector<std::string>& others);
  void WriteBlockList(const OwnLines& own, const std::string& norvaneNow, const std::string* hostsNow);
  void WriteUserLines();
  // The record in list-file form; it is rewritten only when it changes.
  void SaveRecord(const std::string& bytes);
  // After the HOSTS file was replaced a stale record only errs on the safe
  // side, so a failure to tighten it is logged and nothing more.
  void TightenRecord(const std::string& bytes);
  // Why nothing is written, once a run: on screen and in the error log.
  void SayOnce(Note note);
  void SayProtectedLeftOut(int count);
  // Running browsers see the new file only once the DNS Client forgot its
  // answers. A failure is logged once a run and shown nowhere.
  void FlushDnsCache();
  // After each write: the file's stamp, then the DNS Client's cache.
  void Written();

  Services& s_;
  const std::string& hostsPath_;
  ActivityLog activity_;  // "\ads.log"
  SubscribedNames* subscribed_ = nullptr;
  // What the HOSTS file holds as far as this run knows: the user's lines
  // (just backed up, or the backup written back), the block list, or unknown
  // (a run that ended without its exit sequence left it behind).
  enum class Holds { Unknown, UserLines, BlockList } holds_ = Holds::Unknown;
  // Until start-up (or the hand-back) has judged the file, only a Restore of
  // "False" says that a backup governs it.
  bool decided_ = false;
  bool governed_ = false;
  Note ungoverned_ = Note::NoBackup;  // why no backup governs, when none does
  bool said_[2] = {false, false};
  bool flushFailureLogged_ = false;
  FileStamp written_;
};

// Removes the "HOSTS.nvtmp<pid>" files that a process killed during a rewrite
// left beside the HOSTS file. A rewrite in flight keeps its file open, and
// Windows refuses to delete it.
void RemoveHostsLeftOvers(Files& files, const std::string& hostsPath);

}  // namespace nv
