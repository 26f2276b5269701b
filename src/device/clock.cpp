#include "device/clock.h"

#include <sys/prctl.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace corvid::device {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

// How early a short delay's sleep ends, before anything is learnt, and the bounds of what may be
// learnt. A margin above the longest delay simply waits on the counter the whole time.
constexpr std::int64_t kInitialWakeMargin = 60'000;
constexpr std::int64_t kLeastWakeMargin = 2'000;
constexpr std::int64_t kMostWakeMargin = 300'000;
// The margin follows the 90th percentile of how late the sleeps wake: it grows by nine steps
// after a sleep that woke past it and shrinks by one after a sleep that did not. So nine wakes in
// ten land before the deadline and end on the counter, and one slow wake-up (another process on
// the core) moves the margin by a few microseconds only.
constexpr std::int64_t kMarginStepUp = 9'000;
constexpr std::int64_t kMarginStepDown = 1'000;

std::int64_t NowNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

// Sleeps until an absolute point on the monotonic clock, so an interrupted sleep resumes towards
// the same deadline and the wait is never shorter than asked.
void SleepUntil(std::int64_t deadline) {
  timespec until{};
  until.tv_sec = static_cast<time_t>(deadline / kNanosecondsPerSecond);
  until.tv_nsec = static_cast<long>(deadline % kNanosecondsPerSecond);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

void SpinUntil(std::int64_t deadline) {
  while (NowNanoseconds() < deadline) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  }
}

}  // namespace

SteadyClock::SteadyClock() : wakeMargin_(kInitialWakeMargin) {
  // The default timer slack of 50 us would make every sleep wake that much late.
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void SteadyClock::SleepMilliseconds(std::uint32_t milliseconds) {
  SleepUntil(NowNanoseconds() + static_cast<std::int64_t>(milliseconds) * 1'000'000);
}

void SteadyClock::DelayMicroseconds(std::uint32_t microseconds) {
  const std::int64_t start = NowNanoseconds();
  const std::int64_t deadline = start + static_cast<std::int64_t>(microseconds) * 1'000;
  std::int64_t margin = wakeMargin_.load(std::memory_order_relaxed);
  const std::int64_t wake = deadline - margin;
  if (wake > start) {
    SleepUntil(wake);
    const std::int64_t late = NowNanoseconds() - wake;
    margin = late > margin ? margin + kMarginStepUp : margin - kMarginStepDown;
    wakeMargin_.store(std::clamp(margin, kLeastWakeMargin, kMostWakeMargin),
                      std::memory_order_relaxed);
  }
  // The counter decides the end, so the delay is never shorter than asked.
  SpinUntil(deadline);
}

std::uint64_t SteadyClock::TickMilliseconds() {
  return static_cast<std::uint64_t>(NowNanoseconds() / 1'000'000);
}

void FakeClock::SleepMilliseconds(std::uint32_t milliseconds) {
  nowMicroseconds_ += static_cast<std::uint64_t>(milliseconds) * 1000U;
}

void FakeClock::DelayMicroseconds(std::uint32_t microseconds) { nowMicroseconds_ += microseconds; }

std::uint64_t FakeClock::TickMilliseconds() { return nowMicroseconds_ / 1000U; }

}  // namespace corvid::device
