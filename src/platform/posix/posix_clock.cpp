#include "platform/posix/posix_clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace nv {

LocalTime PosixClock::Now() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string PosixClock::ShortDate(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d/%d/%d", t.month, t.day, t.year);
  return buf;
}

std::string PosixClock::LongTime(const LocalTime& t) {
  char buf[32];
  int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, t.minute, t.second, t.hour < 12 ? "AM" : "PM");
  return buf;
}

std::uint64_t PosixClock::TickMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void PosixClock::Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace nv
