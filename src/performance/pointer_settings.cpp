#include "performance/pointer_settings.h"

#include <cstddef>
#include <string>

namespace corvid::performance {

namespace {

constexpr std::array<int, kPointerBarSteps> kSpeedScale = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18};
constexpr std::array<int, kPointerBarSteps> kDoubleClickScale = {900, 830, 760, 690, 620,
                                                                 550, 480, 410, 340, 270};
constexpr std::array<int, kPointerBarSteps> kWheelScale = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

const std::array<int, kPointerBarSteps>& ScaleOf(PointerSetting setting) {
  switch (setting) {
    case PointerSetting::kSpeed:
      return kSpeedScale;
    case PointerSetting::kDoubleClick:
      return kDoubleClickScale;
    case PointerSetting::kWheel:
      break;
  }
  return kWheelScale;
}

std::size_t IndexOf(PointerSetting setting) { return static_cast<std::size_t>(setting); }

std::optional<int>& AppliedValue(PointerSettingsPageState& state, PointerSetting setting) {
  switch (setting) {
    case PointerSetting::kSpeed:
      return state.PointerSpeedValue;
    case PointerSetting::kDoubleClick:
      return state.DoubleClickTime;
    case PointerSetting::kWheel:
      break;
  }
  return state.WheelLines;
}

bool HasHome(const PointerSettingsPageState& state, PointerSetting setting) {
  return state.home[IndexOf(setting)].available;
}

// Takes the setting's home and, where it has one, its stored value: the value the desktop holds
// follows the store whatever it is; the bar's step only when the value is on the scale.
void ReadBack(PointerSettingsStore& store, PointerSettingsPageState& state,
              PointerSetting setting) {
  state.home[IndexOf(setting)] = store.Home(setting);
  if (!HasHome(state, setting)) return;
  const std::optional<int> value = store.Read(setting);
  if (!value) return;
  AppliedValue(state, setting) = *value;
  if (const std::optional<int> step = PointerScaleStep(setting, *value)) {
    PointerStep(state, setting) = *step;
  }
}

// Stores the value of the setting's current step. A step of 0 stores nothing and leaves the value
// the desktop holds; so does a write the store did not take.
bool WriteFromStep(PointerSettingsStore& store, PointerSettingsPageState& state,
                   PointerSetting setting) {
  if (!HasHome(state, setting)) return true;
  const std::optional<int> value = PointerScaleValue(setting, PointerStep(state, setting));
  if (!value) return true;
  if (!store.Write(setting, *value)) return false;
  AppliedValue(state, setting) = *value;
  return true;
}

// Gives the running desktop all four settings again, in the fixed order. A value never read nor
// written is not given at all.
bool ApplyAll(PointerSettingsStore& store, const PointerSettingsPageState& state) {
  bool allTaken = true;
  if (HasHome(state, PointerSetting::kSpeed)) {
    if (state.PointerSpeedValue) allTaken &= store.ApplyPointerSpeed(*state.PointerSpeedValue);
    if (state.PointerAcceleration) allTaken &= store.ApplyAcceleration(*state.PointerAcceleration);
  }
  if (HasHome(state, PointerSetting::kDoubleClick) && state.DoubleClickTime) {
    allTaken &= store.ApplyDoubleClickTime(*state.DoubleClickTime);
  }
  if (HasHome(state, PointerSetting::kWheel) && state.WheelLines) {
    allTaken &= store.ApplyWheelLines(*state.WheelLines);
  }
  return allTaken;
}

}  // namespace

std::optional<int> PointerScaleValue(PointerSetting setting, int step) {
  if (step < 1 || step > kPointerBarSteps) return std::nullopt;
  return ScaleOf(setting)[static_cast<std::size_t>(step - 1)];
}

std::optional<int> PointerScaleStep(PointerSetting setting, int value) {
  const auto& scale = ScaleOf(setting);
  for (std::size_t i = 0; i < scale.size(); ++i) {
    if (scale[i] == value) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

int& PointerStep(PointerSettingsPageState& state, PointerSetting setting) {
  switch (setting) {
    case PointerSetting::kSpeed:
      return state.PointerSpeedStep;
    case PointerSetting::kDoubleClick:
      return state.DoubleClickStep;
    case PointerSetting::kWheel:
      break;
  }
  return state.WheelStep;
}

int PointerStep(const PointerSettingsPageState& state, PointerSetting setting) {
  return PointerStep(const_cast<PointerSettingsPageState&>(state), setting);
}

PointerBarView PointerBarOf(const PointerSettingsPageState& state, PointerSetting setting) {
  PointerBarView view;
  const int step = PointerStep(state, setting);
  for (int segment = 1; segment <= kPointerBarSteps; ++segment) {
    const auto i = static_cast<std::size_t>(segment - 1);
    view.filled[i] = segment <= step;
    view.captions[i] = std::to_string(segment);
  }
  const PointerHome& home = state.home[IndexOf(setting)];
  view.enabled = home.available;
  if (!home.available) view.tooltip = home.reason;
  return view;
}

void RefreshMouseSystemParameterA(PointerSettingsStore& store, PointerSettingsPageState& state) {
  ReadBack(store, state, PointerSetting::kSpeed);
  if (HasHome(state, PointerSetting::kSpeed)) {
    if (const auto acceleration = store.ReadAcceleration())
      state.PointerAcceleration = acceleration;
  }
  ReadBack(store, state, PointerSetting::kDoubleClick);
}

void RefreshMouseSystemParameterB(PointerSettingsStore& store, PointerSettingsPageState& state) {
  ReadBack(store, state, PointerSetting::kWheel);
}

void RefreshPointerSettings(PointerSettingsStore& store, PointerSettingsPageState& state) {
  RefreshMouseSystemParameterA(store, state);
  RefreshMouseSystemParameterB(store, state);
}

bool ChangedMouseSystemParameterA(PointerSettingsStore& store, PointerSettingsPageState& state) {
  const bool speedTaken = WriteFromStep(store, state, PointerSetting::kSpeed);
  const bool doubleClickTaken = WriteFromStep(store, state, PointerSetting::kDoubleClick);
  return speedTaken && doubleClickTaken;
}

bool ChangedMouseSystemParameterB(PointerSettingsStore& store, PointerSettingsPageState& state) {
  return WriteFromStep(store, state, PointerSetting::kWheel);
}

PointerClickResult ClickPointerBar(PointerSettingsStore& store, PointerSettingsPageState& state,
                                   PointerSetting setting, int segment) {
  if (segment < 1 || segment > kPointerBarSteps || !HasHome(state, setting)) {
    return PointerClickResult::kRefused;
  }
  const int stepBefore = PointerStep(state, setting);
  PointerStep(state, setting) = segment;
  bool allTaken = ChangedMouseSystemParameterA(store, state);
  allTaken &= ChangedMouseSystemParameterB(store, state);
  // When the clicked value was not stored the bar goes back to what the desktop still holds.
  if (AppliedValue(state, setting) != PointerScaleValue(setting, segment)) {
    PointerStep(state, setting) = stepBefore;
  }
  allTaken &= ApplyAll(store, state);
  return allTaken ? PointerClickResult::kApplied : PointerClickResult::kNotTaken;
}

}  // namespace corvid::performance
