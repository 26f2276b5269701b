#pragma once

// Choosing a button layer with the layer buttons: the entry rules, the layer write, and what the
// pages show afterwards.

#include <optional>

#include "keys/fire_aim_keys.h"
#include "keys/key_layers.h"
#include "keys/key_result.h"
#include "model/function_codes.h"
#include "session/session.h"

namespace corvid::keys {

struct LayerEntry {
  PageResult result = PageResult::kUnchanged;
  // The rest is set when the layer was entered (IsStored(result)).
  KeyPageState page;
  bool labelsEnabled = false;  // Fixed Control is covered: it can be looked at, not edited
  bool kbSwitchItemEnabled =
      false;  // the "KB Switch Key" menu item is offered in Main Control only
  FireFieldLoad fireFields;
  std::optional<AimKeyDisplay> aimDisplay;  // nothing: the display stays as it is
};

// Enters layer 0..2. Switch Control needs a KB switch key in Main Control, Fixed Control a KB reset
// key in Switch Control; otherwise the user is told what to assign first (kEntryRefused). The
// mouse is told the layer, and DataBuf holds it as the active layer.
LayerEntry EnterLayer(session::Session& session, int layer,
                      const model::CodeCaptionContext& context);

}  // namespace corvid::keys
