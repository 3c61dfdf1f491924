#include "adblock/hosts_redirect.h"

#include "adblock/protected_names.h"
#include "adblock/redirect_address.h"
#include "adblock/lists/hosts_lines.h"
#include "platform/dialogs.h"
#include "platform/dns_cache.h"
#include "platform/files.h"
#include "store/ascii_text.h"
#include "store/list_file.h"
#include "store/log_texts.h"
#include "store/paths.h"
#include "store/vendor.h"

namespace nv {

namespace {
constexpr char kLeftOverInfix[] = ".nvtmp";
constexpr int kInvalidCall = 5;  // Invalid procedure call or argument

// Spares a rewrite that would not change the file.
void ReplaceIfChanged(Store& store, const std::string& path, const std::string& bytes) {
  Files& files = store.files();
  try {
    if (files.CanOpenForRead(path) && files.ReadAll(path) == bytes) return;
  } catch (const AppError&) {
    // Unreadable: write it anew.
  }
  store.ReplaceFile(path, bytes);
}

// A file saved as UTF-16 (what Windows PowerShell 5.1 writes) or holding NUL
// bytes cannot be read line by line: it would come back corrupted.
bool IsPlainText(const std::string& bytes) {
  if (bytes.find('\0') != std::string::npos) return false;
  return bytes.compare(0, 2, "\xFF\xFE") != 0 && bytes.compare(0, 2, "\xFE\xFF") != 0;
}

// The file's bytes; a failure becomes the caller's description of what was
// left alone, with the cause's number.
std::string ReadOrThrow(Files& files, const std::string& path, const std::string& description) {
  try {
    return files.ReadAll(path);
  } catch (const AppError& e) {
    throw AppError(e.number, description);
  }
}

}  // namespace

HostsRedirect::HostsRedirect(Services& services, const std::string& hostsPath)
    : s_(services), hostsPath_(hostsPath), activity_(services.store, services.platform, services.store.Path(paths::kAdsLog)) {}

bool HostsRedirect::GovernedByBackup() const {
  if (decided_) return governed_;
  return s_.settings.Get(keys::kData, keys::kRestore, "True") == "False";
}

bool HostsRedirect::UserContentInPlace() const {
  return !GovernedByBackup() || holds_ == Holds::UserLines;
}

void HostsRedirect::TakeBackup() {
  const std::string restore = s_.settings.Get(keys::kData, keys::kRestore, "True");
  decided_ = true;
  governed_ = false;
  s_.store.CreateFileIfAbsent(hostsPath_);
  const std::string hosts =
      ReadOrThrow(*s_.platform.files, hostsPath_, "The HOSTS file " + hostsPath_ + " cannot be read");
  if (!IsPlainText(hosts)) {
    ungoverned_ = Note::NotText;
    SayOnce(Note::NotText);
    return;
  }
  if (restore != "False" && MayHoldOwnLines(hosts)) {
    governed_ = true;
    s_.settings.Save(keys::kData, keys::kRestore, "False");
    return;
  }
  if (restore == "True") {
    ListBox lines;
    Store::ParseListFile(hosts, lines);
    s_.store.SaveListFile(lines, s_.store.Path(paths::kHostsBackup), false);
    TightenRecord(FormatListFile({}));  // none of its lines are Norvane's
    s_.settings.Save(keys::kData, keys::kRestore, "False");
    holds_ = Holds::UserLines;
  }
  governed_ = restore == "True" || restore == "False";
}

bool HostsRedirect::GovernsForHandBack() {
  const bool restoreFalse = s_.settings.Get(keys::kData, keys::kRestore, "True") == "False";
  const std::optional<std::string> hosts = ReadHostsIfAny();
  decided_ = true;
  governed_ = restoreFalse || (hosts && MayHoldOwnLines(*hosts));
  return governed_;
}

HostsRedirect::OwnLines HostsRedirect::LoadOwnLines() {
  OwnLines own;
  own.address = RedirectAddress(s_);
  own.read = s_.store.LoadListFile(own.blocked, s_.store.Path(paths::kHostsList), RedirectPrefix(own.address));
  // The cache is no concern of a HOSTS file written without it.
  own.useDns = s_.settings.Get(keys::kSettings, keys::kUseDNS, "0") == "1";
  if (own.useDns) own.read &= s_.store.LoadListFile(own.cached, s_.store.Path(paths::kDnsList));
  own.protectedLeftOut = RemoveProtectedLines(own.blocked) + RemoveProtectedLines(own.cached);
  return own;
}

HostsRedirect::Record HostsRedirect::ReadRecord() {
  const std::string path = s_.store.Path(paths::kHostsOwnLines);
  Files& files = *s_.platform.files;
  if (!files.Exists(path)) return {Record::State::Missing, {}};
  try {
    return {Record::State::Read, files.ReadAll(path)};
  } catch (const AppError&) {
    return {Record::State::Unreadable, {}};  // the caller says what it left alone
  }
}

// Nothing of that name: nothing to keep. A file that exists but cannot be
// read is never replaced unread.
std::optional<std::string> HostsRedirect::ReadHostsIfAny() {
  Files& files = *s_.platform.files;
  if (!files.Exists(hostsPath_)) return std::nullopt;
  return ReadOrThrow(files, hostsPath_,
                     "The HOSTS file " + hostsPath_ + " cannot be read, so it was left as it is");
}

// A record that cannot be read may list any line: the safe side is that the
// backup governs. Without a record this folder's Norvane never wrote the file.
bool HostsRedirect::MayHoldOwnLines(const std::string& hosts) {
  const Record record = ReadRecord();
  if (record.state != Record::State::Read) return record.state == Record::State::Unreadable;
  HostsOwnership ownership;
  ownership.AddLines(record.bytes);
  return !SortByOwner(hosts, ownership).norvane.empty();
}

// The record alone decides. A record that was never written (a HOSTS file
// left blocking by a Norvane that kept none) lets the lists stand in for it.
HostsOwnership HostsRedirect::Judge(const Record& record, const OwnLines* own) {
  const std::string left = ", so the lines of the HOSTS file " + hostsPath_ +
                           " cannot be told apart from Norvane's; the file was left as it is";
  if (record.state == Record::State::Unreadable)
    throw AppError(err::kPathFileAccess, "The record " + s_.store.Path(paths::kHostsOwnLines) +
                                             " cannot be read" + left);
  HostsOwnership ownership;
  if (record.state == Record::State::Read) {
    ownership.AddLines(record.bytes);
    return ownership;
  }
  OwnLines loaded;
  if (!own) loaded = LoadOwnLines();
  const OwnLines& lists = own ? *own : loaded;
  if (!lists.read) throw AppError(err::kPathFileAccess, "There is no record of Norvane's own lines and "
                                                        "the block list or the address cache cannot be read" +
                                                            left);
  // The block lines of either address: the file may predate a switch.
  const std::string prefix = RedirectPrefix(lists.address);
  const std::string other =
      RedirectPrefix(lists.address == redirect::kNowhere ? redirect::kLoopback : redirect::kNowhere);
  for (const std::string& line : lists.blocked.Items()) {
    ownership.Add(line);
    if (line.compare(0, prefix.size(), prefix) == 0) ownership.Add(other + line.substr(prefix.size()));
  }
  for (const std::string& line : lists.cached.Items()) ownership.Add(line);
  return ownership;
}

// While the HOSTS file holds the user's lines, it is the user's content: the
// backup becomes a copy of it, so additions and removals both count. While it
// holds the block list (or nobody knows), every line that is not Norvane's
// joins the backup. Returns Norvane's lines in the file, as a record covers
// them; a file that is exactly the record (what the last rewrite left) is
// all Norvane's and needs no judging line by line.
std::string HostsRedirect::KeepUsersLines(const std::string& hosts, const OwnLines* own) {
  if (holds_ == Holds::UserLines) {
    CopyIntoBackup(hosts);
    return {};
  }
  const Record record = ReadRecord();
  if (record.state == Record::State::Read && record.bytes == hosts) return hosts;
  HostsLines sorted = SortByOwner(hosts, Judge(record, own));
  if (!sorted.others.empty()) CarryIntoBackup(sorted.others);
  return sorted.norvane.empty() ? std::string() : FormatListFile(sorted.norvane);
}

void HostsRedirect::CopyIntoBackup(const std::string& hosts) {
  ListBox lines;
  Store::ParseListFile(hosts, lines);
  ReplaceIfChanged(s_.store, s_.store.Path(paths::kHostsBackup), FormatListFile(lines.Items()));
}

// A line the backup holds already, however it is spaced, is not added again.
void HostsRedirect::CarryIntoBackup(const std::vector<std::string>& others) {
  const std::string path = s_.store.Path(paths::kHostsBackup);
  const std::string bytes =
      ReadOrThrow(*s_.platform.files, path,
                  "The HOSTS backup " + path + " cannot be read, so the lines another program added to the "
                  "HOSTS file " + hostsPath_ + " cannot be kept in it; the HOSTS file was left as it is");
  ListBox backup;
  Store::ParseListFile(bytes, backup);
  HostsOwnership held;
  held.AddLines(bytes);
  bool added = false;
  for (const std::string& line : others) {
    if (held.Owns(line)) continue;
    held.Add(line);
    added |= backup.AddUnique(line);
  }
  if (added) s_.store.SaveListFile(backup, path, false);
}

// The block list, the subscribed names, then (with UseDNS "1") the cached
// entries: the whole file at once, so that it replaces the HOSTS file in one
// step. The record holds every line of it, the subscriptions' too. Until the
// file is replaced, the record also covers Norvane's lines of the old one.
// A file that already holds exactly the block list is not written again: a
// HOSTS file of 200,000 names costs every scanner's read and the DNS Client's
// reload (Apply's own switch and the merge of the lists that follows it, say).
void HostsRedirect::WriteBlockList(const OwnLines& own, const std::string& norvaneNow, const std::string* hostsNow) {
  std::string content = FormatListFile(own.blocked.Items());
  if (subscribed_) {
    // The subscribed names go where the own list's go, and never include a
    // name that would make Windows Defender reset the file.
    subscribed_->address = own.address;
    subscribed_->isProtected = IsProtectedName;
    const std::string subscribed = SubscribedHostsLines(own.blocked.Items(), *subscribed_);
    if (!subscribed.empty()) content.append(subscribed).append("\r\n\r\n");
  }
  if (own.useDns) content += FormatListFile(own.cached.Items());
  const bool covers = !norvaneNow.empty() && norvaneNow != content;
  SaveRecord(covers ? content + norvaneNow : content);
  if (!hostsNow || *hostsNow != content || holds_ != Holds::BlockList) {
    s_.store.ReplaceFile(hostsPath_, content);
    holds_ = Holds::BlockList;
    Written();
  }
  if (covers) TightenRecord(content);
  if (own.protectedLeftOut > 0) SayProtectedLeftOut(own.protectedLeftOut);
}

void HostsRedirect::WriteUserLines() {
  const std::string path = s_.store.Path(paths::kHostsBackup);
  const std::string bytes = ReadOrThrow(*s_.platform.files, path,
                                        "The HOSTS backup " + path + " cannot be read; the HOSTS file was left as it is");
  ListBox backup;
  Store::ParseListFile(bytes, backup);
  s_.store.SaveListFile(backup, hostsPath_, false);
  holds_ = Holds::UserLines;
  Written();
  TightenRecord(FormatListFile({}));
}

void HostsRedirect::SaveRecord(const std::string& bytes) {
  ReplaceIfChanged(s_.store, s_.store.Path(paths::kHostsOwnLines), bytes);
}

void HostsRedirect::TightenRecord(const std::string& bytes) {
  try {
    SaveRecord(bytes);
  } catch (const AppError& e) {
    s_.store.LogError(e);
  }
}

void HostsRedirect::SayOnce(Note note) {
  bool& said = said_[static_cast<int>(note)];
  if (said) return;
  said = true;
  const std::string text =
      note == Note::NotText
          ? "The HOSTS file " + hostsPath_ +
                " is not plain text: it holds NUL bytes or starts as a file saved as Unicode (UTF-16) does. "
                "Norvane! leaves it exactly as it is, so ad blocking stays off. Save the file as ANSI or UTF-8 "
                "text, then start Norvane! again."
          : "Norvane! leaves the HOSTS file " + hostsPath_ +
                " as it is: no backup of your own HOSTS lines was taken at this start, so ad blocking stays "
                "off. Exit Norvane! and start it again to switch it on.";
  s_.platform.dialogs->Show(text, kProductTitle, kBoxOk | kBoxExclamation);
  s_.store.LogError(AppError(err::kPathFileAccess, text));
}

// One line a write, in the ad log beside the blocked requests; a log that
// cannot be written costs the line, never the write.
void HostsRedirect::SayProtectedLeftOut(int count) {
  LogActivity("HOSTS written without " + std::to_string(count) + (count == 1 ? " name" : " names") +
              " that Windows Defender protects (it resets a HOSTS file that redirects them) on " +
              GeneralDateText(*s_.platform.clock));
}

void HostsRedirect::LogActivity(const std::string& line) {
  try {
    activity_.Write(line);
  } catch (const AppError& e) {
    s_.store.LogError(e);
  }
}

void HostsRedirect::Written() {
  written_ = s_.platform.fileProbe ? s_.platform.fileProbe->Stamp(hostsPath_) : FileStamp{};
  FlushDnsCache();
}

void HostsRedirect::FlushDnsCache() {
  DnsCache* cache = s_.platform.dnsCache;
  if (!cache || cache->Flush() || flushFailureLogged_) return;
  flushFailureLogged_ = true;
  s_.store.LogError(AppError(kInvalidCall, "The DNS Client's cache could not be flushed (DnsFlushResolverCache "
                                                   "of dnsapi.dll): running browsers may use the old addresses of "
                                                   "the HOSTS file's names until their answers expire"));
}

void HostsRedirect::blockads(bool on) {
  if (!GovernedByBackup()) return SayOnce(ungoverned_);
  const std::optional<std::string> hosts = ReadHostsIfAny();
  if (hosts && !IsPlainText(*hosts)) return SayOnce(Note::NotText);
  OwnLines own;
  if (on) own = LoadOwnLines();
  std::string norvaneNow;
  if (hosts) norvaneNow = KeepUsersLines(*hosts, on ? &own : nullptr);
  if (on) WriteBlockList(own, norvaneNow, hosts ? &*hosts : nullptr);
  else WriteUserLines();
}

void RemoveHostsLeftOvers(Files& files, const std::string& hostsPath) {
  const size_t slash = hostsPath.find_last_of('\\');
  if (slash == std::string::npos) return;
  const std::string folder = hostsPath.substr(0, slash);
  const std::string stem = hostsPath.substr(slash + 1) + kLeftOverInfix;
  for (const std::string& name : files.List(folder, "*")) {
    if (name.size() <= stem.size() || AsciiText::Instance().CompareNoCase(name.substr(0, stem.size()), stem) != 0)
      continue;
    if (name.find_first_not_of("0123456789", stem.size()) != std::string::npos) continue;
    files.Remove(folder + "\\" + name);
  }
}

}  // namespace nv
