#pragma once

namespace corvid::device {

// The busy window shown during transfers, and the step that lets the window handle its pending
// events between two reports. The window implements it with Qt, the command-line tool with a
// progress line, tests with a recording fake.
class BusyWindow {
 public:
  virtual ~BusyWindow() = default;

  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void ProcessPendingEvents() = 0;
  // How far the transfer has come: `done` of `total` reports.
  virtual void Progress(int done, int total) {
    (void)done;
    (void)total;
  }
};

class NoBusyWindow final : public BusyWindow {
 public:
  void Show() override {}
  void Hide() override {}
  void ProcessPendingEvents() override {}
};

}  // namespace corvid::device
