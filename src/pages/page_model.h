#pragma once

// The state of the setting pages that is not in DataBuf: which layer is on show and its captions,
// the fire key fields, the DPI and lighting page state and the aim display. Filled from DataBuf as
// the window fills its pages, and taken back into DataBuf before a profile is saved. The
// command-line tool keeps one per run; the window's pages keep theirs.

#include <optional>

#include "keys/fire_aim_keys.h"
#include "keys/key_layers.h"
#include "model/data_buf.h"
#include "model/function_codes.h"
#include "performance/dpi.h"
#include "performance/lighting.h"
#include "session/session.h"

namespace corvid::pages {

struct PageModel {
  keys::KeyPageState key;
  keys::FireKeySettings fire{};
  model::PackedCopies copies;
  performance::DpiPageState dpi;
  performance::LightingPageState lighting;
  std::optional<keys::AimKeyDisplay> aim;

  // Fills every page from DataBuf, the layer on show being the one the mouse is in.
  void Fill(session::Session& session, const model::DeviceMacroCatalog* macros);
  // The mouse is gone.
  void ResetForNoDevice();
  // Takes the page settings back into DataBuf (before a profile save).
  void ToDataBuf(session::Session& session) const;
};

}  // namespace corvid::pages
