#include "app/dialogs/macro_name_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

#include "app/skin/skin_button.h"

namespace corvid::app {
namespace {

const QColor kPanel(0x15, 0x19, 0x1e);
const QColor kFrame(0x0e, 0x74, 0x90);
const QColor kButton(0x1b, 0x20, 0x26);
const QColor kButtonOver(0x0e, 0x74, 0x90);
const QColor kText(0xd8, 0xe0, 0xe6);

SkinButton* DialogButton(QWidget* parent, const QString& name, QRect geometry) {
  auto* button = new SkinButton(SkinButton::Type::kPlain, name, parent);
  button->setGeometry(geometry);
  button->SetTextColour(kText);
  button->SetBackground(kButton);
  // The look of the pointer over a button, as the skin's confirm and cancel pictures give it.
  QObject::connect(button, &SkinButton::Entered, button,
                   [button] { button->SetBackground(kButtonOver); });
  QObject::connect(button, &SkinButton::Left, button, [button] { button->SetBackground(kButton); });
  return button;
}

}  // namespace

MacroNameDialog::MacroNameDialog(QWidget* window)
    : QDialog(window, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("TForm3"));
  setFixedSize(kWidth, kHeight);
  setModal(false);

  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("lbl_MacroName"));
  title_->setGeometry(24, 34, kWidth - 48, 22);
  title_->setStyleSheet(QStringLiteral("color: #d8e0e6; font-weight: bold;"));

  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("Edt_MacroName"));
  name_->setGeometry(24, 64, kWidth - 48, 28);
  name_->setMaxLength(kMaximumNameLength);
  name_->setStyleSheet(
      QStringLiteral("QLineEdit { color: #d8e0e6; background: #0b0e11; border: 1px solid #3a4550; "
                     "padding: 0 4px; } QLineEdit:focus { border-color: #22d3ee; }"));
  title_->setBuddy(name_);

  confirm_ = DialogButton(this, QStringLiteral("IB_Confirm"), {kWidth / 2 - 132, 118, 120, 30});
  cancel_ = DialogButton(this, QStringLiteral("IB_Cancel"), {kWidth / 2 + 12, 118, 120, 30});
  close_ = DialogButton(this, QStringLiteral("IB_Close"), {kWidth - 32, 2, 30, 30});
  close_->SetCaption(QStringLiteral("\u00D7"));
  close_->setAccessibleName(QStringLiteral("Close"));
  connect(confirm_, &SkinButton::clicked, this, &MacroNameDialog::IB_ConfirmClick);
  connect(cancel_, &SkinButton::clicked, this, &MacroNameDialog::IB_CancelClick);
  connect(close_, &SkinButton::clicked, this, &MacroNameDialog::IB_CloseClick);
}

void MacroNameDialog::Open(const QString& title, const QString& confirm, const QString& cancel) {
  title_->setText(title);
  setWindowTitle(title);
  confirm_->SetCaption(confirm);
  cancel_->SetCaption(cancel);
  name_->clear();
  if (const QWidget* window = parentWidget()) {
    const QRect over = window->frameGeometry();
    move(over.center() - QPoint(kWidth / 2, kHeight / 2));
  }
  show();
  raise();
  activateWindow();
  name_->setFocus();
}

void MacroNameDialog::IB_ConfirmClick() {
  const QString name = name_->text();
  hide();
  emit Confirmed(name);
}

void MacroNameDialog::IB_CancelClick() {
  name_->clear();
  name_->setFocus();
}

void MacroNameDialog::IB_CloseClick() { hide(); }

void MacroNameDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      IB_ConfirmClick();
      return;
    case Qt::Key_Escape:
      IB_CloseClick();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void MacroNameDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), kPanel);
  painter.setPen(QPen(kFrame, 2));
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

}  // namespace corvid::app
