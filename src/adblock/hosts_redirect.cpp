#include "adblock/hosts_redirect.h"

#include "platform/files.h"
#include "store/list_file.h"
#include "store/logs.h"
#include "store/paths.h"

namespace nv {

namespace {
constexpr char kBlockPrefix[] = "127.0.0.1 ";

// Spares a rewrite that would not change the file.
void ReplaceIfChanged(Files& files, const std::string& path, const std::string& bytes) {
  try {
    if (files.CanOpenForRead(path) && files.ReadAll(path) == bytes) return;
  } catch (const AppError&) {
    // Unreadable: write it anew.
  }
  files.WriteAtomic(path, bytes);
}
}  // namespace

bool HostsRedirect::GovernedByBackup() const {
  return s_.settings.Get(keys::kData, keys::kRestore, "True") == "False";
}

bool HostsRedirect::UserContentInPlace() const {
  return !GovernedByBackup() || holds_ == Holds::UserLines;
}

void HostsRedirect::TakeBackup() {
  if (s_.settings.Get(keys::kData, keys::kRestore, "True") != "True") return;
  Store& st = s_.store;
  st.EnsureFileExists(hostsPath_);
  if (!st.LoadListFile(st.lstFile, hostsPath_))
    throw AppError(err::kPathFileAccess, "The HOSTS file " + hostsPath_ + " cannot be read");
  st.SaveListFile(st.lstFile, st.Path(paths::kHostsBackup), true);
  TightenRecord(FormatListFile({}));  // none of its lines are Norvane's
  s_.settings.Save(keys::kData, keys::kRestore, "False");
  holds_ = Holds::UserLines;
}

HostsRedirect::OwnLines HostsRedirect::LoadOwnLines() {
  OwnLines own;
  own.read = s_.store.LoadListFile(own.blocked, s_.store.Path(paths::kHostsList), kBlockPrefix);
  // The cache is no concern of a HOSTS file written without it.
  own.useDns = s_.settings.Get(keys::kSettings, keys::kUseDNS, "0") == "1";
  if (own.useDns) own.read &= s_.store.LoadListFile(own.cached, s_.store.Path(paths::kDnsList));
  return own;
}

// A record that was never written (the first run of this version) is no
// failure: the lists stand in for it, as they stood for it before.
HostsRedirect::RecordState HostsRedirect::LoadRecord(ListBox& lines) {
  const std::string path = s_.store.Path(paths::kHostsOwnLines);
  Files& files = *s_.platform.files;
  if (files.Size(path) < 0 && !files.CanOpenForRead(path)) return RecordState::Missing;
  return s_.store.LoadListFile(lines, path) ? RecordState::Read : RecordState::Unreadable;
}

void HostsRedirect::SaveRecord(const std::string& bytes) {
  ReplaceIfChanged(*s_.platform.files, s_.store.Path(paths::kHostsOwnLines), bytes);
}

void HostsRedirect::TightenRecord(const std::string& bytes) {
  try {
    SaveRecord(bytes);
  } catch (const AppError& e) {
    s_.store.LogError(e);
  }
}

// While the HOSTS file holds the user's lines, it is the user's content: the
// backup becomes a copy of it, so additions and removals both count. While it
// holds the block list (or nobody knows), a line that is neither in the record
// nor in the lists was added by someone else: it joins the backup. Returns
// Norvane's lines in the HOSTS file that the lists no longer give (all lines
// the lists do not give, when whose they are cannot be judged).
std::vector<std::string> HostsRedirect::CarryForeignLinesIntoBackup(const OwnLines& own) {
  Store& st = s_.store;
  ListBox current, recorded;
  if (!s_.platform.files->CanOpenForRead(hostsPath_) || !st.LoadListFile(current, hostsPath_)) {
    LoadRecord(recorded);
    return recorded.Items();
  }
  const std::string backupPath = st.Path(paths::kHostsBackup);
  if (holds_ == Holds::UserLines) {
    ReplaceIfChanged(*s_.platform.files, backupPath, FormatListFile(current.Items()));
    return {};
  }
  std::vector<std::string> others;
  for (const std::string& line : current.Items())
    if (!own.blocked.Contains(line) && !own.cached.Contains(line)) others.push_back(line);
  if (others.empty()) return {};  // the record is needed only for the lines the lists do not give
  const RecordState state = LoadRecord(recorded);
  const bool judged = state == RecordState::Read || (state == RecordState::Missing && own.read);
  std::vector<std::string> strays;
  ListBox backup;
  bool added = false;
  const bool carry = judged && own.read && st.LoadListFile(backup, backupPath);
  for (const std::string& line : others) {
    if (!judged || recorded.Contains(line)) strays.push_back(line);
    else if (carry) added |= backup.AddUnique(line);
  }
  if (added) st.SaveListFile(backup, backupPath, false);
  return strays;
}

// The block list, then (with UseDNS "1") the cached entries: the whole file at
// once, so that it replaces the HOSTS file in one step. Until it has, the
// record also covers the lines of the file it replaces.
void HostsRedirect::WriteBlockList(const OwnLines& own, const std::vector<std::string>& strays) {
  std::string content = FormatListFile(own.blocked.Items());
  if (own.useDns) content += FormatListFile(own.cached.Items());
  SaveRecord(strays.empty() ? content : content + FormatListFile(strays));
  s_.platform.files->WriteAtomic(hostsPath_, content);
  holds_ = Holds::BlockList;
  if (!strays.empty()) TightenRecord(content);
}

void HostsRedirect::WriteUserLines() {
  Store& st = s_.store;
  if (!st.LoadListFile(st.lstFile, st.Path(paths::kHostsBackup)))
    throw AppError(err::kFileNotFound, "The HOSTS backup " + st.Path(paths::kHostsBackup) +
                                           " cannot be read; the HOSTS file was left as it is");
  st.SaveListFile(st.lstFile, hostsPath_, true);
  holds_ = Holds::UserLines;
  TightenRecord(FormatListFile({}));
}

void HostsRedirect::blockads(bool on) {
  try {
    const bool governed = GovernedByBackup();
    OwnLines own;
    if (on || (governed && holds_ != Holds::UserLines)) own = LoadOwnLines();
    std::vector<std::string> strays;
    if (governed) strays = CarryForeignLinesIntoBackup(own);
    if (on)
      WriteBlockList(own, strays);
    else
      WriteUserLines();
  } catch (const AppError& e) {
    s_.store.lstFile.Clear();
    ReportError(*s_.platform.dialogs, s_.store, e);
  }
}

}  // namespace nv
