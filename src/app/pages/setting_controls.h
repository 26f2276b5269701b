#pragma once

// What the setting pages (Advanced, Breathing Light) share in showing their state: bars of
// segments, colour swatches and the colour chooser's answer.

#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>

#include "app/skin/control_index.h"
#include "app/skin/skin_picture.h"
#include "model/section_fields.h"
#include "performance/page_click.h"

namespace corvid::app {

// Segments 1..filled of the bar `prefix`1..`prefix``count` show the filled picture, the rest the
// empty one.
inline void ShowBar(const ControlIndex& controls, const QString& prefix, int count, int filled,
                    const QString& emptyPicture, const QString& filledPicture) {
  for (int segment = 1; segment <= count; ++segment) {
    if (auto* picture = controls.Get<SkinPicture>(prefix + QString::number(segment))) {
      picture->SetPicture(segment <= filled ? filledPicture : emptyPicture);
    }
  }
}

inline void EnableBar(const ControlIndex& controls, const QString& prefix, int count,
                      bool enabled) {
  for (int segment = 1; segment <= count; ++segment) {
    if (QWidget* picture = controls.Find(prefix + QString::number(segment))) {
      picture->setEnabled(enabled);
    }
  }
}

// The colour the mouse keeps for 4-bit channels, as a swatch paints it.
inline QColor ShownColour(model::ColourChannels stored) {
  const model::ColourChannels shown = performance::SwatchColour(stored);
  return {shown.red, shown.green, shown.blue};
}

inline model::ColourChannels ChosenChannels(const QColor& chosen) {
  return {static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
          static_cast<std::uint8_t>(chosen.blue())};
}

inline void PaintSwatch(QWidget* swatch, const QColor& colour) {
  if (!swatch) return;
  QPalette palette = swatch->palette();
  palette.setColor(QPalette::Window, colour);
  swatch->setPalette(palette);
}

}  // namespace corvid::app
