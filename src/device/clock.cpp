#include "device/clock.h"

#include <sys/prctl.h>

#include <cerrno>
#include <ctime>

namespace corvid::device {
namespace {

constexpr long kNanosecondsPerSecond = 1'000'000'000L;

timespec Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now;
}

// Sleeps until an absolute point on the monotonic clock, so an interrupted sleep resumes towards
// the same deadline and the wait is never shorter than asked.
void SleepFor(std::uint64_t nanoseconds) {
  timespec deadline = Now();
  deadline.tv_sec += static_cast<time_t>(nanoseconds / kNanosecondsPerSecond);
  deadline.tv_nsec += static_cast<long>(nanoseconds % kNanosecondsPerSecond);
  if (deadline.tv_nsec >= kNanosecondsPerSecond) {
    deadline.tv_nsec -= kNanosecondsPerSecond;
    ++deadline.tv_sec;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
}

}  // namespace

SteadyClock::SteadyClock() {
  // The default timer slack of 50 us would stretch each half-millisecond pause after a read-back
  // by a tenth; a full read of a Flash mouse waits over a thousand times.
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void SteadyClock::SleepMilliseconds(std::uint32_t milliseconds) {
  SleepFor(static_cast<std::uint64_t>(milliseconds) * 1'000'000U);
}

// Linux sleeps with a fine enough resolution for half a millisecond, so there is no need to spin
// on the counter; the absolute deadline keeps the lower bound.
void SteadyClock::DelayMicroseconds(std::uint32_t microseconds) {
  SleepFor(static_cast<std::uint64_t>(microseconds) * 1'000U);
}

std::uint64_t SteadyClock::TickMilliseconds() {
  const timespec now = Now();
  return static_cast<std::uint64_t>(now.tv_sec) * 1000U +
         static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000U;
}

void FakeClock::SleepMilliseconds(std::uint32_t milliseconds) {
  nowMicroseconds_ += static_cast<std::uint64_t>(milliseconds) * 1000U;
}

void FakeClock::DelayMicroseconds(std::uint32_t microseconds) { nowMicroseconds_ += microseconds; }

std::uint64_t FakeClock::TickMilliseconds() { return nowMicroseconds_ / 1000U; }

}  // namespace corvid::device
