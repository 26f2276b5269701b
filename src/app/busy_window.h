#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "device/busy_window.h"

namespace corvid::app {

// The small top-most window shown while the mouse is read or written: an animation and the
// progress of the transfer. While a transfer runs the main window keeps painting, but no key or
// mouse input reaches any page: such input is dropped, not kept for later. The window itself comes
// up only once a transfer has run for kRevealDelayMs: a single write (one report and the mouse's
// 100 ms pause) would otherwise flash it on and off at every click.
class BusyWindowQt : public QWidget, public device::BusyWindow {
  Q_OBJECT

 public:
  static constexpr int kWidth = 206;
  static constexpr int kHeight = 196;
  static constexpr int kRevealDelayMs = 150;

  explicit BusyWindowQt(QWidget* mainWindow);
  ~BusyWindowQt() override;

  void Show() override;
  void Hide() override;
  void ProcessPendingEvents() override;
  void Progress(int done, int total) override;

  bool IsBusy() const { return busy_; }
  int Done() const { return done_; }
  int Total() const { return total_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place();
  void Reveal();

  QPointer<QWidget> mainWindow_;
  QTimer animation_;
  QTimer reveal_;
  int angle_ = 0;
  bool busy_ = false;
  int done_ = 0;
  int total_ = 0;
};

}  // namespace corvid::app
