#include "cli/terminal_ui.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace corvid::cli {
namespace {

constexpr auto kProgressDelay = std::chrono::milliseconds(500);
constexpr int kBarWidth = 30;

}  // namespace

void TerminalObserver::ShowMessage(const session::Message& message) {
  // The window shows "No Device Found" while a restarted mouse enumerates again; on a terminal
  // that reads as a lost mouse, so say what happens, and tell a real loss only when it comes.
  if (message.whileRestarting) {
    std::cerr << "The mouse restarts to take the change; looking for it again...\n";
    restartPending_ = true;
    return;
  }
  restartPending_ = false;
  // The window separates two lines of one message with a carriage return.
  std::string text = message.text;
  std::replace(text.begin(), text.end(), '\r', '\n');
  std::cerr << text << '\n';
  lastMessage_ = text;
}

void TerminalObserver::RestorePagesAfterRead(bool) {
  if (!restartPending_) return;
  restartPending_ = false;
  std::cerr << "The mouse restarted and was found again.\n";
}

TerminalBusyWindow::TerminalBusyWindow() : enabled_(::isatty(STDERR_FILENO) == 1) {}

TerminalBusyWindow::~TerminalBusyWindow() { Clear(); }

void TerminalBusyWindow::Show() {
  if (!shown_) {
    shown_ = true;
    steps_ = 0;
    done_ = 0;
    total_ = 0;
    started_ = std::chrono::steady_clock::now();
  }
  ++steps_;
  if (enabled_ && std::chrono::steady_clock::now() - started_ >= kProgressDelay) Draw();
}

void TerminalBusyWindow::Hide() {
  shown_ = false;
  Clear();
}

void TerminalBusyWindow::Progress(int done, int total) {
  done_ = done;
  total_ = total;
}

// The bar shows the share of the transfer once it is known; until then it fills and wraps.
void TerminalBusyWindow::Draw() {
  const int filled = total_ > 0 ? static_cast<int>(static_cast<long>(kBarWidth) * done_ / total_)
                                : static_cast<int>(steps_ / 8 % (kBarWidth + 1));
  std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
            << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] ";
  if (total_ > 0) {
    std::cerr << 100 * done_ / total_ << " %      ";
  } else {
    std::cerr << steps_ << " reports";
  }
  std::cerr << std::flush;
  drawn_ = true;
}

void TerminalBusyWindow::Clear() {
  if (!drawn_) return;
  std::cerr << '\r' << std::string(kBarWidth + 24, ' ') << '\r' << std::flush;
  drawn_ = false;
}

}  // namespace corvid::cli
