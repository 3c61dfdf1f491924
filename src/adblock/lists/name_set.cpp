#include "adblock/lists/name_set.h"

#include <algorithm>
#include <array>
#include <utility>

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

void NameSetBuilder::Reserve(size_t names, size_t bytes) {
  starts_.reserve(names);
  sizes_.reserve(names);
  bytes_.reserve(bytes);
}

void NameSetBuilder::Add(std::string_view name) {
  if (name.empty() || name.size() > 255) return;
  starts_.push_back(static_cast<std::uint32_t>(bytes_.size()));
  sizes_.push_back(static_cast<std::uint8_t>(name.size()));
  const size_t at = bytes_.size();
  bytes_.append(name);
  for (size_t i = at; i < bytes_.size(); ++i) bytes_[i] = Lower(bytes_[i]);
}

namespace {

// A name's first eight bytes as one number (zeros past its end), so that most
// comparisons need not leave the array of keys.
struct Key {
  std::uint64_t head;
  std::uint32_t index;
};

// Least significant byte first, one counting pass per byte of the head; a
// pass where every key holds the same byte changes nothing and is skipped.
// Linear, where a comparison sort of a few hundred thousand names was most
// of a list's parse.
void SortByHead(std::vector<Key>& keys) {
  std::vector<std::array<std::uint32_t, 256>> counts(8);
  for (const Key& k : keys)
    for (int b = 0; b < 8; ++b) ++counts[b][(k.head >> (8 * b)) & 0xFF];
  std::vector<Key> into(keys.size());
  for (int b = 0; b < 8; ++b) {
    std::array<std::uint32_t, 256>& at = counts[b];
    if (std::find(at.begin(), at.end(), keys.size()) != at.end()) continue;
    std::uint32_t sum = 0;
    for (std::uint32_t& n : at) sum += std::exchange(n, sum);
    for (const Key& k : keys) into[at[(k.head >> (8 * b)) & 0xFF]++] = k;
    keys.swap(into);
  }
}

}  // namespace

NameSet NameSetBuilder::Build() {
  const std::string_view all(bytes_);
  auto view = [&](std::uint32_t i) { return all.substr(starts_[i], sizes_[i]); };
  std::vector<Key> keys(starts_.size());
  for (std::uint32_t i = 0; i < keys.size(); ++i) {
    std::uint64_t head = 0;
    const std::string_view name = view(i);
    for (size_t b = 0; b < 8; ++b)
      head = (head << 8) | (b < name.size() ? static_cast<unsigned char>(name[b]) : 0u);
    keys[i] = {head, i};
  }
  SortByHead(keys);
  // Names that share their first eight bytes are ordered by the whole name.
  for (size_t i = 0, j = 0; i < keys.size(); i = j) {
    for (j = i + 1; j < keys.size() && keys[j].head == keys[i].head;) ++j;
    if (j - i > 1)
      std::sort(keys.begin() + i, keys.begin() + j,
                [&](const Key& a, const Key& b) { return view(a.index) < view(b.index); });
  }
  NameSet set;
  set.bytes_.reserve(bytes_.size());
  set.starts_.reserve(keys.size() + 1);
  std::string_view last;
  bool any = false;
  for (const Key& key : keys) {
    const std::string_view name = view(key.index);
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
