#include "performance/dpi.h"

#include <cstdio>

namespace corvid::performance {
namespace {

using model::ColourChannels;

constexpr int kLevelCount = model::kDpiLevelCount;
constexpr int kSegmentCount = model::kDpiStepCount;

constexpr bool IsValidSegment(int segment) { return segment >= 1 && segment <= kSegmentCount; }

// The odd level of the pair that level 1..8 belongs to.
constexpr int OddLevelOfPair(int level) {
  return model::IsLowNibbleLevel(level) ? level : level - 1;
}

std::size_t Index(int level) { return static_cast<std::size_t>(level - 1); }

std::uint8_t LevelByte(const DpiPageState& state) {
  return model::DpiLevelByteOf(static_cast<unsigned>(state.DpiLevelCount),
                               static_cast<unsigned>(state.CurrentDpiLevel));
}

}  // namespace

bool IsDpiLevelEnabled(const DpiPageState& state, int level) {
  return model::IsValidDpiLevel(level) && level <= state.DpiLevelCount;
}

std::optional<int> CurrentLevelShown(const DpiPageState& state) {
  if (state.CurrentDpiLevel < 0 || state.CurrentDpiLevel >= kLevelCount) return std::nullopt;
  return state.CurrentDpiLevel + 1;
}

std::string DpiStepText(const session::Session& session, int step) {
  if (step < 0 || step >= kSegmentCount) return {};
  char key[8];
  std::snprintf(key, sizeof key, "Str%d", 300 + step);
  return session.Text(key);
}

std::string DpiLevelValueText(const session::Session& session, const DpiPageState& state,
                              int level) {
  if (!model::IsValidDpiLevel(level) || !state.stepShown[Index(level)]) return {};
  return DpiStepText(session, state.DpiLevelStep[Index(level)]);
}

void FillDpiPage(const model::DataBuf& dataBuf, DpiPageState& state) {
  const model::ParameterSection& parameter = dataBuf.Parameter();
  // A count nibble above 7 names no count: the page keeps the one it has.
  if (parameter.DpiLevelCountNibble() < kLevelCount) {
    state.DpiLevelCount = parameter.DpiLevelCountNibble() + 1;
  }
  state.CurrentDpiLevel = parameter.CurrentDpiLevelNibble();

  for (int level = 1; level <= kLevelCount; ++level) {
    // A level without a value keeps what the page showed for it.
    const int step = parameter.DpiStep(level);
    if (step == model::kNoDpiStep) continue;
    state.DpiLevelStep[Index(level)] = static_cast<std::uint8_t>(step);
    state.stepShown[Index(level)] = true;
  }

  state.checkedReportRate = parameter.ReportRate();
  state.LoadedReportRate = model::ReportRateHz(parameter.ReportRate());
  state.ReconnectPending = false;

  // The colours are taken even from a mouse that cannot show them, so that a profile saved from it
  // keeps its colour bytes.
  state.coloursShown = parameter.LedFamily() != model::LedFamilyKind::Sync;
  for (int level = 1; level <= kLevelCount; ++level) {
    state.levelColour[Index(level)] = parameter.DpiColour(level);
  }
}

void DpiPageToDataBuf(const DpiPageState& state, model::DataBuf& dataBuf) {
  model::ParameterSection& parameter = dataBuf.Parameter();
  parameter.SetDpiLevelByte(LevelByte(state));
  for (int level = 1; level <= kLevelCount; ++level) {
    const bool shown = state.stepShown[Index(level)];
    parameter.SetDpiStep(level, shown ? state.DpiLevelStep[Index(level)] : model::kNoDpiStep);
    parameter.SetDpiColour(level, state.levelColour[Index(level)]);
  }
  if (state.checkedReportRate) parameter.SetReportRate(*state.checkedReportRate);
}

void ResetDpiPageForNoDevice(DpiPageState& state) {
  state.LoadedReportRate = 0;
  state.ReconnectPending = false;
}

PageResult ToggleDpiLevel(session::Session& session, DpiPageState& state, int level) {
  if (!model::IsValidDpiLevel(level)) return PageResult::kInvalidArgument;
  if (const auto refusal = RefusePageClick(session)) return *refusal;
  if (session.WriteLock()) return PageResult::kLocked;
  // The mouse always keeps one level.
  if (level == 1 && state.DpiLevelCount == 1) return PageResult::kUnchanged;

  if (level == state.DpiLevelCount + 1) {
    ++state.DpiLevelCount;
  } else if (level == state.DpiLevelCount && level > 1) {
    --state.DpiLevelCount;
    if (state.CurrentDpiLevel == level - 1) state.CurrentDpiLevel = level - 2;
  }
  // Written even when the click changed nothing.
  ParameterWriter writer(session);
  writer.Write(model::kDpiLevelByteOffset, LevelByte(state));
  return writer.Result();
}

PageResult SelectCurrentDpiLevel(session::Session& session, DpiPageState& state, int level) {
  if (!model::IsValidDpiLevel(level)) return PageResult::kInvalidArgument;
  if (const auto refusal = RefusePageClick(session)) return *refusal;
  if (!IsDpiLevelEnabled(state, level)) return PageResult::kNotOffered;

  state.CurrentDpiLevel = level - 1;
  if (session.WriteLock()) return PageResult::kLocked;
  ParameterWriter writer(session);
  writer.Write(model::kDpiLevelByteOffset, LevelByte(state));
  return writer.Result();
}

PageResult SetDpiLevelStep(session::Session& session, DpiPageState& state, int level, int segment) {
  if (!model::IsValidDpiLevel(level) || !IsValidSegment(segment)) {
    return PageResult::kInvalidArgument;
  }
  if (const auto refusal = RefusePageClick(session)) return *refusal;
  if (!IsDpiLevelEnabled(state, level)) return PageResult::kNotOffered;

  state.DpiLevelStep[Index(level)] = static_cast<std::uint8_t>(segment - 1);
  state.stepShown[Index(level)] = true;
  if (session.WriteLock()) return PageResult::kLocked;

  const int odd = OddLevelOfPair(level);
  ParameterWriter writer(session);
  writer.Write(
      model::DpiStepByteOffset(level),
      model::DpiStepPairByte(state.DpiLevelStep[Index(odd)], state.DpiLevelStep[Index(odd + 1)]));
  // The mouse applies a level's step only when the current level changes: step away to a
  // neighbour and back. The neighbour 1 is used even when only one level is enabled.
  const auto countNibble = static_cast<unsigned>(state.DpiLevelCount - 1);
  const auto current = static_cast<unsigned>(state.CurrentDpiLevel);
  const unsigned neighbour = current == 0 ? 1U : current - 1U;
  writer.Write(model::kDpiLevelByteOffset, model::PackNibbles(countNibble, neighbour));
  writer.Write(model::kDpiLevelByteOffset, model::PackNibbles(countNibble, current));
  return writer.Result();
}

PageResult SetDpiLevelColour(session::Session& session, DpiPageState& state, int level,
                             ColourChannels chosen) {
  if (!model::IsValidDpiLevel(level)) return PageResult::kInvalidArgument;
  if (const auto refusal = RefusePageClick(session)) return *refusal;
  if (!IsDpiLevelEnabled(state, level) || !state.coloursShown) return PageResult::kNotOffered;

  state.levelColour[Index(level)] = FourBitChannels(chosen);
  if (session.WriteLock()) return PageResult::kLocked;

  const int odd = OddLevelOfPair(level);
  const auto bytes =
      model::DpiColourPairBytes(state.levelColour[Index(odd)], state.levelColour[Index(odd + 1)]);
  ParameterWriter writer(session);
  writer.Write(model::DpiColourByteOffset(level), bytes[0], bytes[1], bytes[2]);
  return writer.Result();
}

PageResult SetAimDpi(session::Session& session, DpiPageState& state, int segment,
                     const AimKeySetter& settingAimKey) {
  if (!IsValidSegment(segment)) return PageResult::kInvalidArgument;
  if (const auto refusal = RefusePageClick(session)) return *refusal;

  state.AimDpiStep = segment;
  if (session.WriteLock()) return PageResult::kLocked;
  const PageResult result = settingAimKey ? settingAimKey(segment) : PageResult::kNotOffered;
  // Without an aim key in the layer the setting has nowhere to live.
  if (result == PageResult::kNotOffered) state.AimDpiStep = 1;
  return result;
}

}  // namespace corvid::performance
