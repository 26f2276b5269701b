#include "app/user_dialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace corvid::app {

void PlatformDialogs::ShowMessage(QWidget* parent, const QString& text, bool emptyCaption) {
  QMessageBox box(parent);
  box.setWindowTitle(emptyCaption ? QString() : QGuiApplication::applicationDisplayName());
  box.setText(text);
  box.setStandardButtons(QMessageBox::Ok);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

QString PlatformDialogs::ChooseFileToOpen(QWidget* parent, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString PlatformDialogs::ChooseFileToSave(QWidget* parent, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
}

void PlatformDialogs::OpenWebAddress(const QString& address) {
  QDesktopServices::openUrl(QUrl(address));
}

QColor PlatformDialogs::ChooseColour(QWidget* parent, const QColor& initial) {
  return QColorDialog::getColor(initial, parent);
}

}  // namespace corvid::app
