#include "adblock/lists/host_name_scan.h"

#include <array>
#include <bit>
#include <cstdint>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define NV_HAVE_SSE2 1
#include <emmintrin.h>
#endif

namespace nv {

namespace {

enum : std::uint8_t { kNotInName = 1, kDot = 2, kUpper = 4 };
constexpr std::array<std::uint8_t, 256> kKind = [] {
  std::array<std::uint8_t, 256> kind{};
  for (int c = 0; c < 256; ++c) {
    const bool upper = c >= 'A' && c <= 'Z';
    const bool label = upper || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    kind[c] = c == '.' ? kDot : upper ? kUpper : label ? 0 : kNotInName;
  }
  return kind;
}();

// A label is 1 to 63 bytes and neither begins nor ends with '-'.
bool IsLabel(const char* name, size_t from, size_t to) {
  return to > from && to - from <= 63 && name[from] != '-' && name[to - 1] != '-';
}

bool AllDigits(const char* text, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

#ifdef NV_HAVE_SSE2

// Bit i of each mask stands for byte i of the 64 bytes scanned.
struct Masks {
  std::uint64_t ends = 0, dots = 0, dashes = 0, upper = 0;
};

// Bytes in [lo, hi]: moved so that lo lands on -128, they are the signed
// bytes below -128 + (hi - lo) + 1, and all others wrap to above.
__m128i InRange(__m128i v, char lo, char hi) {
  const __m128i moved = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0x80 - lo)));
  return _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(-128 + (hi - lo) + 1)));
}

std::uint64_t Bits(__m128i v, int block) {
  return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v))) << (16 * block);
}

void Classify(const char* at, int block, Masks& m) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const __m128i letter = InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 'z');
  const __m128i dot = _mm_cmpeq_epi8(v, _mm_set1_epi8('.'));
  const __m128i dash = _mm_cmpeq_epi8(v, _mm_set1_epi8('-'));
  const __m128i name = _mm_or_si128(_mm_or_si128(letter, InRange(v, '0', '9')),
                                    _mm_or_si128(_mm_or_si128(dot, dash), _mm_cmpeq_epi8(v, _mm_set1_epi8('_'))));
  m.ends |= Bits(name, block) ^ (std::uint64_t{0xFFFF} << (16 * block));
  m.dots |= Bits(dot, block);
  m.dashes |= Bits(dash, block);
  m.upper |= Bits(InRange(v, 'A', 'Z'), block);
}

// The checks of a name shorter than 64 bytes, on its masks: no label can
// be longer than 63 bytes or the name longer than 253 there.
ScannedName CheckMasks(const char* in, Masks m, size_t scanned, bool dropTrailingDot) {
  size_t n = scanned;
  if (dropTrailingDot && n > 0 && (m.dots >> (n - 1) & 1)) --n;
  const std::uint64_t all = (std::uint64_t{1} << n) - 1;
  const std::uint64_t dots = m.dots & all;
  const std::uint64_t firsts = ((dots << 1) | 1) & all;             // of labels
  const std::uint64_t lasts = ((dots >> 1) | (all ^ (all >> 1))) & all;
  bool good = n > 0 && dots != 0 && ((dots | m.dashes) & (firsts | lasts)) == 0;
  if (good) {
    const size_t top = static_cast<size_t>(64 - std::countl_zero(dots));  // the top-level label's start
    good = !AllDigits(in + top, n - top);
  }
  const std::uint64_t scannedBits = (std::uint64_t{1} << scanned) - 1;
  return {scanned, n, good, (m.upper & scannedBits) != 0};
}

#endif

}  // namespace

ScannedName ScanHostNameBytewise(const char* in, size_t limit, bool dropTrailingDot) {
  size_t i = 0, label = 0, previous = 0;
  bool good = true;
  unsigned kinds = 0;
  for (; i < limit; ++i) {
    const unsigned what = kKind[static_cast<unsigned char>(in[i])];
    if (what & kNotInName) break;
    kinds |= what;
    if (what & kDot) {
      good &= IsLabel(in, label, i);
      previous = std::exchange(label, i + 1);
    }
  }
  size_t n = i;
  if (dropTrailingDot && n > 0 && in[n - 1] == '.') {
    --n;
    label = previous;
  }
  good = good && n <= 253 && label > 0 && IsLabel(in, label, n) && !AllDigits(in + label, n - label);
  return {i, n, good, (kinds & kUpper) != 0};
}

ScannedName ScanHostName(const char* in, size_t limit, size_t readable, bool dropTrailingDot) {
#ifdef NV_HAVE_SSE2
  Masks m;
  if (limit < 64) m.ends = ~std::uint64_t{0} << limit;
  for (int block = 0; block < 4 && readable >= 16u * (block + 1); ++block) {
    Classify(in + 16 * block, block, m);
    const size_t end = static_cast<size_t>(std::countr_zero(m.ends));
    if (end < 16u * (block + 1)) return CheckMasks(in, m, end, dropTrailingDot);
  }
#endif
  return ScanHostNameBytewise(in, limit, dropTrailingDot);
}

void LowerInto(const char* in, size_t n, char* out) {
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(in[i] >= 'A' && in[i] <= 'Z' ? in[i] - 'A' + 'a' : in[i]);
}

}  // namespace nv
