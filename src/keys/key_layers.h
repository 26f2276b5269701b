#pragma once

// The three button layers as the button page shows them: the caption of each slot, and the page
// state the key operations read.

#include <array>
#include <string>

#include "model/data_buf.h"
#include "model/function_codes.h"
#include "model/section_fields.h"
#include "session/session.h"

namespace corvid::keys {

inline constexpr int kMainLayer = 0;    // Main Control
inline constexpr int kSwitchLayer = 1;  // Switch Control, reached with a KB switch key
inline constexpr int kFixedLayer = 2;   // Fixed Control, reached with a KB reset key

// Captions of the labels Key1..Key12, index slot - 1.
using SlotCaptions = std::array<std::string, model::kSlotsPerLayer>;

// Only Main and Switch Control can be edited; Fixed Control is shown under a cover.
constexpr bool IsLayerEditable(int layer) { return layer == kMainLayer || layer == kSwitchLayer; }

// What the button page holds that the rules read: the layer on show and the captions its labels
// show. The captions usually are the layer's codes as text, but a refused choice leaves a label
// showing "Left Key" over an unchanged code until the captions are refreshed.
struct KeyPageState {
  int layer = kMainLayer;
  SlotCaptions captions;
};

// The caption context of the session: its language, the repeat copies of Fire Key1 and Fire Key2
// as DataBuf holds them, and the macros stored in the mouse (none when null).
model::CodeCaptionContext CaptionContextOf(session::Session& session,
                                           const model::DeviceMacroCatalog* macros);

// The captions of the twelve slots of layer 0..2 (empty captions for any other layer).
SlotCaptions LayerCaptions(const model::DataBuf& dataBuf, int layer,
                           const model::CodeCaptionContext& context);

// The layer DataBuf names as active (Main Control when the byte names none), with its captions:
// the button page as it stands after the pages were filled.
KeyPageState KeyPageStateOf(const model::DataBuf& dataBuf,
                            const model::CodeCaptionContext& context);

// The captions the layer and assignment rules look for among the labels, in the session's
// language.
struct MarkerCaptions {
  std::string leftKey;      // "Left Key"
  std::string kbSwitchKey;  // "KB Switch Key"
  std::string kbResetKey;   // "KB Reset Key"
};
MarkerCaptions MarkerCaptionsOf(const session::Session& session);

// Whether `slot` (1..12) is the only label that shows `leftKey`: its function may then only be
// replaced by another left button.
bool IsOnlyLeftKey(const SlotCaptions& captions, int slot, std::string_view leftKey);

}  // namespace corvid::keys
