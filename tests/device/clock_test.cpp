#include "device/clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace corvid::device {
namespace {

// A lower bound only: the mouse must get at least the time asked for. How much longer the system
// takes is not tested.
TEST(SteadyClockTest, DelaysNeverReturnEarly) {
  SteadyClock clock;
  const auto start = std::chrono::steady_clock::now();
  clock.DelayMicroseconds(500);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(500));

  const std::uint64_t tickBefore = clock.TickMilliseconds();
  clock.SleepMilliseconds(3);
  EXPECT_GE(clock.TickMilliseconds() - tickBefore, 2U);  // ticks are whole milliseconds
}

}  // namespace
}  // namespace corvid::device
