#include "cookies/cookie_cleaner.h"

#include "cookies/cookie_record.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "platform/text.h"
#include "platform/url_cache.h"
#include "store/error_box.h"
#include "store/log_texts.h"
#include "store/paths.h"

namespace nv {

namespace {
constexpr char kCookiePattern[] = "*.txt";
constexpr char kBoxTitle[] = "Norvane!";
constexpr int kInvalidCall = 5;
constexpr int kPathNotFound = 76;
}  // namespace

void CookieCleaner::KillCookies(bool enabled) {
  lstCk.Clear();
  notes_.clear();
  ++generation_;
  unfinished_ = true;  // a fresh start sweeps the whole folder again
  if (enabled && !DeleteAllSetting()) s_.store.LoadListFile(lstCk, s_.store.Path(paths::kCookiesList));
  stores.Reload(lstCk.Items());
}

// All 0 spares the sites of the allow list; any other number deletes every
// cookie. Text that is no whole number is reported, and the allow list is
// used: a damaged value must not cost the user the cookies they chose to keep.
bool CookieCleaner::DeleteAllSetting() {
  try {
    return s_.settings.GetNumber(keys::kSettings, keys::kAll, 0) != 0;
  } catch (const AppError& e) {
    ReportError(*s_.platform.dialogs, s_.store, e);
    return false;
  }
}

void CookieCleaner::CookieStep() {
  stores.Step();
  // The empty-login box waits for the user; later ticks leave the folder alone.
  if (keyBoxOpen_ || !FolderUsable()) return;
  const bool listChanged = SyncAllowList();
  const bool namesChanged = s_.platform.folderWatch->NamesChanged(folder_);
  if (listChanged || namesChanged || unfinished_ || LeftFileChanged()) Sweep();
}

// Without a cookies folder there is nothing to clean, and an empty path would
// list the root of the current drive: the step stays off for the run, and
// says so once.
bool CookieCleaner::FolderUsable() {
  if (folderState_ != FolderState::Unchecked) return folderState_ == FolderState::Usable;
  bool folder = false;
  try {
    folder = !folder_.empty() && (s_.platform.files->GetAttributes(folder_) & kAttrDirectory);
  } catch (const AppError&) {
    // Missing: not a folder.
  }
  folderState_ = folder ? FolderState::Usable : FolderState::Unusable;
  if (folder) return true;
  const std::string what = folder_.empty() ? std::string("The cookies folder is unknown")
                                           : "The cookies folder " + folder_ + " does not exist";
  s_.store.LogError(AppError(kPathNotFound, what + "; no cookies are deleted in this run"));
  return false;
}

// Every listed name, in listing order: kept names stay, the others are
// deleted. Stops early when the tick's budget is spent; the next tick goes on.
void CookieCleaner::Sweep() {
  const std::vector<std::string> names = s_.platform.files->List(folder_, kCookiePattern);
  ++sweep_;
  testsThisTick_ = 0;
  unfinished_ = true;  // until the loop has seen every name; a failure leaves it so
  bool complete = true;
  const std::uint64_t start = s_.platform.clock->TickMs();
  const bool deleteAll = lstCk.Empty();
  const std::uint32_t generation = generation_;
  int deletions = 0;
  for (const std::string& name : names) {
    FileNote& note = notes_[name];
    note.sweep = sweep_;
    if (LeftInPlace(name, note)) continue;
    if (!deleteAll) {
      if (note.kept < 0 && !MayTestMore(start)) {
        complete = false;
        continue;
      }
      if (note.kept < 0) note.kept = Kept(name) ? 1 : 0;
      if (note.kept) continue;
    }
    const Outcome outcome = DeleteCookie(name);
    if (generation != generation_) return;  // the lists were reloaded meanwhile
    if (outcome == Outcome::NoSite || outcome == Outcome::NotRemoved) NoteLeftInPlace(name);
    if (outcome == Outcome::Deleted && (deleteAll || ++deletions == kMaxDeletionsPerTick)) {
      complete = false;
      break;
    }
  }
  unfinished_ = !complete;
  ForgetUnlisted(names.size());
}

// The verdicts hold only for the list they were made with.
bool CookieCleaner::SyncAllowList() {
  if (lstCk.Items() == notedAllowList_) return false;
  notedAllowList_ = lstCk.Items();
  for (auto& entry : notes_) entry.second.kept = -1;
  return true;
}

// A file left in place may have been rewritten without a change of name.
bool CookieCleaner::LeftFileChanged() {
  for (const auto& [name, note] : notes_)
    if (note.leftSize >= 0 && s_.platform.files->Size(PathOf(name)) != note.leftSize) return true;
  return false;
}

bool CookieCleaner::MayTestMore(std::uint64_t sweepStart) {
  return testsThisTick_ < kMaxTestsPerTick &&
         s_.platform.clock->TickMs() - sweepStart < kTestingBudgetMs;
}

// An entry keeps the file when its first occurrence in the name, in any
// letter case, starts at the second character or later; a name that begins
// with the entry is not kept by it.
bool CookieCleaner::Kept(const std::string& name) {
  TextCompare& text = *s_.platform.text;
  for (const std::string& entry : lstCk.Items()) {
    ++testsThisTick_;
    if (text.FindNoCase(name, entry) > 1) return true;
  }
  return false;
}

// A file left in place is tried again once its size changes.
bool CookieCleaner::LeftInPlace(const std::string& name, FileNote& note) {
  if (note.leftSize < 0) return false;
  if (s_.platform.files->Size(PathOf(name)) == note.leftSize) return true;
  note.leftSize = -1;
  return false;
}

void CookieCleaner::NoteLeftInPlace(const std::string& name) {
  const std::int64_t size = s_.platform.files->Size(PathOf(name));
  if (size >= 0) notes_[name].leftSize = size;
}

void CookieCleaner::ForgetUnlisted(size_t listed) {
  if (notes_.size() <= listed) return;
  for (auto it = notes_.begin(); it != notes_.end();)
    it = it->second.sweep == sweep_ ? std::next(it) : notes_.erase(it);
}

CookieCleaner::Outcome CookieCleaner::DeleteCookie(const std::string& name) {
  if (name.empty()) return Outcome::Nothing;
  const std::string path = PathOf(name);
  const std::string file = s_.store.ReadFile(path).value_or("");
  ListBox lines;
  Store::ParseListFile(file, lines);
  const auto site = CookieSiteAndPath(lines.Empty() ? std::string() : lines[0]);
  if (!site && s_.platform.files->Size(path) < 0) return Outcome::Nothing;  // gone meanwhile
  if (!site) {
    s_.store.LogError(AppError(kInvalidCall, "No site and path in cookie file " + path + ", left in place"));
    return Outcome::NoSite;
  }
  const std::string key = CookieCacheKey(GetLoginName(*s_.platform.system), *site);
  if (key.front() == '@') ShowKeyWithoutLogin(key);
  // Only a file that is really gone is logged and counted; one that is
  // already gone was not deleted by us.
  if (!s_.platform.files->Remove(path)) {
    if (s_.platform.files->Size(path) < 0) return Outcome::Nothing;
    s_.store.LogError(AppError(err::kPermissionDenied, "Cannot delete cookie file " + path + ", left in place"));
    return Outcome::NotRemoved;
  }
  s_.platform.urlCache->DeleteEntry(key);
  WriteRecord(file, path);
  s_.counters.Increment(DeletedCookiesCount);
  return Outcome::Deleted;
}

void CookieCleaner::ShowKeyWithoutLogin(const std::string& key) {
  struct BoxOpen {
    bool& flag;
    explicit BoxOpen(bool& f) : flag(f) { flag = true; }
    ~BoxOpen() { flag = false; }
  } open(keyBoxOpen_);
  s_.platform.dialogs->Show(key, kBoxTitle, kBoxOk);
}

// The cookie file's lines without the cookies' values (they may still open a
// session on their site, and the log is readable by every account), then
// "<path> deleted on <date and time>". The lines go into lstFile only once the
// log exists, since creating the log empties lstFile.
void CookieCleaner::WriteRecord(const std::string& file, const std::string& path) {
  Store& store = s_.store;
  const std::string log = store.Path(paths::kCookiesLog);
  store.EnsureFileExists(log);
  Store::ParseListFile(CookieFileWithoutValues(file), store.lstFile);
  store.lstFile.Add(path + " deleted on " + GeneralDateText(*s_.platform.clock));
  store.AppendListFile(store.lstFile, log);
}

}  // namespace nv
