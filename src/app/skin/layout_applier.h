#pragma once

#include <QString>
#include <string>

#include "app/skin/control_index.h"
#include "app/skin/layout_style.h"
#include "shell/layout_file.h"

namespace corvid::app {

struct LayoutApplyResult {
  bool ok = true;
  QString badKey;  // the first key that was missing or not a number; the apply stopped there
};

// Applies section [org<language>] of the layout file to the window's controls, family by family
// (A, B, C, G, D, E, F, I): positions, sizes from the pictures, fonts, colours, which controls are
// shown, and the stored values of `style`. `ledType` ("RGB", "ZK", other) decides which key slot a
// key position places. `updateAvailable` false keeps the Update page buttons hidden whatever the
// section says (they belong to Flash/Flash mice).
LayoutApplyResult ApplyLayoutSection(const shell::LayoutFile& file, int language,
                                     const std::string& ledType, bool updateAvailable,
                                     const ControlIndex& controls, LayoutStyle& style);

// The key slot (1..12) that layout key position `position` (1..12) places, or 0 when the LED type
// does not read that position.
int KeySlotOfPosition(const std::string& ledType, int position);

}  // namespace corvid::app
