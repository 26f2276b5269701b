#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace corvid::app {

// One window per user (and one more for the stand-in mouse, so trying the tool never touches the
// real one): a second start asks the first to come to the front and ends.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(const QString& key);

  // True when this process is the first; otherwise the first was asked to show itself.
  bool IsFirst() const { return first_; }

 signals:
  void ActivationRequested();

 private:
  QLocalServer server_;
  bool first_ = false;
};

}  // namespace corvid::app
