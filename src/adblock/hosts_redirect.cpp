#include "adblock/hosts_redirect.h"

#include <unordered_set>

#include "platform/files.h"
#include "store/list_file.h"
#include "store/logs.h"
#include "store/paths.h"

namespace nv {

namespace {
constexpr char kBlockPrefix[] = "127.0.0.1 ";
}

bool HostsRedirect::GovernedByBackup() const {
  return s_.settings.Get(keys::kData, keys::kRestore, "True") == "False";
}

void HostsRedirect::TakeBackup() {
  if (s_.settings.Get(keys::kData, keys::kRestore, "True") != "True") return;
  Store& st = s_.store;
  st.EnsureFileExists(hostsPath_);
  if (!st.LoadListFile(st.lstFile, hostsPath_))
    throw AppError(err::kPathFileAccess, "The HOSTS file " + hostsPath_ + " cannot be read");
  st.SaveListFile(st.lstFile, st.Path(paths::kHostsBackup), true);
  s_.settings.Save(keys::kData, keys::kRestore, "False");
  holds_ = Holds::UserLines;
}

HostsRedirect::OwnLines HostsRedirect::LoadOwnLines() {
  OwnLines own;
  s_.store.LoadListFile(own.blocked, s_.store.Path(paths::kHostsList), kBlockPrefix);
  s_.store.LoadListFile(own.cached, s_.store.Path(paths::kDnsList));
  return own;
}

// The block list, then (with UseDNS "1") the cached entries: the whole file at
// once, so that it replaces the HOSTS file in one step.
std::string HostsRedirect::BlockedContent(const OwnLines& own) {
  std::string content = FormatListFile(own.blocked.Items());
  if (s_.settings.Get(keys::kSettings, keys::kUseDNS, "0") == "1") content += FormatListFile(own.cached.Items());
  return content;
}

// While the HOSTS file holds the user's lines, it is the user's content: the
// backup becomes a copy of it, so additions and removals both count. While it
// holds the block list (or nobody knows), lines that are neither Norvane's own
// nor already in the backup were added by someone else: they join the backup.
void HostsRedirect::CarryForeignLinesIntoBackup(const OwnLines& own) {
  Store& st = s_.store;
  ListBox current;
  if (!s_.platform.files->CanOpenForRead(hostsPath_) || !st.LoadListFile(current, hostsPath_)) return;
  const std::string backupPath = st.Path(paths::kHostsBackup);
  if (holds_ == Holds::UserLines) {
    // Right after the start-up backup nothing has changed: spare the rewrite.
    if (!st.files().CanOpenForRead(backupPath) ||
        st.files().ReadAll(backupPath) != FormatListFile(current.Items()))
      st.SaveListFile(current, backupPath, false);
    return;
  }
  ListBox backup;
  if (!st.LoadListFile(backup, backupPath)) return;
  bool added = false;
  for (const std::string& line : current.Items())
    if (own.blocked.IndexOf(line) < 0 && own.cached.IndexOf(line) < 0) added |= backup.AddUnique(line);
  if (added) st.SaveListFile(backup, backupPath, false);
}

void HostsRedirect::blockads(bool on) {
  Store& st = s_.store;
  try {
    const bool governed = GovernedByBackup();
    OwnLines own;
    if (on || (governed && holds_ != Holds::UserLines)) own = LoadOwnLines();
    if (governed) CarryForeignLinesIntoBackup(own);
    if (on) {
      s_.platform.files->WriteAtomic(hostsPath_, BlockedContent(own));
      holds_ = Holds::BlockList;
      return;
    }
    if (!st.LoadListFile(st.lstFile, st.Path(paths::kHostsBackup)))
      throw AppError(err::kFileNotFound, "The HOSTS backup " + st.Path(paths::kHostsBackup) +
                                             " cannot be read; the HOSTS file was left as it is");
    st.SaveListFile(st.lstFile, hostsPath_, true);
    holds_ = Holds::UserLines;
  } catch (const AppError& e) {
    st.lstFile.Clear();
    ReportError(*s_.platform.dialogs, st, e);
  }
}

}  // namespace nv
