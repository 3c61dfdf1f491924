#include "adblock/lists/name_set.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <memory>
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

namespace {

// size bytes from at, the first eight of them as one big-endian number, with
// zeros past their end.
std::uint64_t HeadOf(const char* at, size_t size) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(at);
  std::uint64_t head = 0;
  if (size >= 8) {
    for (int i = 0; i < 8; ++i) head = (head << 8) | b[i];  // compiles to a load and a byte swap
    return head;
  }
  for (size_t i = 0; i < 8; ++i) head = (head << 8) | (i < size ? b[i] : 0u);
  return head;
}

}  // namespace

void NameSetBuilder::Reserve(size_t names, size_t bytes) {
  names_.reserve(names);
  if (bytes > capacity_) Resize(bytes);
}

// Left uninitialised, as every byte is written before it is read. realloc
// can often grow or shrink a large block where it lies, without a copy.
void NameSetBuilder::Resize(size_t capacity) {
  char* bytes = static_cast<char*>(std::realloc(bytes_.get(), capacity));
  if (!bytes) throw std::bad_alloc();
  (void)bytes_.release();
  bytes_.reset(bytes);
  capacity_ = capacity;
}

char* NameSetBuilder::Room(size_t n) {
  if (used_ + n > capacity_) Resize(std::max({capacity_ * 2, used_ + n, size_t{4096}}));
  return bytes_.get() + used_;
}

void NameSetBuilder::Keep(size_t n) {
  const std::uint64_t head = HeadOf(bytes_.get() + used_, n);
  names_.push_back({head, static_cast<std::uint32_t>(used_), static_cast<std::uint32_t>(n)});
  used_ += n;
}

void NameSetBuilder::Add(std::string_view name) {
  if (name.empty() || name.size() > 255) return;
  char* out = Room(name.size());
  for (size_t i = 0; i < name.size(); ++i) out[i] = Lower(name[i]);
  Keep(name.size());
}

namespace {

using Name = NameSetBuilder::Name;

// Least significant byte first, one counting pass per byte of the head; a
// pass where every name holds the same byte changes nothing and is skipped.
// Linear, where a comparison sort of a few hundred thousand names was most
// of a list's parse.
void SortByHead(Name* first, Name* last, std::vector<Name>& scratch) {
  const size_t n = static_cast<size_t>(last - first);
  std::array<std::array<std::uint32_t, 256>, 8> counts{};
  for (const Name* k = first; k != last; ++k)
    for (int b = 0; b < 8; ++b) ++counts[b][(k->head >> (8 * b)) & 0xFF];
  scratch.resize(std::max(scratch.size(), n));
  Name* from = first;
  Name* into = scratch.data();
  for (int b = 0; b < 8; ++b) {
    std::array<std::uint32_t, 256>& at = counts[b];
    if (std::find(at.begin(), at.end(), n) != at.end()) continue;
    std::uint32_t sum = 0;
    for (std::uint32_t& c : at) sum += std::exchange(c, sum);
    for (const Name* k = from; k != from + n; ++k) into[at[(k->head >> (8 * b)) & 0xFF]++] = *k;
    std::swap(from, into);
  }
  if (from != first) std::copy(from, from + n, first);
}

// The eight bytes of a name from depth on, as a head.
std::uint64_t HeadAt(const Name& k, size_t depth, const char* bytes) {
  return depth < k.size ? HeadOf(bytes + k.start + depth, k.size - depth) : 0;
}

// Orders names whose first `depth` bytes tie (a shorter name counting as
// padded with zeros) by their next eight bytes: a big group by radix, a
// small one, or one whose names all end within those bytes, by comparing
// them, the whole names only where those bytes tie too.
void SortTies(Name* first, Name* last, size_t depth, const char* bytes, std::vector<Name>& scratch) {
  bool longer = false;
  for (Name* k = first; k != last; ++k) {
    k->head = HeadAt(*k, depth, bytes);
    longer |= k->size > depth + 8;
  }
  if (last - first <= 32 || !longer) {
    auto view = [bytes](const Name& k) { return std::string_view(bytes + k.start, k.size); };
    std::sort(first, last, [&](const Name& a, const Name& b) {
      return a.head != b.head ? a.head < b.head : view(a) < view(b);
    });
    return;
  }
  SortByHead(first, last, scratch);
  for (Name *i = first, *j = first; i != last; i = j) {
    for (j = i + 1; j != last && j->head == i->head;) ++j;
    if (j - i > 1) SortTies(i, j, depth + 8, bytes, scratch);
  }
}

}  // namespace

// Names are sorted by their heads first; each group that ties there is put
// in order and copied out next, while its names are in cache. Only such a
// group can hold a name twice, and only repeats leave the set's buffer
// much room to give back.
NameSet NameSetBuilder::Build() {
  const char* bytes = bytes_.get();
  std::vector<Name> scratch;
  SortByHead(names_.data(), names_.data() + names_.size(), scratch);
  Buffer sorted(static_cast<char*>(std::malloc(std::max<size_t>(used_, 1))));
  if (!sorted) throw std::bad_alloc();
  NameSet set;
  set.starts_.reserve(names_.size() + 1);
  std::uint32_t at = 0;
  for (Name *i = names_.data(), *end = i + names_.size(), *j = i; i != end; i = j) {
    for (j = i + 1; j != end && j->head == i->head;) ++j;
    if (j - i > 1) SortTies(i, j, 8, bytes, scratch);
    std::string_view last;
    for (const Name* k = i; k != j; ++k) {
      const std::string_view name(bytes + k->start, k->size);
      if (k != i && name == last) continue;
      set.starts_.push_back(at);
      std::memcpy(sorted.get() + at, name.data(), name.size());
      at += k->size;
      last = name;
    }
  }
  set.starts_.push_back(at);
  set.capacity_ = std::max<size_t>(used_, 1);
  if (at < used_ - used_ / 4) {
    // A failed shrink leaves the block as it was, which is still good.
    if (char* smaller = static_cast<char*>(std::realloc(sorted.get(), std::max<size_t>(at, 1)))) {
      (void)sorted.release();
      sorted.reset(smaller);
      set.capacity_ = std::max<size_t>(at, 1);
    }
  }
  set.bytes_ = std::shared_ptr<const char[]>(sorted.release(), Free());
  set.starts_.shrink_to_fit();
  *this = NameSetBuilder();
  return set;
}

}  // namespace nv
