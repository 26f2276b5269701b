#include "app/busy_window.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace corvid::app {

BusyWindowQt::BusyWindowQt(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("FormLoadingUI"));
  // Rounded by a mask, which needs no compositor.
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0, 0, kWidth, kHeight), 14, 14);
  setMask(QRegion(outline.toFillPolygon().toPolygon()));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(kWidth, kHeight);
  reveal_.setSingleShot(true);
  reveal_.setInterval(kRevealDelayMs);
  connect(&reveal_, &QTimer::timeout, this, &BusyWindowQt::Reveal);
  animation_.setInterval(40);
  connect(&animation_, &QTimer::timeout, this, [this] {
    angle_ = (angle_ + 12) % 360;
    update();
  });
}

BusyWindowQt::~BusyWindowQt() {
  if (busy_) qApp->removeEventFilter(this);
}

void BusyWindowQt::Place() {
  if (!mainWindow_) return;
  const QRect main = mainWindow_->frameGeometry();
  move(main.left() + (main.width() - width()) / 2,
       main.top() + (main.height() - height()) / 2 + 40);
}

void BusyWindowQt::Show() {
  // The transfers show the window before every report group and hide it once at the end.
  if (!busy_) {
    busy_ = true;
    qApp->installEventFilter(this);
    done_ = 0;
    total_ = 0;
    reveal_.start();
  }
  ProcessPendingEvents();
}

void BusyWindowQt::Reveal() {
  if (!busy_) return;
  Place();
  show();
  raise();
  animation_.start();
}

void BusyWindowQt::Hide() {
  if (busy_) {
    busy_ = false;
    reveal_.stop();
    animation_.stop();
    hide();
    qApp->removeEventFilter(this);
  }
}

void BusyWindowQt::ProcessPendingEvents() {
  // User input is dropped by the event filter while busy, so the window may handle everything
  // else: it paints, and the animation runs.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void BusyWindowQt::Progress(int done, int total) {
  done_ = done;
  total_ = total;
  update();
}

bool BusyWindowQt::eventFilter(QObject* watched, QEvent* event) {
  // Only the main window's input is dropped: a message box raised mid-transfer still takes its OK.
  const auto* widget = qobject_cast<const QWidget*>(watched);
  if (!widget || !mainWindow_ || widget->window() != mainWindow_.data()) {
    return QWidget::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::Close:
      // Closing the window mid-transfer would leave the mouse half written.
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

void BusyWindowQt::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath panel;
  panel.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
  painter.fillPath(panel, QColor(18, 20, 24));
  painter.setPen(QPen(QColor(0, 200, 230, 160), 1));
  painter.drawPath(panel);

  const QRectF ring(53, 34, 100, 100);
  painter.setPen(QPen(QColor(255, 255, 255, 30), 8, Qt::SolidLine, Qt::FlatCap));
  painter.drawEllipse(ring);
  // A turning arc while the size of the work is unknown, the share done once it is known.
  painter.setPen(QPen(QColor(0, 210, 240), 8, Qt::SolidLine, Qt::RoundCap));
  if (total_ > 0) {
    const int span = static_cast<int>(360.0 * 16 * std::min(done_, total_) / total_);
    painter.drawArc(ring, 90 * 16, -span);
  }
  painter.setPen(QPen(QColor(0, 210, 240, 110), 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawArc(ring.adjusted(-10, -10, 10, 10), -angle_ * 16, 70 * 16);

  painter.setPen(QColor(230, 236, 240));
  QFont font = painter.font();
  font.setPointSize(13);
  font.setBold(true);
  painter.setFont(font);
  const QString share =
      total_ > 0 ? QStringLiteral("%1 %").arg(100 * std::min(done_, total_) / total_) : QString();
  painter.drawText(ring, Qt::AlignCenter, share);
}

}  // namespace corvid::app
