#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "device/busy_window.h"
#include "session/session_observer.h"

namespace corvid::cli {

// Messages the window would show in a box go to standard error, one line each.
// There are no pages to refresh on a terminal.
class TerminalObserver final : public session::NoSessionObserver {
 public:
  void ShowMessage(const session::Message& message) override;
  // A restarted mouse that was read in full again has been found again.
  void RestorePagesAfterRead(bool updatePageAvailable) override;

  // The last message shown, so the tool can repeat the reason in its JSON output.
  const std::string& LastMessage() const { return lastMessage_; }

 private:
  std::string lastMessage_;
  bool restartPending_ = false;
};

// The busy window on a terminal: once a transfer has run for half a second, a line on standard
// error shows how much of it is done. Nothing is drawn when standard error is not a terminal.
class TerminalBusyWindow final : public device::BusyWindow {
 public:
  TerminalBusyWindow();
  ~TerminalBusyWindow() override;

  void Show() override;
  void Hide() override;
  void ProcessPendingEvents() override {}
  void Progress(int done, int total) override;

 private:
  void Draw();
  void Clear();

  bool enabled_;
  bool shown_ = false;
  bool drawn_ = false;
  long steps_ = 0;
  int done_ = 0;
  int total_ = 0;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace corvid::cli
