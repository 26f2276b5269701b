#include "app/skin/skin.h"

#include <QDir>
#include <QFileInfo>
#include <memory>
#include <vector>

namespace corvid::app {

Skin::Skin(const QString& folder) {
  const QDir dir(folder);
  for (const QFileInfo& file : dir.entryInfoList({QStringLiteral("*.png")}, QDir::Files)) {
    paths_.insert(file.completeBaseName().toLower(), file.filePath());
  }
}

Skin::~Skin() {
  if (decoder_.joinable()) decoder_.join();
}

void Skin::DecodeAhead(const QStringList& names) {
  QStringList paths;
  QStringList keys;
  for (const QString& name : names) {
    const QString key = name.toLower();
    const auto path = paths_.constFind(key);
    if (path == paths_.constEnd() || decoded_.contains(key) || ahead_.contains(key)) continue;
    keys.push_back(key);
    paths.push_back(*path);
  }
  if (paths.isEmpty()) return;
  if (decoder_.joinable()) decoder_.join();
  // One thread decodes them in turn, in the order asked.
  auto results = std::make_shared<std::vector<std::promise<QImage>>>(paths.size());
  for (qsizetype i = 0; i < keys.size(); ++i) {
    ahead_.insert(keys[i], (*results)[static_cast<std::size_t>(i)].get_future().share());
  }
  decoder_ = std::thread([results, paths] {
    for (qsizetype i = 0; i < paths.size(); ++i) {
      (*results)[static_cast<std::size_t>(i)].set_value(QImage(paths[i]));
    }
  });
}

QPixmap Skin::Picture(const QString& name) const {
  const QString key = name.toLower();
  if (const auto found = decoded_.constFind(key); found != decoded_.constEnd()) return *found;
  QPixmap picture;
  if (const auto pending = ahead_.constFind(key); pending != ahead_.constEnd()) {
    picture = QPixmap::fromImage(pending->get());
    ahead_.erase(pending);
  } else {
    const auto path = paths_.constFind(key);
    if (path == paths_.constEnd()) return {};
    picture = QPixmap(*path);
  }
  decoded_.insert(key, picture);
  return picture;
}

QStringList Skin::Names() const { return paths_.keys(); }

}  // namespace corvid::app
