#include "store/list_box.h"

#include <algorithm>
#include <cctype>

namespace nv {

bool ListOrderLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

bool ListBox::AddUnique(const std::string& entry) {
  if (index_.count(entry)) {
    selected_ = entry;
    return false;
  }
  Add(entry);
  return true;
}

void ListBox::Add(const std::string& entry) {
  index_.emplace(entry, items_.size());
  items_.push_back(entry);
  if (sorted_) dirty_ = true;
}

void ListBox::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  Normalize();
  if (selected_ && *selected_ == items_[static_cast<size_t>(index)]) selected_.reset();
  items_.erase(items_.begin() + index);
  Reindex(static_cast<size_t>(index));
}

void ListBox::Clear() {
  items_.clear();
  index_.clear();
  selected_.reset();
  dirty_ = false;
}

const std::vector<std::string>& ListBox::Items() const {
  Normalize();
  return items_;
}

int ListBox::IndexOf(const std::string& entry) const {
  Normalize();
  auto it = index_.find(entry);
  return it == index_.end() ? -1 : static_cast<int>(it->second);
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
  Reindex(0);
}

// Recomputes first positions from 'from' on.
void ListBox::Reindex(size_t from) const {
  if (from == 0) {
    index_.clear();
  } else {
    for (auto it = index_.begin(); it != index_.end();)
      it = it->second >= from ? index_.erase(it) : std::next(it);
  }
  for (size_t i = from; i < items_.size(); ++i) index_.emplace(items_[i], i);
}

}  // namespace nv
