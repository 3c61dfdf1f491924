#pragma once
#include <exception>
#include <string>

#include "platform/errors.h"
#include "store/store.h"

namespace nv {

inline constexpr int kInternalError = 51;

// Runs a timer-driven step under a trap that only logs: nothing is shown,
// the rest of the step is skipped, and the next run starts afresh.
template <class Step>
void RunLoggingFailures(Store& store, Step&& step) {
  try {
    step();
  } catch (const AppError& e) {
    store.LogError(e);
  } catch (const std::exception& e) {
    store.LogError(AppError(kInternalError, std::string("Internal error: ") + e.what()));
  }
}

}  // namespace nv
