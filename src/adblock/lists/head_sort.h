#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace nv {

// A name being sorted: where its bytes lie, and its first eight bytes as one
// big-endian number (zeros past its end), so that most of the sort looks at
// no name's bytes.
struct HeadedName {
  std::uint64_t head;
  std::uint32_t start;
  std::uint16_t size;
  std::uint16_t own;  // which of two buffers start is in
};

// How many heads hold each byte value at each of their eight places, place
// 0 the least significant.
using HeadCounts = std::array<std::array<std::uint32_t, 256>, 8>;

inline void CountHead(std::uint64_t head, HeadCounts& counts) {
  for (int place = 0; place < 8; ++place) ++counts[place][(head >> (8 * place)) & 0xFF];
}

// Sorts names by head, in linear time. counts: of exactly these heads; the
// sort uses them up. scratch: room for as many names. Heads that tie stay
// tied and the rest keep their order, but the heads themselves may be
// rewritten.
void SortByHead(HeadedName* first, HeadedName* last, HeadedName* scratch, HeadCounts& counts);

}  // namespace nv
