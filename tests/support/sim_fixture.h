#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/discovery.h"
#include "device/protocol.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"
#include "support/recording_busy_window.h"

namespace corvid::testing_support {

// The feature-report lines of a trace, without the busy window's lines.
inline std::vector<std::string> ReportLines(const std::string& trace) {
  std::vector<std::string> reports;
  std::istringstream in(trace);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("set ") || line.starts_with("get ")) reports.push_back(line);
  }
  return reports;
}

// A stand-in mouse on a simulated bus, reached through a tracing bus; the busy window writes into
// the same log. Tests compare the log with the expected lines.
class SimBench {
 public:
  explicit SimBench(sim::StandInMouseConfig config = {}) : mouse(config, clock) {}

  void PlugMouse(bool accessible = true) {
    mousePlug = bus.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId,
                               mouse.Config().collections, accessible);
  }

  device::OpenMouseResult Open() {
    return device::OpenMouse(traced, link, mouse.Config().vendorId, mouse.Config().productId);
  }

  // Plugs and opens the mouse, then starts a fresh log.
  void Connect() {
    PlugMouse();
    ASSERT_TRUE(Open().matched);
    ASSERT_TRUE(link.IsConnected());
    ClearLog();
  }

  void ClearLog() { log.str({}); }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(log.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Only the report lines of the log.
  std::vector<std::string> Reports() const { return ReportLines(log.str()); }

  device::FakeClock clock;
  sim::StandInMouse mouse;
  sim::SimulatedBus bus;
  std::ostringstream log;
  sim::TracingHidBus traced{bus, log};
  RecordingBusyWindow busy{log};
  device::DeviceLink link;
  device::Protocol protocol{traced, link, clock, busy};
  int mousePlug = 0;
};

class SimFixture : public ::testing::Test, public SimBench {
 protected:
  explicit SimFixture(sim::StandInMouseConfig config = {}) : SimBench(config) {}
};

}  // namespace corvid::testing_support
