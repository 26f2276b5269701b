#pragma once

// The DPI levels, their colours and the aim DPI of the advanced page: the state the page keeps,
// filling it from DataBuf, taking it back, and what each click changes and writes to the mouse.
// The window's click handlers and the command-line tool call the same operations.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/data_buf.h"
#include "model/section_fields.h"
#include "performance/page_click.h"
#include "session/session.h"

namespace corvid::performance {

// Held by the main window for as long as it lives; every page fill sets it.
struct DpiPageState {
  // Levels 1..DpiLevelCount are enabled, without gaps.
  int DpiLevelCount = 1;
  // 0-based. A stored index of 8..15 is kept as it is and marks no level as current.
  int CurrentDpiLevel = 0;
  // The step last shown for each level (0..11; 12..14 as found on the mouse). It supplies the
  // partner nibble when one level of a pair is written.
  std::array<std::uint8_t, model::kDpiLevelCount> DpiLevelStep{};
  // Whether the level shows a step at all; a level never shown reads back as "no value".
  std::array<bool, model::kDpiLevelCount> stepShown{};
  // The 4-bit channels held for each level's colour.
  std::array<model::ColourChannels, model::kDpiLevelCount> levelColour{};
  // Mice without coloured LEDs have no level colours to choose.
  bool coloursShown = true;

  // Position 1..12 on the aim DPI bar.
  int AimDpiStep = 1;

  // The checked report-rate option; none until the first fill.
  std::optional<model::UsbReportRate> checkedReportRate;
  // The rate found when the page was last filled: 0, 125, 250, 500 or 1000.
  int LoadedReportRate = 0;
  bool ReconnectPending = false;
};

bool IsDpiLevelEnabled(const DpiPageState& state, int level);
// The level 1..8 shown as current, if the current index names one.
std::optional<int> CurrentLevelShown(const DpiPageState& state);

// The text of DPI step 0..11 in the current language ("1600" for step 6); empty for any other
// step.
std::string DpiStepText(const session::Session& session, int step);
// What the level's value caption shows: empty while the level has shown no step.
std::string DpiLevelValueText(const session::Session& session, const DpiPageState& state,
                              int level);

// Filling the page from DataBuf (part of refreshing all pages). The aim DPI is filled from the
// aim-key buttons by the key pages.
void FillDpiPage(const model::DataBuf& dataBuf, DpiPageState& state);
// Taking the page back into DataBuf before a profile save: the level byte, the step nibbles, the
// level colours and the report-rate bits.
void DpiPageToDataBuf(const DpiPageState& state, model::DataBuf& dataBuf);
// The mouse is gone: the remembered report rate is forgotten.
void ResetDpiPageForNoDevice(DpiPageState& state);

// A click on the caption of level 1..8: enables the first disabled level or disables the last
// enabled one, then writes the level byte (also when nothing changed). Ignored while WriteLock is
// set, and when the only enabled level is clicked.
PageResult ToggleDpiLevel(session::Session& session, DpiPageState& state, int level);

// Makes enabled level 1..8 the current one and writes the level byte.
PageResult SelectCurrentDpiLevel(session::Session& session, DpiPageState& state, int level);

// Segment 1..12 of enabled level 1..8 chooses step segment-1: writes the pair's step byte, then
// the level byte twice (a neighbouring current level, then the true one), which makes the mouse
// apply the current level again.
PageResult SetDpiLevelStep(session::Session& session, DpiPageState& state, int level, int segment);

// The colour chosen for enabled level 1..8, 8 bits per channel. The mouse keeps 4 bits per
// channel; the three bytes of the level pair are written.
PageResult SetDpiLevelColour(session::Session& session, DpiPageState& state, int level,
                             model::ColourChannels chosen);

// The button side of an aim DPI change: stores the aim position in every aim-key button of the
// layer on show and writes them. Returns kNotOffered when that layer has no aim key (after
// telling the user), otherwise kWritten or kWriteFailed.
using AimKeySetter = std::function<PageResult(int aimDpiStep)>;

// Segment 1..12 of the aim DPI bar. Unless WriteLock is set, the aim-key buttons are rewritten;
// when the layer has none, the bar goes back to position 1.
PageResult SetAimDpi(session::Session& session, DpiPageState& state, int segment,
                     const AimKeySetter& settingAimKey);

}  // namespace corvid::performance
