#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "cookies/stores/cookie_stores.h"
#include "store/list_box.h"
#include "store/services.h"

namespace nv {

// Deletes cookie files of sites that are not on the cookie allow list, with
// their Internet-cache entries; logs and counts each deletion.
//
// The sweep remembers per file name what it already knows: whether the allow
// list keeps the name (the name and the list alone decide), and whether the
// file had to be left in place (until its size changes). So a tick lists the
// folder only when its names changed, the list changed or work is left over,
// and a sweep over known names costs a listing and a few lookups. Work per
// tick is bounded, so a large folder or list is handled over a few ticks
// instead of freezing the program.
class CookieCleaner {
 public:
  enum class Outcome { Nothing, Deleted, NoSite, NotRemoved };

  explicit CookieCleaner(Services& services) : stores(services), s_(services) {}
  void SetFolder(const std::string& folder) {
    folder_ = folder;
    folderState_ = FolderState::Unchecked;
  }
  const std::string& Folder() const { return folder_; }

  // Clears lstCk; when enabled and All is 0, loads "\data\cookies.svr".
  // The browsers' cookie stores are found again and take the same list.
  void KillCookies(bool enabled);
  void CookieStep();
  // Deletes one cookie file (a bare name in the folder) and its cache entry,
  // then logs and counts it. A file without a site and path, or one that could
  // not be deleted, is logged and left in place.
  Outcome DeleteCookie(const std::string& name);

  ListBox lstCk;
  // The browsers' cookie databases; the cookie step looks at one per tick.
  CookieStores stores;

  // Allow-list tests (one entry against one name) per tick, and the time
  // they may take; names not yet tested wait for the next tick.
  static constexpr int kMaxTestsPerTick = 20000;
  static constexpr std::uint64_t kTestingBudgetMs = 5;
  // Deletions per tick while the allow list is in use; with an empty list
  // every tick deletes one file.
  static constexpr int kMaxDeletionsPerTick = 16;

 private:
  struct FileNote {
    signed char kept = -1;         // -1: not yet tested against the allow list
    std::int64_t leftSize = -1;    // size when it was left in place; -1: never
    std::uint32_t sweep = 0;       // the last sweep that listed it
  };

  bool DeleteAllSetting();
  bool FolderUsable();
  void Sweep();
  bool SyncAllowList();
  bool LeftFileChanged();
  bool MayTestMore(std::uint64_t sweepStart);
  bool Kept(const std::string& name);
  bool LeftInPlace(const std::string& name, FileNote& note);
  void NoteLeftInPlace(const std::string& name);
  void ForgetUnlisted(size_t listed);
  std::string PathOf(const std::string& name) const { return folder_ + "\\" + name; }
  void ShowKeyWithoutLogin(const std::string& key);
  void WriteRecord(const std::string& file, const std::string& path);

  Services& s_;
  std::string folder_;
  enum class FolderState { Unchecked, Usable, Unusable } folderState_ = FolderState::Unchecked;
  std::unordered_map<std::string, FileNote> notes_;
  std::vector<std::string> notedAllowList_;  // the list the kept verdicts were made with
  std::uint32_t sweep_ = 0;
  std::uint32_t generation_ = 0;  // changes whenever KillCookies runs
  int testsThisTick_ = 0;
  bool unfinished_ = true;  // the last sweep stopped early or never ran
  bool keyBoxOpen_ = false;
};

}  // namespace nv
