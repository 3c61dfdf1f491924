#include "platform/window_barrier.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace nv {
namespace {

struct BarrierLogRecorder {
  BarrierLogRecorder() { SetBarrierLog([this](const AppError& e) { seen.push_back(e); }); }
  ~BarrierLogRecorder() { SetBarrierLog(nullptr); }
  std::vector<AppError> seen;
};

TEST(WindowBarrier, WhateverEscapesIsLoggedAndTheDefaultAnswerGiven) {
  BarrierLogRecorder log;
  auto fallback = [] { return 7L; };
  EXPECT_EQ(CallBarrier<long>("Main", [] { return 1L; }, fallback), 1L);
  EXPECT_TRUE(log.seen.empty());

  EXPECT_EQ(CallBarrier<long>("Main", []() -> long { throw AppError(53, "File not found", "Store"); }, fallback), 7L);
  EXPECT_EQ(CallBarrier<long>("Tray", []() -> long { throw std::length_error("too long"); }, fallback), 7L);
  EXPECT_EQ(CallBarrier<long>("Help", []() -> long { throw 3; }, fallback), 7L);
  ASSERT_EQ(log.seen.size(), 3u);
  EXPECT_EQ(log.seen[0].number, 53);
  EXPECT_EQ(log.seen[0].description, "File not found");
  EXPECT_EQ(log.seen[0].source, "Main: Store");
  EXPECT_EQ(log.seen[1].description, "Internal error: too long");
  EXPECT_EQ(log.seen[1].source, "Tray");
  EXPECT_EQ(log.seen[2].number, kUncaughtError);
}

TEST(WindowBarrier, AFailingLogOrFallbackStillKeepsTheExceptionInside) {
  SetBarrierLog([](const AppError&) { throw std::runtime_error("disk full"); });
  EXPECT_EQ(CallBarrier<int>("Main", []() -> int { throw std::runtime_error("x"); },
                             []() -> int { throw std::runtime_error("y"); }),
            0);
  SetBarrierLog(nullptr);
  EXPECT_EQ(CallBarrier<int>("Main", []() -> int { throw 1; }, [] { return 2; }), 2);
}

}  // namespace
}  // namespace nv
