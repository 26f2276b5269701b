#pragma once

#include <cstdint>
#include <span>

namespace corvid::sim {

// A device behind one or more simulated HID interfaces (one per top-level collection).
class SimulatedDevice {
 public:
  virtual ~SimulatedDevice() = default;

  // Whether the device is on the bus now. A device that left and came back has a new generation;
  // handles opened before that no longer reach it, as on real hardware.
  virtual bool IsPresent() = 0;
  virtual std::uint64_t Generation() const = 0;

  virtual bool SetFeature(int collection, std::span<const std::uint8_t> report) = 0;
  virtual bool GetFeature(int collection, std::span<std::uint8_t> report) = 0;
};

}  // namespace corvid::sim
