#include "app/dialogs/assembly_key_dialog.h"

#include <QKeyEvent>
#include <QPainter>

#include "app/keys/qt_key_mapping.h"

namespace corvid::app {
namespace {

using keys::AssemblyModifier;

struct BoxSpec {
  const char* name;
  const char* caption;
  AssemblyModifier modifier;
  int x;
};
constexpr std::array<BoxSpec, 4> kBoxes{{{"CB_Ctrl", "Ctrl", AssemblyModifier::kCtrl, 56},
                                         {"CB_Shift", "Shift", AssemblyModifier::kShift, 110},
                                         {"CB_Alt", "Alt", AssemblyModifier::kAlt, 176},
                                         {"CB_Win", "Win", AssemblyModifier::kWin, 232}}};

QString StyleSheet(const QColor& accent) {
  const QString a = accent.name();
  const QString hover = accent.lighter(125).name();
  return QStringLiteral(
             "QLabel#lbl_Assembly { color: %1; font-weight: bold; }"
             "QLineEdit { background: #0d1014; color: #eef3f6; border: 1px solid #2c343d;"
             "  border-radius: 3px; padding: 0 6px; selection-background-color: %1; }"
             "QLineEdit:focus { border-color: %1; }"
             "QCheckBox { color: #d8e0e6; spacing: 5px; }"
             "QCheckBox::indicator { width: 12px; height: 12px; border: 1px solid #56626e;"
             "  background: #0d1014; border-radius: 2px; }"
             "QCheckBox::indicator:checked { background: %1; border-color: %1; }"
             "QCheckBox:focus { color: #ffffff; }"
             "QPushButton { color: #d8e0e6; background: #1b2026; border: 1px solid #2c343d;"
             "  border-radius: 3px; }"
             "QPushButton:hover, QPushButton:focus { border-color: %1; color: #ffffff; }"
             "QPushButton#IB_Confirm { background: %1; border-color: %1; color: #061216;"
             "  font-weight: bold; }"
             "QPushButton#IB_Confirm:hover, QPushButton#IB_Confirm:focus { background: %2;"
             "  border-color: #ffffff; }"
             "QPushButton#IB_Close { background: transparent; border: none; color: #8a96a2;"
             "  font-size: 15px; }"
             "QPushButton#IB_Close:hover, QPushButton#IB_Close:focus { color: %1; }")
      .arg(a, hover);
}

}  // namespace

AssemblyKeyDialog::AssemblyKeyDialog(QWidget* window, const Captions& captions,
                                     const QColor& accent)
    : QWidget(window, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      window_(window),
      accent_(accent) {
  setObjectName(QStringLiteral("TForm2"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(kWidth, kHeight);
  setWindowTitle(captions.title);
  setAccessibleName(captions.title);
  setStyleSheet(StyleSheet(accent));

  title_ = new QLabel(captions.title, this);
  title_->setObjectName(QStringLiteral("lbl_Assembly"));
  title_->setGeometry(18, 12, 280, 24);

  close_ = new QPushButton(QStringLiteral("\u2715"), this);
  close_->setObjectName(QStringLiteral("IB_Close"));
  close_->setGeometry(kWidth - 32, 2, 30, 30);
  close_->setAccessibleName(QStringLiteral("Close"));
  connect(close_, &QPushButton::clicked, this, &QWidget::close);

  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("Edt_Assembly"));
  edit_->setGeometry(56, 62, 242, 26);
  edit_->setReadOnly(true);
  edit_->setAccessibleName(captions.title);
  edit_->installEventFilter(this);

  for (std::size_t i = 0; i < kBoxes.size(); ++i) {
    const BoxSpec& layout = kBoxes[i];
    auto* box = new QCheckBox(QString::fromLatin1(layout.caption), this);
    box->setObjectName(QString::fromLatin1(layout.name));
    box->move(layout.x, 98);
    box->adjustSize();
    connect(box, &QCheckBox::toggled, this, [this, modifier = layout.modifier](bool checked) {
      ModifierChanged(modifier, checked);
    });
    boxes_[i] = box;
  }

  confirm_ = new QPushButton(captions.confirm, this);
  confirm_->setObjectName(QStringLiteral("IB_Confirm"));
  confirm_->setGeometry(56, 134, 115, 28);
  connect(confirm_, &QPushButton::clicked, this, &AssemblyKeyDialog::ConfirmClick);
  clear_ = new QPushButton(captions.clear, this);
  clear_->setObjectName(QStringLiteral("IB_Cancel"));
  clear_->setGeometry(183, 134, 115, 28);
  connect(clear_, &QPushButton::clicked, this, &AssemblyKeyDialog::ClearClick);

  setTabOrder(edit_, boxes_[0]);
  for (std::size_t i = 0; i + 1 < boxes_.size(); ++i) setTabOrder(boxes_[i], boxes_[i + 1]);
  setTabOrder(boxes_.back(), confirm_);
  setTabOrder(confirm_, clear_);
  setTabOrder(clear_, close_);
}

void AssemblyKeyDialog::Open() {
  // Centred on the window, 40 pixels below its middle, so the key labels above stay in sight.
  const QRect area = window_ ? window_->geometry() : QRect(0, 0, kWidth, kHeight);
  move(area.left() + (area.width() - kWidth) / 2, area.top() + (area.height() - kHeight) / 2 + 40);
  show();
  raise();
  activateWindow();
  edit_->setFocus(Qt::OtherFocusReason);
}

void AssemblyKeyDialog::ShowCombination() {
  edit_->setText(QString::fromStdString(capture_.Text()));
}

void AssemblyKeyDialog::ModifierChanged(AssemblyModifier modifier, bool checked) {
  capture_.SetModifier(modifier, checked);
  ShowCombination();
  edit_->setFocus(Qt::OtherFocusReason);
}

void AssemblyKeyDialog::ConfirmClick() {
  // Nothing chosen: there is nothing to give the button, and its function stays.
  if (const auto result = capture_.Confirm()) {
    emit Confirmed(QString::fromStdString(result->caption),
                   QString::fromStdString(result->codeText));
  }
  close();
}

void AssemblyKeyDialog::ClearClick() {
  capture_.Clear();
  for (QCheckBox* box : boxes_) {
    const QSignalBlocker quiet(box);
    box->setChecked(false);
  }
  ShowCombination();
  edit_->setFocus(Qt::OtherFocusReason);
}

bool AssemblyKeyDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != edit_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<const QKeyEvent*>(event);
      const Qt::KeyboardModifiers held = key->modifiers();
      // Shift+Tab leaves the field; a plain Tab is a key like any other.
      if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
          (held & Qt::ShiftModifier)) {
        return false;
      }
      if (!key->isAutoRepeat()) {
        capture_.KeyPressed(KeyOfQtKeyEvent(*key),
                            keys::HeldModifiers{held.testFlag(Qt::ShiftModifier),
                                                held.testFlag(Qt::ControlModifier),
                                                held.testFlag(Qt::AltModifier)});
        ShowCombination();
      }
      return true;
    }
    case QEvent::KeyRelease: {
      const auto* key = static_cast<const QKeyEvent*>(event);
      if (!key->isAutoRepeat()) capture_.KeyReleased(KeyOfQtKeyEvent(*key));
      return true;
    }
    case QEvent::ShortcutOverride:
      // Every key belongs to the field while it has the keyboard.
      event->accept();
      return true;
    case QEvent::FocusOut:
      capture_.ReleaseAllKeys();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void AssemblyKeyDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0x16, 0x1a, 0x20));
  painter.fillRect(QRect(0, 0, width(), 3), accent_);
  painter.setPen(QColor(0x2c, 0x34, 0x3d));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace corvid::app
