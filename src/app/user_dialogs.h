#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace corvid::app {

// The modal exchanges with the user: message boxes, file choosers and opening a web address. The
// window uses the platform's own; widget tests put a scripted stand-in in their place.
class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A message box with one OK button; returns when it is dismissed.
  virtual void ShowMessage(QWidget* parent, const QString& text, bool emptyCaption) = 0;
  // An existing file to open, or an empty text when the user cancelled.
  virtual QString ChooseFileToOpen(QWidget* parent, const QString& filter) = 0;
  // A file to save into, or an empty text when the user cancelled.
  virtual QString ChooseFileToSave(QWidget* parent, const QString& filter) = 0;
  virtual void OpenWebAddress(const QString& address) = 0;
  // A colour from the platform's colour chooser, or an invalid colour when the user cancelled.
  virtual QColor ChooseColour(QWidget* parent, const QColor& initial) = 0;
};

// Qt's message box, the platform's file dialogs and the desktop's web browser.
class PlatformDialogs final : public UserDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text, bool emptyCaption) override;
  QString ChooseFileToOpen(QWidget* parent, const QString& filter) override;
  QString ChooseFileToSave(QWidget* parent, const QString& filter) override;
  void OpenWebAddress(const QString& address) override;
  QColor ChooseColour(QWidget* parent, const QColor& initial) override;
};

}  // namespace corvid::app
