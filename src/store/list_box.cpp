#include "store/list_box.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/text.h"
#include "store/ascii_text.h"

namespace nv {

namespace {
constexpr size_t kMinSlots = 16;
// Up to this many waiting entries are placed one at a time (a binary search
// and one move each); more are sorted together.
constexpr size_t kPlaceOneByOne = 16;

size_t SlotsFor(size_t entries) {
  size_t n = kMinSlots;
  while (n < entries * 2) n *= 2;
  return n;
}

size_t HashOf(std::string_view entry) { return std::hash<std::string_view>{}(entry); }
}  // namespace

ListBox::ListBox(bool sorted) : order_(sorted ? &AsciiText::Instance() : nullptr) {}

size_t ListBox::Find(std::string_view entry) const {
  const size_t mask = slots_.size() - 1;
  size_t i = HashOf(entry) & mask;
  while (slots_[i] != 0 && items_[slots_[i] - 1] != entry) i = (i + 1) & mask;
  return i;
}

// Records a position unless an equal entry is indexed already (first wins).
void ListBox::Index(size_t position) const {
  if ((position + 1) * 2 > slots_.size()) {
    Rebuild(SlotsFor(position + 1));
    return;
  }
  const size_t slot = Find(items_[position]);
  if (slots_[slot] == 0) slots_[slot] = static_cast<std::uint32_t>(position + 1);
}

// Empties a slot and pulls later members of its probe chain back over the
// hole, so that every lookup still finds its entry without tombstones.
void ListBox::Unindex(size_t slot) const {
  const size_t mask = slots_.size() - 1;
  size_t hole = slot;
  for (size_t j = (hole + 1) & mask; slots_[j] != 0; j = (j + 1) & mask) {
    const size_t home = HashOf(items_[slots_[j] - 1]) & mask;
    if (((j - home) & mask) >= ((j - hole) & mask)) {
      slots_[hole] = slots_[j];
      hole = j;
    }
  }
  slots_[hole] = 0;
}

void ListBox::Rebuild(size_t slotCount) const {
  slots_.assign(slotCount, 0);
  for (size_t i = 0; i < items_.size(); ++i) {
    const size_t slot = Find(items_[i]);
    if (slots_[slot] == 0) slots_[slot] = static_cast<std::uint32_t>(i + 1);
  }
}

void ListBox::Reserve(size_t n) {
  items_.reserve(n);
  if (SlotsFor(n) > slots_.size()) Rebuild(SlotsFor(n));
}

bool ListBox::Contains(std::string_view entry) const {
  return !slots_.empty() && slots_[Find(entry)] != 0;
}

// Membership does not depend on order: a sorted list is not sorted here.
bool ListBox::AddUnique(const std::string& entry) {
  if (Contains(entry)) {
    selected_ = entry;
    return false;
  }
  Append(entry);
  return true;
}

void ListBox::Add(const std::string& entry) {
  if (!repeats_ && Contains(entry)) repeats_ = true;
  Append(entry);
}

void ListBox::Append(const std::string& entry) {
  const size_t n = items_.size();
  items_.push_back(entry);
  Index(n);
  // An entry that sorts at the end is in place already (a sorted file loads
  // without sorting); otherwise it waits for the next read.
  if (inOrder_ == n && (!order_ || n == 0 || order_->CompareNoCase(items_[n - 1], entry) <= 0))
    inOrder_ = n + 1;
}

void ListBox::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  Normalize();
  const auto position = static_cast<size_t>(index);
  if (selected_ && *selected_ == items_[position]) selected_.reset();
  if (repeats_) {
    items_.erase(items_.begin() + index);
    inOrder_ = items_.size();
    Rebuild(SlotsFor(items_.size()));
    return;
  }
  Unindex(Find(items_[position]));
  items_.erase(items_.begin() + index);
  inOrder_ = items_.size();
  const auto removed = static_cast<std::uint32_t>(position + 1);
  for (std::uint32_t& s : slots_)
    if (s > removed) --s;
}

void ListBox::Clear() {
  items_.clear();
  slots_.clear();
  selected_.reset();
  inOrder_ = 0;
  repeats_ = false;
}

const std::vector<std::string>& ListBox::Items() const {
  Normalize();
  return items_;
}

int ListBox::IndexOf(const std::string& entry) const {
  if (!Contains(entry)) return -1;
  Normalize();
  return static_cast<int>(slots_[Find(entry)]) - 1;
}

int ListBox::Selected() const { return selected_ ? IndexOf(*selected_) : -1; }

void ListBox::Select(int index) {
  if (index < 0 || index >= Count()) selected_.reset();
  else selected_ = Items()[static_cast<size_t>(index)];
}

void ListBox::Normalize() const {
  const size_t waiting = items_.size() - inOrder_;
  if (waiting == 0) return;
  if (waiting <= kPlaceOneByOne) InsertTail();
  else SortAll();
  inOrder_ = items_.size();
}

// Each waiting entry goes after every entry it equals: equal texts keep
// their insertion order.
void ListBox::InsertTail() const {
  for (size_t i = inOrder_; i < items_.size(); ++i) {
    const auto place = std::upper_bound(
        items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(i), items_[i],
        [this](const std::string& entry, const std::string& other) { return order_->CompareNoCase(entry, other) < 0; });
    MoveEntry(i, static_cast<size_t>(place - items_.begin()));
  }
}

// Moves the entry at from to the earlier place to; the entries between move
// up by one, and so do their positions in the index.
void ListBox::MoveEntry(size_t from, size_t to) const {
  if (to == from) return;
  std::string entry = std::move(items_[from]);
  std::move_backward(items_.begin() + static_cast<std::ptrdiff_t>(to),
                     items_.begin() + static_cast<std::ptrdiff_t>(from),
                     items_.begin() + static_cast<std::ptrdiff_t>(from + 1));
  items_[to] = std::move(entry);
  const auto first = static_cast<std::uint32_t>(to + 1), moved = static_cast<std::uint32_t>(from + 1);
  for (std::uint32_t& s : slots_) {
    if (s == moved) s = first;
    else if (s >= first && s < moved) ++s;
  }
}

// One sort key per entry, then a sort of the keys; ties keep positions, so
// the sort is stable.
void ListBox::SortAll() const {
  std::vector<std::pair<std::string, std::uint32_t>> keyed;
  keyed.reserve(items_.size());
  for (size_t i = 0; i < items_.size(); ++i)
    keyed.emplace_back(order_->SortKey(items_[i]), static_cast<std::uint32_t>(i));
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string> sorted;
  sorted.reserve(items_.capacity());
  for (auto& k : keyed) sorted.push_back(std::move(items_[k.second]));
  items_.swap(sorted);
  Rebuild(slots_.size());
}

}  // namespace nv
