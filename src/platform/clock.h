#pragma once
#include <cstdint>
#include <string>

namespace nv {

struct LocalTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

// The wall clock and the user's regional date and time formats.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  virtual std::string ShortDate(const LocalTime& t) = 0;
  virtual std::string LongTime(const LocalTime& t) = 0;
  // Milliseconds from an arbitrary start, for measuring intervals.
  virtual std::uint64_t TickMs() = 0;
  // Waits on the calling thread; only for the few milliseconds a caller has
  // bounded itself.
  virtual void Pause(int ms) = 0;
};

}  // namespace nv
