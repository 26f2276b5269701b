#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "device/clock.h"
#include "device/hid_bus.h"
#include "device/memory_layout.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"

namespace corvid::startup {

struct GlobalOptions {
  bool simulate = false;  // use the stand-in mouse
  // Its memory layout; by default that of a mouse the build serves.
  std::optional<device::MemoryLayout> simulatedLayout;
  std::optional<std::filesystem::path> simStateFile;
  std::optional<std::filesystem::path> traceFile;
};

// The bus and clock a command runs on: the real HID interfaces, or the stand-in mouse on a
// simulated bus beside a keyboard. Saves the stand-in mouse back to its state file when done.
class Environment {
 public:
  // Returns null and sets `error` when the stand-in mouse's state file or the trace file cannot
  // be used.
  static std::unique_ptr<Environment> Create(const GlobalOptions& options, std::string& error);
  ~Environment();

  device::HidBus& Bus() { return tracing_ ? static_cast<device::HidBus&>(*tracing_) : *bus_; }
  device::Clock& Clock() { return *clock_; }
  // Saves the stand-in mouse to its state file, if one was named; false with `error` on failure.
  bool SaveSimulatedState(std::string& error);

 private:
  Environment() = default;

  std::unique_ptr<device::Clock> clock_;
  std::unique_ptr<sim::StandInMouse> mouse_;
  std::unique_ptr<device::HidBus> bus_;
  std::ofstream trace_;
  std::unique_ptr<sim::TracingHidBus> tracing_;
  std::optional<std::filesystem::path> stateFile_;
};

}  // namespace corvid::startup
