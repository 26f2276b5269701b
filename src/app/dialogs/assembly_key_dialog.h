#pragma once

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <array>

#include "keys/assembly_key.h"

namespace corvid::app {

// The key-combination dialog (TForm2): up to two keys pressed on the keyboard plus the modifiers
// ticked in its boxes. It does not block the window; it stays above it, centred a little below
// the middle, and closes on Confirm or its close area. Each opening is a new dialog with an empty
// combination.
//
// The combination field takes every key, Tab and Escape included, since a button may send them;
// Shift+Tab leaves it for the boxes and buttons. Keys held down repeat without being captured
// again: a held key is one key.
class AssemblyKeyDialog final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 354;
  static constexpr int kHeight = 179;

  struct Captions {
    QString title;    // "Assembly Key"
    QString confirm;  // "Confirm"
    QString clear;    // "Clear"
  };

  AssemblyKeyDialog(QWidget* window, const Captions& captions, const QColor& accent);

  // Shows the dialog over `window` and gives the combination field the keyboard.
  void Open();

  QString CombinationText() const { return edit_->text(); }
  const keys::AssemblyKeyCapture& Capture() const { return capture_; }

 signals:
  // Confirm with a combination: the caption and the code to give the selected button.
  void Confirmed(const QString& caption, const QString& codeText);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void ModifierChanged(keys::AssemblyModifier modifier, bool checked);
  void ConfirmClick();
  void ClearClick();
  void ShowCombination();

  QWidget* window_;
  QColor accent_;
  keys::AssemblyKeyCapture capture_;
  QLabel* title_ = nullptr;
  QLineEdit* edit_ = nullptr;
  std::array<QCheckBox*, 4> boxes_{};
  QPushButton* confirm_ = nullptr;
  QPushButton* clear_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace corvid::app
