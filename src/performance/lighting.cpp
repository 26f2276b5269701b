#include "performance/lighting.h"

namespace corvid::performance {
namespace {

using model::LedFamilyKind;

constexpr std::uint8_t kSyncFamilyBits = 0x40;

bool IsValidMode(int mode) { return mode >= kLedModeOff && mode <= kLedModeCount; }

std::size_t Index(int colour) { return static_cast<std::size_t>(colour - 1); }

void CheckMode(LightingPageState& state, int mode) {
  state.checkedMode = mode;
  state.stepTimeEnabled = mode != kLedModeOff;
}

}  // namespace

std::string_view LedFamilyText(const LightingPageState& state) {
  return state.LedFamily ? model::LedFamilyText(*state.LedFamily) : std::string_view();
}

bool IsLedModeOffered(std::optional<LedFamilyKind> family, int mode) {
  if (!IsValidMode(mode)) return false;
  if (!family) return true;
  switch (*family) {
    case LedFamilyKind::RGB:
      return true;
    case LedFamilyKind::Sync:
      return mode <= 2;
    case LedFamilyKind::NT:
      return mode != 4;
  }
  return false;
}

void FillLightingPage(const model::DataBuf& dataBuf, LightingPageState& state) {
  const model::ParameterSection& parameter = dataBuf.Parameter();
  state.LedFamily = parameter.LedFamily();

  // A mode the family does not offer leaves the page's mode as it was.
  const int mode = parameter.LedMode();
  if (IsLedModeOffered(state.LedFamily, mode)) CheckMode(state, mode);

  state.LedStepIndex = parameter.LedStep();

  // The colours are taken even from a mouse that cannot show them, so that a profile saved from it
  // keeps its colour bytes.
  state.coloursShown = *state.LedFamily != LedFamilyKind::Sync;
  for (int colour = 1; colour <= model::kLedColourCount; ++colour) {
    state.ledColour[Index(colour)] = parameter.LedColour(colour);
  }
}

void LightingPageToDataBuf(const LightingPageState& state, model::DataBuf& dataBuf) {
  model::ParameterSection& parameter = dataBuf.Parameter();
  if (state.LedFamily && state.checkedMode) {
    const auto mode = static_cast<std::uint8_t>(*state.checkedMode);
    switch (*state.LedFamily) {
      case LedFamilyKind::RGB:
        parameter.SetLedModeByte(mode);
        break;
      case LedFamilyKind::Sync:
        if (mode <= 2) parameter.SetLedModeByte(kSyncFamilyBits | mode);
        break;
      case LedFamilyKind::NT:
        parameter.SetLedMode(mode);
        break;
    }
  }
  parameter.SetLedStepTime(model::LedStepTimeOfStep(static_cast<unsigned>(state.LedStepIndex)));
  for (int colour = 1; colour <= model::kLedColourCount; ++colour) {
    parameter.SetLedColour(colour, state.ledColour[Index(colour)]);
  }
}

void ResetLightingPageForNoDevice(LightingPageState& state) { state.LedFamily.reset(); }

PageResult SetLedMode(session::Session& session, LightingPageState& state, int mode) {
  if (!IsValidMode(mode)) return PageResult::kInvalidArgument;
  if (const auto refusal = RefusePageClick(session)) return *refusal;
  if (!IsLedModeOffered(state.LedFamily, mode)) return PageResult::kNotOffered;

  CheckMode(state, mode);
  if (session.WriteLock()) return PageResult::kLocked;
  ParameterWriter writer(session);
  writer.Write(
      model::kLedModeByteOffset,
      model::WithLedMode(session.DataBuf().Parameter().LedModeByte(), static_cast<unsigned>(mode)));
  return writer.Result();
}

PageResult SetLedStepTime(session::Session& session, LightingPageState& state, int segment) {
  if (segment < 1 || segment > model::kLedStepCount) return PageResult::kInvalidArgument;
  if (const auto refusal = RefusePageClick(session)) return *refusal;
  if (!state.stepTimeEnabled) return PageResult::kNotOffered;

  state.LedStepIndex = segment;
  if (session.WriteLock()) return PageResult::kLocked;
  const std::uint8_t stepTime = model::LedStepTimeOfStep(static_cast<unsigned>(segment));
  // The copy byte catches up when the page is taken back into DataBuf.
  session.DataBuf().Parameter().Data()[model::kLedStepTimeOffset] = stepTime;
  ParameterWriter writer(session);
  writer.Write(model::kLedStepTimeCopyOffset, stepTime, stepTime);
  return writer.Result();
}

PageResult SetLedColour(session::Session& session, LightingPageState& state, int colour,
                        model::ColourChannels chosen) {
  if (!model::IsValidLedColour(colour)) return PageResult::kInvalidArgument;
  if (const auto refusal = RefusePageClick(session)) return *refusal;
  if (!state.coloursShown) return PageResult::kNotOffered;

  const model::ColourChannels channels = FourBitChannels(chosen);
  state.ledColour[Index(colour)] = channels;
  if (session.WriteLock()) return PageResult::kLocked;
  ParameterWriter writer(session);
  writer.Write(model::LedColourByteOffset(colour), channels.red, channels.green, channels.blue);
  return writer.Result();
}

}  // namespace corvid::performance
