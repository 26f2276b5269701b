#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QString>

namespace corvid::app {

// The caption of a skinned button: a transparent label over its picture that takes the clicks,
// the pointer and the keyboard focus. The window changes the picture on entering and leaving, by
// the button's type. The caption is also the name a screen reader says; what the label shows can
// differ from it while the caption runs as a marquee.
class SkinButton : public QAbstractButton {
  Q_OBJECT

 public:
  enum class Type {
    kA,      // Reset, Exit
    kB,      // page, save and load buttons
    kC,      // the key labels of the key page
    kD,      // language buttons
    kE,      // Load File and Update on the Update page
    kF,      // save macro
    kG,      // OK and Cancel of the insert box
    kH,      // the text buttons of the macro page: coloured, no picture
    kStart,  // Record
    kWeb,    // the web button
    kPlain,  // menu items, click labels over markers and swatches
  };

  SkinButton(Type type, const QString& name, QWidget* parent);

  Type ButtonType() const { return type_; }

  void SetCaption(const QString& caption);
  QString Caption() const { return caption_; }
  // What the label shows: the caption, or the caption turned by the marquee.
  void SetShownText(const QString& text);
  QString ShownText() const { return shown_; }

  void SetTextColour(const QColor& colour);
  QColor TextColour() const { return textColour_; }
  // A filled background (type H and menu items); an invalid colour leaves the label transparent.
  void SetBackground(const QColor& colour);
  QColor Background() const { return background_; }
  void SetAlignment(Qt::Alignment alignment);

 signals:
  void Entered();
  void Left();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool keyboardFocus_ = false;
  Type type_;
  QString caption_;
  QString shown_;
  QColor textColour_{Qt::white};
  QColor background_;
  Qt::Alignment alignment_ = Qt::AlignCenter;
};

// `font` set narrower (to `narrowest` percent at most) so that text `needed` pixels wide fits in
// `room` pixels: a caption that a language makes too long is narrowed rather than cut.
QFont NarrowedToFit(QFont font, int needed, int room, int narrowest);

}  // namespace corvid::app
