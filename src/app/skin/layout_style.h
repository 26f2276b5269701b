#pragma once

#include <QColor>

namespace corvid::app {

// What a layout section sets beside positions, fonts and colours of controls: values the pages
// read later. They stay in force until the next layout is applied.
struct LayoutStyle {
  int dpiOrientation = 0;  // 0: DPI bars run upwards, 1: to the right
  int buttonSpaceFront = 0;
  int buttonSpaceBack = 0;
  QColor menuText{Qt::white};
  QColor menuBack{Qt::black};
  QColor menuHoverText{Qt::black};
  QColor menuHoverBack{Qt::white};
  QColor dpiEnabled{Qt::white};
  QColor dpiDisabled{Qt::gray};
  QColor macroText{Qt::white};
  QColor macroBack{Qt::black};
  int macroNameHeight = 18;
};

}  // namespace corvid::app
