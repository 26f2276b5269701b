#include "app/skin/skin_button.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QPainter>

namespace corvid::app {

QFont NarrowedToFit(QFont font, int needed, int room, int narrowest) {
  if (needed > room && needed > 0 && room > 0) {
    font.setStretch(std::max(narrowest, 100 * room / needed));
  }
  return font;
}

SkinButton::SkinButton(Type type, const QString& name, QWidget* parent)
    : QAbstractButton(parent), type_(type) {
  setObjectName(name);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  if (type_ == Type::kPlain) SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void SkinButton::SetCaption(const QString& caption) {
  caption_ = caption;
  shown_ = caption;
  // The caption is what a screen reader says; '&' must not turn into a keyboard mnemonic.
  setAccessibleName(caption);
  update();
}

void SkinButton::SetShownText(const QString& text) {
  shown_ = text;
  update();
}

void SkinButton::SetTextColour(const QColor& colour) {
  textColour_ = colour;
  update();
}

void SkinButton::SetBackground(const QColor& colour) {
  background_ = colour;
  update();
}

void SkinButton::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void SkinButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_.isValid()) painter.fillRect(rect(), background_);
  const QRect area = rect().adjusted(alignment_ & Qt::AlignLeft ? 4 : 0, 0, 0, 0);
  QFont shownFont = font();
  if (type_ == Type::kPlain) {
    shownFont = NarrowedToFit(shownFont, QFontMetrics(shownFont).horizontalAdvance(shown_),
                              area.width(), 80);
  }
  painter.setFont(shownFont);
  painter.setPen(isEnabled() ? textColour_ : textColour_.darker(170));
  painter.drawText(area, static_cast<int>(alignment_ | Qt::TextSingleLine), shown_);
  if (hasFocus() && keyboardFocus_) {
    painter.setPen(QPen(textColour_, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

void SkinButton::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  emit Entered();
}

void SkinButton::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  emit Left();
}

}  // namespace corvid::app

namespace corvid::app {

void SkinButton::focusInEvent(QFocusEvent* event) {
  // The ring shows where the keyboard is, not where the pointer clicked.
  keyboardFocus_ =
      event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
  QAbstractButton::focusInEvent(event);
}

}  // namespace corvid::app
