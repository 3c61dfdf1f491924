#pragma once
#include <functional>
#include <string>

#include "store/list_box.h"
#include "store/services.h"

namespace nv {

class BlockLists;

// The fifth tab of the settings dialog, after "&Popups": the subscribed
// block lists, with "Update now" and each list's state, and the allow list.
inline constexpr char kBlockListsTabCaption[] = "Block &Lists";
inline constexpr int kBlockListsTab = 4;  // its index in the tab strip
inline constexpr int kSettingsTabs = 5;

namespace lists_text {
inline constexpr char kSubscriptionsTitle[] = "Subscribed block lists (addresses)";
inline constexpr char kAllowTitle[] = "Never block these sites, nor their subdomains";
inline constexpr char kUpdateNow[] = "&Update now";
inline constexpr char kNotApplied[] = "Not fetched yet: Apply or OK fetches it.";
inline constexpr char kNoneSelected[] = "Select a list to see its state.";
}  // namespace lists_text

enum class BlockListsList { subscriptions, allowed };

// The tab's on-screen side.
class BlockListsTabView {
 public:
  virtual ~BlockListsTabView() = default;
  virtual void ShowListsEntry(BlockListsList list, const std::string& text) = 0;
  virtual void ShowListsRows(BlockListsList list, int count, int selected) = 0;
  virtual void SetListsAddEnabled(BlockListsList list, bool enabled) = 0;
  virtual void ShowListsCount(BlockListsList list, const std::string& text) = 0;
  // The selected subscription's names, last good update and state.
  virtual void ShowListsState(const std::string& text) = 0;
};

// For a dialog shown without the tab (tests of the other four).
class NoBlockListsTabView : public BlockListsTabView {
 public:
  void ShowListsEntry(BlockListsList, const std::string&) override {}
  void ShowListsRows(BlockListsList, int, int) override {}
  void SetListsAddEnabled(BlockListsList, bool) override {}
  void ShowListsCount(BlockListsList, const std::string&) override {}
  void ShowListsState(const std::string&) override {}
};

// The tab's state and reactions, as the other four tabs': Add and Remove
// change only the dialog's copies; Apply saves them.
class BlockListsTab {
 public:
  // lists: the running program's subscriptions, for their state (may be null).
  BlockListsTab(Services& services, BlockListsTabView& view, std::function<void()> enableApply);
  void SetRunning(const BlockLists* lists, std::function<void()> updateNow);

  void Load();
  // Writes the list files that were edited; a list that could not be read
  // is left as it is.
  void Save();
  void Add(BlockListsList list);
  void Remove(BlockListsList list);
  void Click(BlockListsList list, int index);
  void EntryChanged(BlockListsList list, const std::string& text);
  void UpdateNow();
  // The running program's states changed.
  void ShowState();

  const ListBox& List(BlockListsList list) const { return Side(list).list; }
  const std::string& Entry(BlockListsList list) const { return Side(list).entry; }
  bool AddEnabled(BlockListsList list) const { return Side(list).addEnabled; }

 private:
  struct Half {
    ListBox list;
    std::string entry;
    bool addEnabled = false;
    bool unread = false;
    bool edited = false;  // since the last load or save
  };
  Half& Side(BlockListsList list) { return sides_[list == BlockListsList::allowed]; }
  const Half& Side(BlockListsList list) const { return sides_[list == BlockListsList::allowed]; }
  std::string Path(BlockListsList list) const;
  void Shown(BlockListsList list);

  Services& s_;
  BlockListsTabView& view_;
  std::function<void()> enableApply_;
  const BlockLists* running_ = nullptr;
  std::function<void()> updateNow_;
  Half sides_[2];
};

// What the tab says of one subscription.
std::string SubscriptionStateText(const BlockLists* running, const std::string& url, Clock* clock);

}  // namespace nv
