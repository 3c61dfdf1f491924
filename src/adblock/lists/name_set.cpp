#include "adblock/lists/name_set.h"

#include <algorithm>
#include <array>
#include <bit>
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
    std::memcpy(&head, b, 8);
    if constexpr (std::endian::native == std::endian::little) {
#if defined(_MSC_VER)
      head = _byteswap_uint64(head);
#else
      head = __builtin_bswap64(head);
#endif
    }
    return head;
  }
  for (size_t i = 0; i < 8; ++i) head = (head << 8) | (i < size ? b[i] : 0u);
  return head;
}

}  // namespace

void NameSetBuilder::Reserve(size_t names) { names_.reserve(names); }

void NameSetBuilder::Borrow(std::string_view source) { source_ = source.data(); }

// Left uninitialised, as every byte is written before it is read. realloc
// can often grow or shrink a large block where it lies, without a copy.
void NameSetBuilder::Resize(size_t capacity) {
  if (capacity > UINT32_MAX) throw std::bad_alloc();  // names are found by 32-bit offsets
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

void NameSetBuilder::Push(const char* name, std::uint32_t start, size_t n, bool own) {
  names_.push_back({HeadOf(name, n), start, static_cast<std::uint16_t>(n), static_cast<std::uint16_t>(own)});
  CountHead(names_.back().head, counts_);
  total_ += n;
}

void NameSetBuilder::Keep(size_t n) {
  Push(bytes_.get() + used_, static_cast<std::uint32_t>(used_), n, true);
  used_ += n;
}

void NameSetBuilder::KeepBorrowed(const char* name, size_t n) {
  Push(name, static_cast<std::uint32_t>(name - source_), n, false);
}

void NameSetBuilder::Add(std::string_view name) {
  if (name.empty() || name.size() > 255) return;
  char* out = Room(name.size());
  for (size_t i = 0; i < name.size(); ++i) out[i] = Lower(name[i]);
  Keep(name.size());
}

namespace {

using Name = NameSetBuilder::Name;

// Where the names' bytes lie: the builder's source or its own buffer.
struct NameBytes {
  const char* base[2];
  const char* At(const Name& k) const { return base[k.own] + k.start; }
  std::string_view View(const Name& k) const { return {At(k), k.size}; }
};

// The eight bytes of a name from depth on, as a head.
std::uint64_t HeadAt(const Name& k, size_t depth, const NameBytes& bytes) {
  return depth < k.size ? HeadOf(bytes.At(k) + depth, k.size - depth) : 0;
}

// Orders names whose first `depth` bytes tie (a shorter name counting as
// padded with zeros) by their next eight bytes: a big group by radix, a
// small one, or one whose names all end within those bytes, by comparing
// them, the whole names only where those bytes tie too.
void SortTies(Name* first, Name* last, size_t depth, const NameBytes& bytes, std::vector<Name>& scratch) {
  bool longer = false;
  for (Name* k = first; k != last; ++k) {
    k->head = HeadAt(*k, depth, bytes);
    longer |= k->size > depth + 8;
  }
  if (last - first <= 32 || !longer) {
    std::sort(first, last, [&](const Name& a, const Name& b) {
      return a.head != b.head ? a.head < b.head : bytes.View(a) < bytes.View(b);
    });
    return;
  }
  scratch.resize(std::max(scratch.size(), static_cast<size_t>(last - first)));
  HeadCounts counts{};
  for (const Name* k = first; k != last; ++k) CountHead(k->head, counts);
  SortByHead(first, last, scratch.data(), counts);
  for (Name *i = first, *j = first; i != last; i = j) {
    for (j = i + 1; j != last && j->head == i->head;) ++j;
    if (j - i > 1) SortTies(i, j, depth + 8, bytes, scratch);
  }
}

constexpr std::ptrdiff_t kPrefetchAhead = 16;

void Prefetch(const char* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

}  // namespace

// Names are sorted by their heads first; each group that ties there is put
// in order and copied out next, while its names are in cache. Only such a
// group can hold a name twice. The set's buffer is the first sort's
// scratch, so that sorting takes no fresh memory of its own; what repeats,
// or names shorter than the scratch's 16 bytes apiece, leave unused in it
// is given back.
NameSet NameSetBuilder::Build() {
  const NameBytes bytes{{source_, bytes_.get()}};
  const size_t room = std::max({total_, names_.size() * sizeof(Name), size_t{1}});
  Buffer sorted(static_cast<char*>(std::malloc(room)));
  if (!sorted) throw std::bad_alloc();
  SortByHead(names_.data(), names_.data() + names_.size(), reinterpret_cast<Name*>(sorted.get()), counts_);
  std::vector<Name> scratch;
  NameSet set;
  set.starts_.reserve(names_.size() + 1);
  std::uint32_t at = 0;
  const Name* ahead = names_.data();
  for (Name *i = names_.data(), *end = i + names_.size(), *j = i; i != end; i = j) {
    for (j = i + 1; j != end && j->head == i->head;) ++j;
    // The names lie in the order they were read, so each is a cache miss:
    // asking for them well ahead lets the misses overlap.
    for (const Name* until = end - j > kPrefetchAhead ? j + kPrefetchAhead : end; ahead < until; ++ahead)
      Prefetch(bytes.At(*ahead));
    if (j - i > 1) SortTies(i, j, 8, bytes, scratch);
    std::string_view last;
    for (const Name* k = i; k != j; ++k) {
      const std::string_view name = bytes.View(*k);
      if (k != i && name == last) continue;
      set.starts_.push_back(at);
      std::memcpy(sorted.get() + at, name.data(), name.size());
      at += k->size;
      last = name;
    }
  }
  set.starts_.push_back(at);
  set.capacity_ = room;
  if (at < room - room / 8) {
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
