#include "app/skin/skin.h"

#include <QDir>
#include <QFileInfo>

namespace corvid::app {

Skin::Skin(const QString& folder) {
  const QDir dir(folder);
  for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.png")}, QDir::Files)) {
    paths_.insert(file.completeBaseName().toLower(), file.filePath());
  }
}

QPixmap Skin::Picture(const QString& name) const {
  const QString key = name.toLower();
  if (const auto found = decoded_.constFind(key); found != decoded_.constEnd()) return *found;
  const auto path = paths_.constFind(key);
  if (path == paths_.constEnd()) return {};
  QPixmap picture(*path);
  decoded_.insert(key, picture);
  return picture;
}

QStringList Skin::Names() const { return paths_.keys(); }

}  // namespace corvid::app
