#pragma once

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
  void DelayMicroseconds(std::uint32_t microseconds) override;
  std::uint64_t TickMilliseconds() override;
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
