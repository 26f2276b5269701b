#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QString>

#include "app/skin/control_index.h"
#include "app/skin/skin.h"
#include "app/skin/skin_button.h"
#include "app/skin/skin_picture.h"

namespace corvid::app {

// Makes the window's controls with their system names and enters them into the index.
class ControlFactory {
 public:
  ControlFactory(const Skin& skin, ControlIndex& index) : skin_(skin), index_(index) {}

  const Skin& SkinSet() const { return skin_; }
  ControlIndex& Index() { return index_; }

  // A picture showing `skinName` (none: empty until a page shows it).
  SkinPicture* Picture(QWidget* parent, const QString& name, const QString& skinName = {},
                       SkinPicture::Role role = SkinPicture::Role::kDecoration);
  SkinButton* Button(QWidget* parent, SkinButton::Type type, const QString& name);
  // A caption that sizes itself to its text.
  QLabel* Caption(QWidget* parent, const QString& name, const QString& text = {});
  QLineEdit* Edit(QWidget* parent, const QString& name, QSize size);
  QListWidget* List(QWidget* parent, const QString& name, QSize size);
  QComboBox* Combo(QWidget* parent, const QString& name, QSize size);
  QWidget* Group(QWidget* parent, const QString& name, QRect geometry);
  // A swatch showing a colour; its click label lies over it.
  QWidget* Swatch(QWidget* parent, const QString& name);

  template <typename T>
  T* Add(T* control) {
    index_.Add(control);
    return control;
  }

 private:
  const Skin& skin_;
  ControlIndex& index_;
};

}  // namespace corvid::app
