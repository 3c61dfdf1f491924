#include "platform/window_barrier.h"

namespace nv {
namespace {
std::function<void(const AppError&)>& BarrierLog() {
  static std::function<void(const AppError&)> log;
  return log;
}
}  // namespace

void SetBarrierLog(std::function<void(const AppError&)> log) { BarrierLog() = std::move(log); }

void LogAtBarrier(const AppError& e) {
  // The log itself may fail (a full disk): the barrier still holds.
  try {
    if (BarrierLog()) BarrierLog()(e);
  } catch (...) {
  }
}

}  // namespace nv
