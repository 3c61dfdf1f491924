#pragma once
#include <array>
#include <cstdint>

namespace nv {

enum CounterSlot : int {
  BannerAdsCount = 0,
  DeletedCookiesCount = 1,
  BlockedPopupsCount = 2,
  TrayMessageSlot = 3,
};

// The four 16-bit slots of the running program; never stored.
class Counters {
 public:
  void Reset() { slots_.fill(0); }
  // Counts stop at 32,767 rather than failing: a failing increment would make
  // every later ad reply empty and skip every later status update.
  void Increment(CounterSlot s) {
    if (slots_[s] < INT16_MAX) ++slots_[s];
  }
  std::int16_t Get(CounterSlot s) const { return slots_[s]; }
  void Set(CounterSlot s, std::int16_t v) { slots_[s] = v; }

 private:
  std::array<std::int16_t, 4> slots_{};
};

}  // namespace nv
