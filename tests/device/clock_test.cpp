#include "device/clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace corvid::device {
namespace {

// A lower bound only: the mouse must get at least the time asked for. How much longer the system
// takes depends on the machine's load and is measured in the benchmarks, not tested.
TEST(SteadyClockTest, DelaysNeverReturnEarly) {
  SteadyClock clock;
  // Shorter than the wake margin (counter only), about as long as it, and a read-back's pause
  // repeated often enough for the margin to be learnt and move while the bound is checked.
  const struct {
    std::uint32_t microseconds;
    int times;
  } cases[] = {{0, 5}, {1, 20}, {40, 50}, {500, 400}, {3000, 5}};
  for (const auto& c : cases) {
    for (int i = 0; i < c.times; ++i) {
      const auto start = std::chrono::steady_clock::now();
      clock.DelayMicroseconds(c.microseconds);
      const auto took = std::chrono::steady_clock::now() - start;
      ASSERT_GE(took, std::chrono::microseconds(c.microseconds))
          << c.microseconds << " us, delay " << i;
    }
  }

  const std::uint64_t tickBefore = clock.TickMilliseconds();
  clock.SleepMilliseconds(3);
  EXPECT_GE(clock.TickMilliseconds() - tickBefore, 2U);  // ticks are whole milliseconds
}

}  // namespace
}  // namespace corvid::device
