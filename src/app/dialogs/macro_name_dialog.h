#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace corvid::app {

class SkinButton;

// The name dialog of the macro library's New and Rename (TForm3): a small border-less box over the
// main window with one field of at most 8 characters. It is not modal; Confirm hands the name to
// the page and closes, Cancel empties the field, the corner cross closes without a name.
class MacroNameDialog final : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 354;
  static constexpr int kHeight = 179;
  static constexpr int kMaximumNameLength = 8;

  explicit MacroNameDialog(QWidget* window);

  // Opens the dialog empty, centred over the main window, with the captions of the language the
  // window shows now: "Macro Name" (Str510), "OK" (Str511), "Cancel" (Str512).
  void Open(const QString& title, const QString& confirm, const QString& cancel);

 signals:
  void Confirmed(const QString& name);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void IB_ConfirmClick();
  void IB_CancelClick();
  void IB_CloseClick();

  QLabel* title_;
  QLineEdit* name_;
  SkinButton* confirm_;
  SkinButton* cancel_;
  SkinButton* close_;
};

}  // namespace corvid::app
