#include "store/list_box.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace nv {

bool ListOrderLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

namespace {
constexpr size_t kMinSlots = 16;

size_t SlotsFor(size_t entries) {
  size_t n = kMinSlots;
  while (n < entries * 2) n *= 2;
  return n;
}
}  // namespace

size_t ListBox::Find(std::string_view entry) const {
  const size_t mask = slots_.size() - 1;
  size_t i = std::hash<std::string_view>{}(entry) & mask;
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
  Add(entry);
  return true;
}

void ListBox::Add(const std::string& entry) {
  items_.push_back(entry);
  Index(items_.size() - 1);
  if (sorted_) dirty_ = true;
}

void ListBox::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  Normalize();
  if (selected_ && *selected_ == items_[static_cast<size_t>(index)]) selected_.reset();
  items_.erase(items_.begin() + index);
  Rebuild(SlotsFor(items_.size()));
}

void ListBox::Clear() {
  items_.clear();
  slots_.clear();
  selected_.reset();
  dirty_ = false;
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
  if (!dirty_) return;
  std::stable_sort(items_.begin(), items_.end(), ListOrderLess);
  dirty_ = false;
  Rebuild(SlotsFor(items_.size()));
}

}  // namespace nv
