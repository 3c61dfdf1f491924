#pragma once
#include <chrono>
#include <cstdio>
#include <functional>

namespace nv::bench {

// Best of n runs, in milliseconds: the least disturbed measurement.
inline double BestMs(int runs, const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    work();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (ms < best) best = ms;
  }
  return best;
}

}  // namespace nv::bench
