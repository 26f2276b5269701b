#pragma once

// Fire keys and the aim key. Their settings have no field of their own in the mouse: they live in
// the code of every button with that function, so a change of a setting rewrites those buttons,
// and the advanced page loads its fields back from them.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "keys/key_layers.h"
#include "keys/key_result.h"
#include "model/data_buf.h"
#include "model/function_codes.h"
#include "session/session.h"

namespace corvid::keys {

inline constexpr int kMaxFireDelay = 4094;

// The repeat, delay and continuous fields of Fire Key1..Fire Key3 (index fire key - 1).
using FireKeySettings = std::array<model::FireKeySetting, model::kFireKeyCount>;

// Whether a setting lies in the ranges of the fields: repeat 1..15, delay 0..4094.
bool IsValidFireSetting(const model::FireKeySetting& setting);

// The six fire fields take digits and Backspace only.
constexpr bool IsFireFieldKey(char key) { return (key >= '0' && key <= '9') || key == '\b'; }

// The text a repeat field ends with after a change: empty becomes "1", above 15 becomes "15".
std::string CorrectedRepeatText(std::string_view text);
// The text a delay field ends with when it is left: empty becomes "0", above 4094 "4094".
std::string CorrectedDelayText(std::string_view text);

// Rewrites the fire-key buttons of the layer on show from the fields. In Main Control the repeat
// counts of Fire Key1 and Fire Key2 are also the mouse's repeat pair, which tells the fire keys
// apart: `copies` and DataBuf take the new pair and it is written first. Every label showing
// "Fire Key n" then gets the code of fire key n. Fixed Control is never rewritten.
// A field outside its range (half-typed input) writes nothing: kInvalidArgument.
PageResult SettingFireKey(session::Session& session, const KeyPageState& page,
                          const FireKeySettings& fields, model::PackedCopies& copies);

// One fire key's fields changed (fire key 1..3); the other fields stay. Refused like any click of
// the page when there is no mouse to write to.
PageResult SetFireKey(session::Session& session, const KeyPageState& page, FireKeySettings& fields,
                      model::PackedCopies& copies, int fireKey,
                      const model::FireKeySetting& setting);

// The fields to load after the pages were filled or the layer changed, fire key n at index n - 1:
// taken from the buttons of the layer on show, and for a fire key without a button there from its
// last button in another layer; nothing (the field stays) for a fire key no button has. A repeat
// nibble of 15 loads as 15, the most the field holds.
using FireFieldLoad = std::array<std::optional<model::FireKeySetting>, model::kFireKeyCount>;
FireFieldLoad RefreshFireKey(const model::DataBuf& dataBuf, int layer,
                             const model::CodeCaptionContext& context);

// The fields after a load: the loaded settings, the others as they were.
FireKeySettings WithFireFieldLoad(FireKeySettings fields, const FireFieldLoad& load);

// The aim DPI display of the advanced page: the position 1..12 on the aim DPI bar and the value
// shown beside it.
struct AimKeyDisplay {
  int aimNumber = 1;
  std::string valueText;
  bool operator==(const AimKeyDisplay&) const = default;
};

// The display with no aim key: position 1, the first DPI value.
AimKeyDisplay ResetAimKeyDisplay(int language);

// The display for the layer on show: from its aim-key buttons (the last one wins), reset when it
// has none, and nothing (the display stays) when its aim-key codes hold no position of the bar.
std::optional<AimKeyDisplay> RefreshAIMKey(const model::DataBuf& dataBuf, int layer,
                                           const model::CodeCaptionContext& context);

struct AimKeyChange {
  PageResult result = PageResult::kUnchanged;
  // Set when the display goes back to position 1 because the layer has no aim key.
  std::optional<AimKeyDisplay> resetDisplay;
};

// The aim DPI was set to position 1..12: every label of the layer on show that shows "AIM Key" gets
// the new aim code. Without one (kNotOffered), unless WriteLock is set, the display is reset and in
// Main or Switch Control the user is asked to assign an aim key in that layer.
AimKeyChange SettingAIMKey(session::Session& session, const KeyPageState& page, int aimNumber);

}  // namespace corvid::keys
