#include "app/pages/control_factory.h"

namespace corvid::app {

SkinPicture* ControlFactory::Picture(QWidget* parent, const QString& name, const QString& skinName,
                                     SkinPicture::Role role) {
  auto* picture = Add(new SkinPicture(skin_, name, role, parent));
  if (!skinName.isEmpty()) picture->SetPicture(skinName);
  return picture;
}

SkinButton* ControlFactory::Button(QWidget* parent, SkinButton::Type type, const QString& name) {
  return Add(new SkinButton(type, name, parent));
}

QLabel* ControlFactory::Caption(QWidget* parent, const QString& name, const QString& text) {
  auto* label = Add(new QLabel(text, parent));
  label->setObjectName(name);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  label->adjustSize();
  return label;
}

QLineEdit* ControlFactory::Edit(QWidget* parent, const QString& name, QSize size) {
  auto* edit = Add(new QLineEdit(parent));
  edit->setObjectName(name);
  edit->resize(size);
  edit->setAccessibleName(name);
  return edit;
}

QListWidget* ControlFactory::List(QWidget* parent, const QString& name, QSize size) {
  auto* list = Add(new QListWidget(parent));
  list->setObjectName(name);
  list->resize(size);
  list->setFrameShape(QFrame::NoFrame);
  list->setAccessibleName(name);
  return list;
}

QComboBox* ControlFactory::Combo(QWidget* parent, const QString& name, QSize size) {
  auto* combo = Add(new QComboBox(parent));
  combo->setObjectName(name);
  combo->resize(size);
  return combo;
}

QWidget* ControlFactory::Group(QWidget* parent, const QString& name, QRect geometry) {
  auto* group = Add(new QWidget(parent));
  group->setObjectName(name);
  group->setGeometry(geometry);
  return group;
}

QWidget* ControlFactory::Swatch(QWidget* parent, const QString& name) {
  auto* swatch = Add(new QWidget(parent));
  swatch->setObjectName(name);
  swatch->setAutoFillBackground(true);
  swatch->setAttribute(Qt::WA_TransparentForMouseEvents);
  return swatch;
}

}  // namespace corvid::app
