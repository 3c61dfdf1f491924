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
// place, so 6 bits, not 8, and fixed bytes none at all. part: a byte's rank
// already shifted to its bits, so that packing a head is a few loads.
struct Packing {
  std::array<std::array<std::uint64_t, 256>, 8> part{};
  std::array<int, 8> places{};  // those whose bytes differ
  int varying = 0;
  int bits = 0;
};

Packing PackingOf(const HeadCounts& counts) {
  Packing p;
  for (int place = 0; place < 8; ++place) {
    unsigned present = 0;
    for (int value = 0; value < 256; ++value) {
      p.part[place][value] = static_cast<std::uint64_t>(present) << p.bits;
      present += counts[place][value] != 0;
    }
    if (present > 1) {
      p.places[p.varying++] = place;
      p.bits += std::bit_width(present - 1);
    }
  }
  return p;
}

std::uint64_t Packed(std::uint64_t head, const Packing& p) {
  std::uint64_t packed = 0;
  for (int i = 0; i < p.varying; ++i) {
    const int place = p.places[i];
    packed |= p.part[place][(head >> (8 * place)) & 0xFF];
  }
  return packed;
}

// Packed heads in up to 11 bits a pass, so that the 2,048 counts of a pass
// stay in cache.
int PassesOf(const Packing& p) { return (p.bits + 10) / 11; }

Name* SortPacked(Name* a, Name* b, size_t n, const Packing& p) {
  const int passes = PassesOf(p);
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

// Packing costs a pass of its own, and a pass over 2,048 counts costs more
// than one over 256, so that it pays (measured) only where it halves the
// passes, as where each place holds a dozen byte values, not forty.
void SortByHead(Name* first, Name* last, Name* scratch, HeadCounts& counts) {
  const size_t n = static_cast<size_t>(last - first);
  const Name* sorted = nullptr;
  if (n >= kPackFrom) {
    const Packing packing = PackingOf(counts);
    if (2 * PassesOf(packing) < packing.varying) sorted = SortPacked(first, scratch, n, packing);
  }
  if (!sorted) sorted = SortBytes(first, scratch, n, counts);
  if (sorted != first) std::copy(sorted, sorted + n, first);
}

}  // namespace nv
