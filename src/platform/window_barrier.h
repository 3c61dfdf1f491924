#pragma once
#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "platform/errors.h"

namespace nv {

// Windows calls window procedures from C code: a C++ exception must never
// leave one. Each procedure runs its body through CallBarrier, which logs what
// escaped and gives Windows the procedure's default answer instead.

// Where escaped failures go: the program sets the error log at start-up.
// Until then (and in tests that set nothing) they are dropped.
void SetBarrierLog(std::function<void(const AppError&)> log);
void LogAtBarrier(const AppError& e);

inline constexpr int kUncaughtError = 51;

template <class R, class Body, class Fallback>
R CallBarrier(const char* where, Body&& body, Fallback&& fallback) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const AppError& e) {
    LogAtBarrier(AppError(e.number, e.description, std::string(where) + ": " + e.source));
  } catch (const std::exception& e) {
    LogAtBarrier(AppError(kUncaughtError, std::string("Internal error: ") + e.what(), where));
  } catch (...) {
    LogAtBarrier(AppError(kUncaughtError, "Internal error: an unknown exception", where));
  }
  try {
    return std::forward<Fallback>(fallback)();
  } catch (...) {
    return R{};
  }
}

// For a body that gives Windows no answer of its own.
template <class Body>
void CallBarrier(const char* where, Body&& body) noexcept {
  CallBarrier<int>(where, [&] { return std::forward<Body>(body)(), 0; }, [] { return 0; });
}

}  // namespace nv
