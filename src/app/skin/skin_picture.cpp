#include "app/skin/skin_picture.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/skin/skin.h"

namespace corvid::app {

SkinPicture::SkinPicture(const Skin& skin, const QString& name, Role role, QWidget* parent)
    : QAbstractButton(parent), skin_(skin), role_(role) {
  setObjectName(name);
  if (role_ == Role::kClickable) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
  } else {
    setFocusPolicy(Qt::NoFocus);
  }
  if (role_ == Role::kDecoration) setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SkinPicture::SetPicture(const QString& skinName) {
  skinName_ = skinName;
  picture_ = skin_.Picture(skinName);
  if (!picture_.isNull()) resize(picture_.deviceIndependentSize().toSize());
  update();
}

QSize SkinPicture::sizeHint() const {
  return picture_.isNull() ? QSize(16, 16) : picture_.deviceIndependentSize().toSize();
}

void SkinPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!picture_.isNull()) {
    if (role_ == Role::kBackground) {
      painter.drawPixmap(rect(), picture_);
    } else {
      painter.drawPixmap(0, 0, picture_);
    }
  }
  if (hasFocus() && keyboardFocus_) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void SkinPicture::mousePressEvent(QMouseEvent* event) {
  if (role_ == Role::kBackground) {
    if (event->button() == Qt::LeftButton) emit BackgroundPressed();
    event->accept();
    return;
  }
  QAbstractButton::mousePressEvent(event);
}

namespace {

QAccessibleInterface* SkinAccessibleFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("corvid::app::SkinPicture")) return nullptr;
  auto* picture = static_cast<SkinPicture*>(object);
  if (picture->PictureRole() == SkinPicture::Role::kClickable) return nullptr;
  return new QAccessibleWidget(picture, QAccessible::Graphic);
}

}  // namespace

void InstallSkinAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(SkinAccessibleFactory);
}

}  // namespace corvid::app

namespace corvid::app {

void SkinPicture::focusInEvent(QFocusEvent* event) {
  // The ring shows where the keyboard is, not where the pointer clicked.
  keyboardFocus_ =
      event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
  QAbstractButton::focusInEvent(event);
}

}  // namespace corvid::app
