#pragma once

// The computer's own pointer settings on the lower part of the advanced page: three ten-step bars
// for pointer speed, double-click time and wheel lines. They never talk to the mouse; a click
// stores the values in the user's settings and the running desktop takes them at once. Where the
// desktop keeps a setting is the store's business (PointerSettingsStore); this file holds the
// scales, the read-back rules and what a click rewrites.

#include <array>
#include <optional>
#include <string>

#include "platform/pointer_settings_store.h"

namespace corvid::performance {

inline constexpr int kPointerBarSteps = 10;

using platform::kPointerSettings;
using platform::PointerAccelerationNumbers;
using platform::PointerHome;
using platform::PointerSetting;
using platform::PointerSettingsStore;

// The three scales: step 1..10 to the stored value. Pointer speed is a sensitivity of 1, then the
// even numbers 2..18; double-click time in ms falls by 70 from 900; wheel lines are the step
// itself. Any other step gives nothing.
std::optional<int> PointerScaleValue(PointerSetting setting, int step);
// The step whose scale value is exactly `value`, if there is one.
std::optional<int> PointerScaleStep(PointerSetting setting, int value);

// Held by the main window for as long as it lives. The settings belong to the computer, not to the
// mouse: nothing here depends on a mouse being attached or on the write lock.
struct PointerSettingsPageState {
  // The step shown on each bar, 1..10, or 0 while no stored value has matched its scale. A value
  // read off the scale leaves the step as it was.
  int PointerSpeedStep = 0;
  int DoubleClickStep = 0;
  int WheelStep = 0;
  // The values the running desktop holds: the last value read from or written to the store, off
  // the scale or not. None until one was read or written, and then nothing is given to the desktop.
  std::optional<int> PointerSpeedValue;
  std::optional<int> DoubleClickTime;
  std::optional<int> WheelLines;
  // None until read; never invented, since made-up thresholds would change how the pointer moves.
  std::optional<PointerAccelerationNumbers> PointerAcceleration;
  // Whether each bar can be clicked, and the tooltip when not; set by every refresh.
  std::array<PointerHome, 3> home{};
};

// What the window shows for one bar.
struct PointerBarView {
  // Segments 1..step are filled ("Bar1_E"), the rest empty ("Bar1_D").
  std::array<bool, kPointerBarSteps> filled{};
  // The scale captions under the segments: "1" .. "10".
  std::array<std::string, kPointerBarSteps> captions;
  bool enabled = false;
  // Why the bar cannot be clicked; empty while it can.
  std::string tooltip;
};
PointerBarView PointerBarOf(const PointerSettingsPageState& state, PointerSetting setting);

int& PointerStep(PointerSettingsPageState& state, PointerSetting setting);
int PointerStep(const PointerSettingsPageState& state, PointerSetting setting);

// Reading back: A reads the pointer speed, the acceleration and the double-click time; B reads the
// wheel lines. Both also take each setting's home from the store. They run at start-up and after
// every complete read of the mouse, A before B (RefreshPointerSettings).
void RefreshMouseSystemParameterA(PointerSettingsStore& store, PointerSettingsPageState& state);
void RefreshMouseSystemParameterB(PointerSettingsStore& store, PointerSettingsPageState& state);
void RefreshPointerSettings(PointerSettingsStore& store, PointerSettingsPageState& state);

// Writing: A stores the speed and double-click time of the current steps, B the wheel lines; a
// step of 0 or a setting without a home writes nothing and keeps the value the desktop holds.
// They answer false when a write was not taken, and then the desktop's value is kept as it was.
bool ChangedMouseSystemParameterA(PointerSettingsStore& store, PointerSettingsPageState& state);
bool ChangedMouseSystemParameterB(PointerSettingsStore& store, PointerSettingsPageState& state);

enum class PointerClickResult {
  kApplied,
  // The segment is not 1..10, or the bar is disabled; nothing changed.
  kRefused,
  // A store write or an apply was not taken; the rest was still done.
  kNotTaken,
};

// A click on segment 1..10 of a bar: the bar's step becomes the segment, then all three stored
// values are rewritten from the three current steps (not only the clicked one), and the desktop is
// given all four settings again: speed, acceleration, double-click time, wheel lines.
PointerClickResult ClickPointerBar(PointerSettingsStore& store, PointerSettingsPageState& state,
                                   PointerSetting setting, int segment);

}  // namespace corvid::performance
