#include "cookies/stores/cookie_stores.h"

#include <algorithm>

#include "cookies/stores/store_record.h"
#include "platform/background.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "popups/log_trap.h"
#include "store/log_texts.h"
#include "store/paths.h"

namespace nv {

namespace {
constexpr int kCsidlAppData = 0x1a;
constexpr int kCsidlLocalAppData = 0x1c;
constexpr int kNotWritable = err::kPermissionDenied;
constexpr int kCannotClean = 3001;  // a store SQLite reports as damaged or of a schema we do not know
constexpr char kDash[] = "\xE2\x80\x94";

std::string Folder(System& system, int csidl) {
  std::string path = system.SpecialFolder(csidl).value_or("");
  if (const size_t nul = path.find('\0'); nul != std::string::npos) path.resize(nul);
  return path;
}

std::string Named(const CookieStoreInfo& s) { return s.browser + " (profile \"" + s.profile + "\") " + s.path; }
}  // namespace

void CookieStores::Find() {
  found_ = true;
  stores_.clear();
  next_ = 0;
  if (!s_.platform.system || !s_.platform.files) return;
  const BrowserFolders folders{Folder(*s_.platform.system, kCsidlLocalAppData),
                               Folder(*s_.platform.system, kCsidlAppData)};
  for (CookieStoreInfo& info : FindCookieStores(*s_.platform.files, folders)) stores_.push_back(State{std::move(info), {}, false, false});
}

void CookieStores::Reload(const std::vector<std::string>& allowList) {
  rule_ = std::make_shared<KeepRule>(allowList);
  ++generation_;
  Find();
}

std::vector<CookieStoreInfo> CookieStores::Found() {
  if (!found_) Find();
  std::vector<CookieStoreInfo> infos;
  for (const State& st : stores_) infos.push_back(st.info);
  return infos;
}

std::string CookieStores::BrowsersLine() {
  const std::vector<std::string> names = BrowsersOf(Found());
  if (names.empty()) return "Cleans cookies of: no browser found";
  std::string line = "Cleans cookies of: ";
  for (size_t i = 0; i < names.size(); ++i) line += (i ? ", " : "") + names[i];
  return line + " " + kDash + " when they are closed";
}

bool CookieStores::Cleaning() const {
  return std::any_of(stores_.begin(), stores_.end(), [](const State& st) { return st.running; });
}

void CookieStores::Step() {
  if (!s_.platform.fileProbe || !s_.platform.background || !s_.platform.clock) return;
  const std::uint64_t ms = s_.platform.clock->TickMs();
  if (looked_ && ms - lastLook_ < kLookEveryMs) return;
  looked_ = true;
  lastLook_ = ms;
  if (!found_) Find();
  if (stores_.empty()) return;
  const size_t index = next_;
  next_ = (next_ + 1) % stores_.size();
  State& st = stores_[index];
  if (st.running || ms < st.heldUntil) return;
  const FileStamp now = s_.platform.fileProbe->Stamp(st.info.path);
  if (now.size < 0 || (st.settled && now == st.cleaned)) return;
  if (BrowserHolds(st, now)) {
    st.heldUntil = ms + kHeldPauseMs;
    return;
  }
  Start(index);
}

// A running browser holds its database or its own lock; a database we may not
// write is reported once and looked at again when it changes.
bool CookieStores::BrowserHolds(State& st, const FileStamp& now) {
  for (const std::string& lock : st.info.locks) {
    const FileHold hold = s_.platform.fileProbe->Hold(lock);
    if (hold == FileHold::InUse) return true;
    if (hold == FileHold::Denied && lock == st.info.path) {
      ReportOnce(st.info, kNotWritable, "cannot be written");
      st.settled = true;
      st.cleaned = now;
      return true;
    }
  }
  return false;
}

void CookieStores::Start(size_t index) {
  State& st = stores_[index];
  st.running = true;
  auto result = std::make_shared<StoreCleaning>();
  std::weak_ptr<CookieStores*> self = self_;
  s_.platform.background->Run(
      [result, clean = cleaner_, path = st.info.path, kind = st.info.kind, rule = rule_] {
        *result = clean(path, kind, *rule);
      },
      [self, result, generation = generation_, index, info = st.info] {
        if (auto alive = self.lock()) (*alive)->Finish(generation, index, info, *result);
      });
}

// Deletions that were committed are logged and counted even when the lists
// were reloaded meanwhile; the store's own state belongs to the load it ran for.
void CookieStores::Finish(std::uint32_t generation, size_t index, const CookieStoreInfo& info, const StoreCleaning& r) {
  RunLoggingFailures(s_.store, [&] {
    if (generation == generation_ && index < stores_.size() && stores_[index].info.path == info.path) {
      State& st = stores_[index];
      st.running = false;
      if (r.outcome != StoreCleaning::Outcome::Busy) {
        st.settled = true;
        st.cleaned = s_.platform.fileProbe->Stamp(info.path);
      }
    }
    if (r.outcome == StoreCleaning::Outcome::Failed) ReportOnce(info, kCannotClean, "cannot be cleaned: " + r.failure);
    if (r.outcome == StoreCleaning::Outcome::Cleaned && r.deleted > 0) {
      Count(r.deleted);
      Record(info, r);
    }
  });
}

void CookieStores::Record(const CookieStoreInfo& info, const StoreCleaning& r) {
  Store& store = s_.store;
  const std::string log = store.Path(paths::kCookiesLog);
  store.EnsureFileExists(log);
  store.lstFile.Add(StoreRecord(info, r, GeneralDateText(*s_.platform.clock)));
  store.AppendListFile(store.lstFile, log);
}

// The count stops at 32,767; that it stopped is said once per run.
void CookieStores::Count(int deleted) {
  const int sum = s_.counters.Get(DeletedCookiesCount) + deleted;
  s_.counters.Set(DeletedCookiesCount, static_cast<std::int16_t>(std::min(sum, static_cast<int>(INT16_MAX))));
  if (sum <= INT16_MAX || limitReported_) return;
  limitReported_ = true;
  s_.store.LogError(AppError(err::kOverflow, "Overflow: the count of deleted cookies stays at 32767"));
}

void CookieStores::ReportOnce(const CookieStoreInfo& info, int number, const std::string& what) {
  if (!reported_.insert(info.path).second) return;
  s_.store.LogError(AppError(number, "The cookie store of " + Named(info) + " " + what + "; it is left as it is"));
}

}  // namespace nv
