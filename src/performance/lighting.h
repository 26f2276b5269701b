#pragma once

// The lighting page: LED mode, breathing step time and the seven LED colours. Which modes and
// whether colours exist depend on the LED family the mouse reports in its LED mode byte.

#include <array>
#include <optional>
#include <string_view>

#include "model/data_buf.h"
#include "model/section_fields.h"
#include "performance/page_click.h"
#include "session/session.h"

namespace corvid::performance {

inline constexpr int kLedModeOff = 0;
inline constexpr int kLedModeCount = 5;  // modes 1..5 besides off

// Held by the main window for as long as it lives; every page fill sets it.
struct LightingPageState {
  // Empty until the first fill and after the mouse left.
  std::optional<model::LedFamilyKind> LedFamily;
  // The checked mode: 0 off, 1..5; none until a fill found a mode the family offers.
  std::optional<int> checkedMode;
  // No step time can be chosen while the light is off.
  bool stepTimeEnabled = true;
  // Step 1..10 of the step-time bar.
  int LedStepIndex = 1;
  // The channels held for each colour. A chosen colour gives 0..15; bytes read from the mouse are
  // kept whole.
  std::array<model::ColourChannels, model::kLedColourCount> ledColour{};
  // "Sync" mice have no colours to choose.
  bool coloursShown = true;
};

// "RGB", "Sync", "NT", or empty before the first fill.
std::string_view LedFamilyText(const LightingPageState& state);

// Off and modes 1 and 2 always; "Sync" has no more, "NT" lacks mode 4. Without a known family
// every mode is offered.
bool IsLedModeOffered(std::optional<model::LedFamilyKind> family, int mode);

// Filling the page from DataBuf (part of refreshing all pages).
void FillLightingPage(const model::DataBuf& dataBuf, LightingPageState& state);
// Taking the page back into DataBuf before a profile save: the mode byte (by family), both
// step-time bytes and the colours.
void LightingPageToDataBuf(const LightingPageState& state, model::DataBuf& dataBuf);
// The mouse is gone: its LED family is no longer known.
void ResetLightingPageForNoDevice(LightingPageState& state);

// Chooses mode 0 (off) or 1..5 and writes the mode byte: the family bits and the firmware's bits
// come from DataBuf as last filled, which the click itself leaves alone.
PageResult SetLedMode(session::Session& session, LightingPageState& state, int mode);

// Segment 1..10 chooses the step time 5 x step; both step-time bytes are written.
PageResult SetLedStepTime(session::Session& session, LightingPageState& state, int segment);

// The colour chosen for LED colour 1..7, 8 bits per channel; the mouse keeps 4 bits per channel,
// one byte each.
PageResult SetLedColour(session::Session& session, LightingPageState& state, int colour,
                        model::ColourChannels chosen);

}  // namespace corvid::performance
