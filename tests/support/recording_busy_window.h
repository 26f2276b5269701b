#pragma once

#include <functional>
#include <ostream>
#include <utility>
#include <vector>

#include "device/busy_window.h"

namespace corvid::testing_support {

// Writes what the busy window is asked to do into the same log as the protocol trace, so a test
// sees the order of showing, event processing and reports.
class RecordingBusyWindow final : public device::BusyWindow {
 public:
  explicit RecordingBusyWindow(std::ostream& log) : log_(log) {}

  void Show() override { log_ << "busy show\n"; }
  void Hide() override { log_ << "busy hide\n"; }
  void ProcessPendingEvents() override {
    log_ << "events\n";
    if (onEvents) onEvents();
  }

  // Not logged, so that the logs of transfers compare as before.
  void Progress(int done, int total) override { progress.emplace_back(done, total); }

  // Runs while events are processed, as a click handled between two reports would.
  std::function<void()> onEvents;
  std::vector<std::pair<int, int>> progress;

 private:
  std::ostream& log_;
};

}  // namespace corvid::testing_support
