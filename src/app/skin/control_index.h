#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <vector>

namespace corvid::app {

// Every named control of the window by its system name ("Img_DPI3_7", "Btn_Main_2"), so that the
// layout and the texts are applied without searching the widget tree for each key.
class ControlIndex {
 public:
  void Add(QWidget* control) {
    controls_.insert(control->objectName(), control);
    order_.push_back(control);
  }
  QWidget* Find(const QString& name) const { return controls_.value(name, nullptr); }
  template <typename T>
  T* Get(const QString& name) const {
    return qobject_cast<T*>(Find(name));
  }
  qsizetype Size() const { return controls_.size(); }
  const QHash<QString, QWidget*>& All() const { return controls_; }
  // The controls in the order they were added: those from `Size()` at one moment on are the ones
  // made since.
  const std::vector<QWidget*>& InOrder() const { return order_; }

 private:
  QHash<QString, QWidget*> controls_;
  std::vector<QWidget*> order_;
};

}  // namespace corvid::app
