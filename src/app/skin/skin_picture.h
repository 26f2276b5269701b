#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QString>

namespace corvid::app {

class Skin;

// A picture of the skin: a page background, a button's face, a marker or a bar segment. It shows
// the named picture at the picture's own size; a background fills its page instead. Pictures that
// take clicks (bar segments, markers) are buttons for the keyboard and for screen readers; the
// others let clicks through to what lies under them, except backgrounds, which drag the window.
class SkinPicture : public QAbstractButton {
  Q_OBJECT
  Q_PROPERTY(QString skinName READ SkinName)

 public:
  enum class Role { kDecoration, kClickable, kBackground };

  SkinPicture(const Skin& skin, const QString& name, Role role, QWidget* parent);

  // Shows the picture of that name and takes its size.
  void SetPicture(const QString& skinName);
  QString SkinName() const { return skinName_; }
  Role PictureRole() const { return role_; }

  QSize sizeHint() const override;

 signals:
  // A press on a background: the window is dragged and the function menus close.
  void BackgroundPressed();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  bool keyboardFocus_ = false;
  const Skin& skin_;
  Role role_;
  QString skinName_;
  QPixmap picture_;
};

// Screen readers see decorations and backgrounds as graphics, not as buttons.
void InstallSkinAccessibility();

}  // namespace corvid::app
