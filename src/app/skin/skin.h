#pragma once

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <future>
#include <thread>

namespace corvid::app {

// The window's picture set, found by name without regard to letter case ("sets_01" finds
// "SetS_01"). Each picture is decoded once, the first time it is asked for.
class Skin {
 public:
  explicit Skin(const QString& folder = QStringLiteral(":/skin"));

  Skin(const Skin&) = delete;
  Skin& operator=(const Skin&) = delete;
  ~Skin();

  // Starts decoding these pictures on a thread of their own, so that the window can build its
  // controls meanwhile; Picture() then only waits for what is not done yet.
  void DecodeAhead(const QStringList& names);
  // The picture, or a null pixmap when the set has none of that name.
  QPixmap Picture(const QString& name) const;
  bool Has(const QString& name) const { return paths_.contains(name.toLower()); }
  QStringList Names() const;

 private:
  QHash<QString, QString> paths_;  // lower-case name without extension -> file
  mutable QHash<QString, QPixmap> decoded_;
  // Pictures decoded ahead, by lower-case name; a QPixmap is made only on the window's thread.
  mutable QHash<QString, std::shared_future<QImage>> ahead_;
  std::thread decoder_;
};

}  // namespace corvid::app
