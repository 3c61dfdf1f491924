#include "settings/block_lists_tab.h"

#include "adblock/lists/block_lists.h"
#include "platform/clock.h"
#include "platform/files.h"
#include <cstdio>
#include "store/list_file.h"

namespace nv {

namespace {

// "12345" as "12,345": the counts run to six figures.
std::string Grouped(size_t n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
  return digits;
}

std::string WhenText(const std::string& stored, Clock* clock) {
  if (stored.empty()) return "never";
  LocalTime t;
  if (std::sscanf(stored.c_str(), "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second) !=
      6)
    return stored;
  return clock ? clock->ShortDate(t) + " " + clock->LongTime(t) : stored;
}

}  // namespace

std::string SubscriptionStateText(const BlockLists* running, const std::string& url, Clock* clock) {
  if (running)
    for (const Subscription& sub : running->Subscriptions())
      if (sub.url == url)
        return Grouped(sub.count) + " names; last good update: " + WhenText(sub.lastGood, clock) + "; " + sub.state;
  return lists_text::kNotApplied;
}

BlockListsTab::BlockListsTab(Services& services, BlockListsTabView& view, std::function<void()> enableApply)
    : s_(services), view_(view), enableApply_(std::move(enableApply)) {}

void BlockListsTab::SetRunning(const BlockLists* lists, std::function<void()> updateNow) {
  running_ = lists;
  updateNow_ = std::move(updateNow);
}

std::string BlockListsTab::Path(BlockListsList list) const {
  return s_.store.Path(list == BlockListsList::allowed ? paths::kAllowList : paths::kSubscriptionsList);
}

// A missing list of subscriptions means the shipped default, as the running
// program reads it; a missing allow list is empty.
void BlockListsTab::Load() {
  for (BlockListsList list : {BlockListsList::subscriptions, BlockListsList::allowed}) {
    Half& side = Side(list);
    side.list.Clear();
    side.edited = false;
    if (!s_.platform.files->Exists(Path(list))) {
      if (list == BlockListsList::subscriptions) side.list.AddUnique(kDefaultSubscription);
    } else {
      side.unread = !s_.store.LoadListFile(side.list, Path(list));
    }
    side.list.Select(-1);
    Shown(list);
  }
  ShowState();
}

void BlockListsTab::Save() {
  for (BlockListsList list : {BlockListsList::subscriptions, BlockListsList::allowed})
    if (Half& side = Side(list); side.edited && !side.unread) {
      s_.store.SaveListFile(side.list, Path(list), false);
      side.edited = false;
    }
}

void BlockListsTab::Add(BlockListsList list) {
  Half& side = Side(list);
  const std::string entry(TrimSpaces(side.entry));
  if (entry.empty()) return;
  if (side.list.AddUnique(entry)) {
    side.edited = true;
    if (enableApply_) enableApply_();
  }
  side.list.Select(side.list.Count() - 1);
  side.entry.clear();
  side.addEnabled = false;
  view_.ShowListsEntry(list, "");
  view_.SetListsAddEnabled(list, false);
  Shown(list);
  ShowState();
}

void BlockListsTab::Remove(BlockListsList list) {
  Half& side = Side(list);
  const int selected = side.list.Selected();
  if (selected < 0) return;
  side.list.RemoveAt(selected);
  side.list.Select(-1);
  side.edited = true;
  if (enableApply_) enableApply_();
  Shown(list);
  ShowState();
}

void BlockListsTab::Click(BlockListsList list, int index) {
  Half& side = Side(list);
  if (index < 0 || index >= side.list.Count()) return;
  side.list.Select(index);
  if (list == BlockListsList::subscriptions) ShowState();
}

void BlockListsTab::EntryChanged(BlockListsList list, const std::string& text) {
  Half& side = Side(list);
  side.entry = text;
  side.addEnabled = !TrimSpaces(text).empty();
  view_.SetListsAddEnabled(list, side.addEnabled);
}

void BlockListsTab::UpdateNow() {
  if (updateNow_) updateNow_();
  ShowState();
}

void BlockListsTab::ShowState() {
  const ListBox& subs = Side(BlockListsList::subscriptions).list;
  const int selected = subs.Selected() >= 0 ? subs.Selected() : (subs.Count() == 1 ? 0 : -1);
  view_.ShowListsState(selected < 0 ? lists_text::kNoneSelected
                                    : SubscriptionStateText(running_, subs[selected], s_.platform.clock));
}

void BlockListsTab::Shown(BlockListsList list) {
  const ListBox& l = Side(list).list;
  view_.ShowListsRows(list, l.Count(), l.Selected());
  view_.ShowListsCount(list, std::to_string(l.Count()));
}

}  // namespace nv
