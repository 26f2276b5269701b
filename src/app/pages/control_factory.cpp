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
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  Add(label);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  label->adjustSize();
  return label;
}

QLineEdit* ControlFactory::Edit(QWidget* parent, const QString& name, QSize size) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  Add(edit);
  edit->resize(size);
  edit->setAccessibleName(name);
  // The built-in look of an edit field on the dark pages; a layout colours some of them.
  edit->setStyleSheet(
      QStringLiteral("QLineEdit { color: #d8e0e6; background: #15191e; border: 1px solid #3a4550; "
                     "padding: 0 3px; }"
                     "QLineEdit:focus { border-color: #22d3ee; }"));
  return edit;
}

QListWidget* ControlFactory::List(QWidget* parent, const QString& name, QSize size) {
  auto* list = new QListWidget(parent);
  list->setObjectName(name);
  Add(list);
  list->resize(size);
  list->setFrameShape(QFrame::NoFrame);
  list->setAccessibleName(name);
  return list;
}

QComboBox* ControlFactory::Combo(QWidget* parent, const QString& name, QSize size) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  Add(combo);
  combo->resize(size);
  return combo;
}

QWidget* ControlFactory::Group(QWidget* parent, const QString& name, QRect geometry) {
  auto* group = new QWidget(parent);
  group->setObjectName(name);
  Add(group);
  group->setGeometry(geometry);
  return group;
}

QWidget* ControlFactory::Swatch(QWidget* parent, const QString& name) {
  auto* swatch = new QWidget(parent);
  swatch->setObjectName(name);
  Add(swatch);
  swatch->setAutoFillBackground(true);
  swatch->setAttribute(Qt::WA_TransparentForMouseEvents);
  return swatch;
}

}  // namespace corvid::app
