#include "adblock/lists/head_sort.h"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

namespace nv {

namespace {

using Name = HeadedName;

bool AllAlike(const std::array<std::uint32_t, 256>& at, size_t n) {
  return std::find(at.begin(), at.end(), n) != at.end();
}

// One pass of a least-significant-first radix sort: from a into b on the
// bits of the head that mask selects after shift; starts: a running offset
// per value, the counts' sums before it.
void Scatter(const Name* a, size_t n, Name* b, int shift, std::uint64_t mask, std::uint32_t* starts) {
  for (const Name* k = a; k != a + n; ++k) b[starts[(k->head >> shift) & mask]++] = *k;
}

void SumBefore(std::uint32_t* counts, size_t size) {
  std::uint32_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum += std::exchange(counts[i], sum);
}

// A byte a pass: for a few names, where the tables of a packed sort would
// cost more than the passes they save. A pass where every head holds the
// same byte changes nothing and is skipped.
Name* SortBytes(Name* a, Name* b, size_t n, HeadCounts& counts) {
  for (int place = 0; place < 8; ++place) {
    if (AllAlike(counts[place], n)) continue;
    SumBefore(counts[place].data(), 256);
    Scatter(a, n, b, 8 * place, 0xFF, counts[place].data());
    std::swap(a, b);
  }
  return a;
}

// Each place's byte replaced by its rank among the bytes present there, in
// as few bits as those ranks take, gives a number that sorts and ties like
// the head but is shorter: lists' names hold some 40 byte values at each
// place, so 6 bits, not 8, and fixed bytes none at all.
struct Packing {
  std::array<std::array<std::uint8_t, 256>, 8> rank{};
  std::array<int, 8> width{};
  int bits = 0;
};

Packing PackingOf(const HeadCounts& counts) {
  Packing p;
  for (int place = 0; place < 8; ++place) {
    unsigned present = 0;
    for (int value = 0; value < 256; ++value) {
      p.rank[place][value] = static_cast<std::uint8_t>(present);
      present += counts[place][value] != 0;
    }
    p.width[place] = present > 1 ? std::bit_width(present - 1) : 0;
    p.bits += p.width[place];
  }
  return p;
}

std::uint64_t Packed(std::uint64_t head, const Packing& p) {
  std::uint64_t packed = 0;
  for (int place = 7; place >= 0; --place)
    if (p.width[place]) packed = (packed << p.width[place]) | p.rank[place][(head >> (8 * place)) & 0xFF];
  return packed;
}

// Packed heads in up to 11 bits a pass: the 2,048 counts of a pass stay in
// cache, and most lists take four passes where bytes took eight.
Name* SortPacked(Name* a, Name* b, size_t n, const Packing& p) {
  const int passes = (p.bits + 10) / 11;
  const int digit = (p.bits + passes - 1) / passes;
  const size_t values = size_t{1} << digit;
  const std::uint64_t mask = values - 1;
  std::vector<std::uint32_t> counts(passes * values);
  for (Name* k = a; k != a + n; ++k) {
    k->head = Packed(k->head, p);
    for (int pass = 0; pass < passes; ++pass) ++counts[pass * values + ((k->head >> (pass * digit)) & mask)];
  }
  for (int pass = 0; pass < passes; ++pass) {
    std::uint32_t* at = counts.data() + pass * values;
    SumBefore(at, values);
    Scatter(a, n, b, pass * digit, mask, at);
    std::swap(a, b);
  }
  return a;
}

constexpr size_t kPackFrom = 4096;

}  // namespace

void SortByHead(Name* first, Name* last, Name* scratch, HeadCounts& counts) {
  const size_t n = static_cast<size_t>(last - first);
  const Name* sorted = first;
  if (n < kPackFrom) {
    sorted = SortBytes(first, scratch, n, counts);
  } else {
    const Packing packing = PackingOf(counts);
    if (packing.bits > 0) sorted = SortPacked(first, scratch, n, packing);
  }
  if (sorted != first) std::copy(sorted, sorted + n, first);
}

}  // namespace nv
