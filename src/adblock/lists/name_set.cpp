#include "adblock/lists/name_set.h"

#include <algorithm>

namespace nv {

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool NameSet::Contains(std::string_view name) const {
  size_t lo = 0, hi = Size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    const int c = At(mid).compare(name);
    if (c == 0) return true;
    if (c < 0) lo = mid + 1;
    else hi = mid;
  }
  return false;
}

// A k-way merge would be faster, but subscriptions are few and Build's sort
// is already the cost of a parse.
NameSet NameSet::Union(const std::vector<const NameSet*>& sets) {
  if (sets.size() == 1) return *sets.front();
  NameSetBuilder builder;
  for (const NameSet* set : sets)
    for (size_t i = 0; i < set->Size(); ++i) builder.Add(set->At(i));
  return builder.Build();
}

void NameSetBuilder::Add(std::string_view name) {
  if (name.empty() || name.size() > 255) return;
  starts_.push_back(static_cast<std::uint32_t>(bytes_.size()));
  sizes_.push_back(static_cast<std::uint8_t>(name.size()));
  const size_t at = bytes_.size();
  bytes_.append(name);
  for (size_t i = at; i < bytes_.size(); ++i) bytes_[i] = Lower(bytes_[i]);
}

// Sorting compares the names' first eight bytes as one number and reads
// further only on a tie: most names differ early, so the sort seldom leaves
// its array of keys.
NameSet NameSetBuilder::Build() {
  const std::string_view all(bytes_);
  auto view = [&](std::uint32_t i) { return all.substr(starts_[i], sizes_[i]); };
  struct Key {
    std::uint64_t head;
    std::uint32_t index;
  };
  std::vector<Key> keys(starts_.size());
  for (std::uint32_t i = 0; i < keys.size(); ++i) {
    std::uint64_t head = 0;
    const std::string_view name = view(i);
    for (size_t b = 0; b < 8; ++b)
      head = (head << 8) | (b < name.size() ? static_cast<unsigned char>(name[b]) : 0u);
    keys[i] = {head, i};
  }
  std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
    if (a.head != b.head) return a.head < b.head;
    return view(a.index) < view(b.index);
  });
  std::vector<std::uint32_t> order(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].index;
  keys = {};
  NameSet set;
  set.bytes_.reserve(bytes_.size());
  set.starts_.reserve(order.size() + 1);
  std::string_view last;
  bool any = false;
  for (std::uint32_t i : order) {
    const std::string_view name = view(i);
    if (any && name == last) continue;
    set.starts_.push_back(static_cast<std::uint32_t>(set.bytes_.size()));
    set.bytes_.append(name);
    last = name;
    any = true;
  }
  set.starts_.push_back(static_cast<std::uint32_t>(set.bytes_.size()));
  set.bytes_.shrink_to_fit();
  *this = NameSetBuilder();
  return set;
}

}  // namespace nv
