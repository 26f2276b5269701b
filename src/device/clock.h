#pragma once

#include <atomic>
#include <cstdint>

namespace corvid::device {

// Every wait of the tool goes through a clock so that tests run the device's pauses in no time.
class Clock {
 public:
  virtual ~Clock() = default;

  virtual void SleepMilliseconds(std::uint32_t milliseconds) = 0;
  // Returns no earlier than `microseconds` after the call; used where the mouse needs a short
  // breather after a read-back.
  virtual void DelayMicroseconds(std::uint32_t microseconds) = 0;
  // A monotonic millisecond count with an arbitrary origin.
  virtual std::uint64_t TickMilliseconds() = 0;
};

// The real clock: the monotonic clock of the system, with sleeps that never return early.
class SteadyClock final : public Clock {
 public:
  SteadyClock();
  void SleepMilliseconds(std::uint32_t milliseconds) override;
  // Sleeps to just before the deadline and waits the rest on the counter: a plain sleep of half a
  // millisecond wakes tens of microseconds late, which a full read pays over a thousand times.
  void DelayMicroseconds(std::uint32_t microseconds) override;
  std::uint64_t TickMilliseconds() override;

  // How long before a short delay's deadline the sleep ends, in nanoseconds: learnt from how late
  // the system wakes the sleeper, so the wait on the counter stays short.
  std::int64_t WakeMarginNanoseconds() const { return wakeMargin_.load(std::memory_order_relaxed); }

 private:
  std::atomic<std::int64_t> wakeMargin_;
};

// A clock that never waits: each wait advances its time at once. Used by tests and by the
// stand-in mouse when nothing real is attached.
class FakeClock final : public Clock {
 public:
  void SleepMilliseconds(std::uint32_t milliseconds) override;
  void DelayMicroseconds(std::uint32_t microseconds) override;
  std::uint64_t TickMilliseconds() override;

  std::uint64_t NowMicroseconds() const { return nowMicroseconds_; }
  void Advance(std::uint64_t microseconds) { nowMicroseconds_ += microseconds; }

 private:
  std::uint64_t nowMicroseconds_ = 0;
};

}  // namespace corvid::device
