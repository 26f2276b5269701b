#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

namespace corvid::app {

// The window's picture set, found by name without regard to letter case ("sets_01" finds
// "SetS_01"). Each picture is decoded once, the first time it is asked for.
class Skin {
 public:
  explicit Skin(const QString& folder = QStringLiteral(":/skin"));

  // The picture, or a null pixmap when the set has none of that name.
  QPixmap Picture(const QString& name) const;
  bool Has(const QString& name) const { return paths_.contains(name.toLower()); }
  QStringList Names() const;

 private:
  QHash<QString, QString> paths_;  // lower-case name without extension -> file
  mutable QHash<QString, QPixmap> decoded_;
};

}  // namespace corvid::app
