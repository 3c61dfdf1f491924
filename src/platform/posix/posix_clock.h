#pragma once
#include "platform/clock.h"

namespace nv {

// The local clock with fixed US-style formats ("12/8/2026", "11:05:09 AM").
class PosixClock : public Clock {
 public:
  LocalTime Now() override;
  std::string ShortDate(const LocalTime& t) override;
  std::string LongTime(const LocalTime& t) override;
  std::uint64_t TickMs() override;
  void Pause(int ms) override;
};

}  // namespace nv
