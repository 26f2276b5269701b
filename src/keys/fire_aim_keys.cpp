#include "keys/fire_aim_keys.h"

#include <algorithm>
#include <cstdint>

#include "model/section_fields.h"
#include "shell/language_file.h"

namespace corvid::keys {
namespace {

constexpr std::string_view kFireKeyNameKeys[model::kFireKeyCount] = {"Str231", "Str232", "Str233"};
constexpr std::string_view kAimKeyNameKey = "Str234";
constexpr std::string_view kFirstDpiValueKey = "Str300";

// The number in a field of digits, saturated far above every range the fields have; nothing for
// an empty field or one holding anything but digits.
std::optional<long> FieldValue(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min(value * 10 + (c - '0'), 1'000'000L);
  }
  return value;
}

std::string DpiValueText(int language, int index) {
  const std::string key = "Str" + std::to_string(300 + index);
  return std::string(shell::LanguageText(language, key));
}

}  // namespace

bool IsValidFireSetting(const model::FireKeySetting& setting) {
  return setting.repeat >= 1 && setting.repeat <= model::kMaxFireRepeat && setting.delay >= 0 &&
         setting.delay <= kMaxFireDelay;
}

std::string CorrectedRepeatText(std::string_view text) {
  if (text.empty()) return "1";
  const auto value = FieldValue(text);
  if (value && *value > model::kMaxFireRepeat) return std::to_string(model::kMaxFireRepeat);
  return std::string(text);
}

std::string CorrectedDelayText(std::string_view text) {
  if (text.empty()) return "0";
  const auto value = FieldValue(text);
  if (value && *value > kMaxFireDelay) return std::to_string(kMaxFireDelay);
  return std::string(text);
}

PageResult SettingFireKey(session::Session& session, const KeyPageState& page,
                          const FireKeySettings& fields, model::PackedCopies& copies) {
  if (!model::IsValidLayer(page.layer)) return PageResult::kInvalidArgument;
  if (!std::all_of(fields.begin(), fields.end(), IsValidFireSetting)) {
    return PageResult::kInvalidArgument;
  }
  std::array<std::string, model::kFireKeyCount> names;
  for (std::size_t n = 0; n < names.size(); ++n) names[n] = session.Text(kFireKeyNameKeys[n]);

  bool changed = false;
  bool pairTaken = true;
  if (page.layer == kMainLayer) {
    copies.fireKey1RepeatMinusOne = fields[0].repeat - 1;
    copies.fireKey2RepeatMinusOne = fields[1].repeat - 1;
    const std::uint8_t pair =
        model::FireRepeatPairByte(static_cast<unsigned>(copies.fireKey1RepeatMinusOne),
                                  static_cast<unsigned>(copies.fireKey2RepeatMinusOne));
    // DataBuf keeps the pair the mouse holds, so that a saved profile tells the fire keys apart
    // as the mouse does.
    session.DataBuf().Parameter().SetFireRepeatPair(pair);
    if (session.CanWrite()) {
      pairTaken = session.Protocol().WriteParameterBytes(
          static_cast<std::uint8_t>(model::kFireRepeatPairOffset), pair, 0, 0, 1);
    }
    changed = true;
  }

  SlotWriter writer(session);
  if (IsLayerEditable(page.layer)) {
    for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
      const std::string& caption = page.captions[static_cast<std::size_t>(slot - 1)];
      const auto* name = std::find(names.begin(), names.end(), caption);
      if (name == names.end()) continue;
      const auto fireKey = static_cast<std::size_t>(name - names.begin());
      session.DataBuf().SetSlotCode(page.layer, slot, *model::FireKeyCode(fields[fireKey]));
      writer.Write(page.layer, slot);
      changed = true;
    }
  }
  if (!changed) return PageResult::kUnchanged;
  const PageResult result = writer.Result();
  return result == PageResult::kWritten && !pairTaken ? PageResult::kWriteFailed : result;
}

PageResult SetFireKey(session::Session& session, const KeyPageState& page, FireKeySettings& fields,
                      model::PackedCopies& copies, int fireKey,
                      const model::FireKeySetting& setting) {
  if (fireKey < 1 || fireKey > model::kFireKeyCount || !IsValidFireSetting(setting)) {
    return PageResult::kInvalidArgument;
  }
  if (const auto refusal = session::RefusePageClick(session)) return *refusal;
  fields[static_cast<std::size_t>(fireKey - 1)] = setting;
  return SettingFireKey(session, page, fields, copies);
}

FireFieldLoad RefreshFireKey(const model::DataBuf& dataBuf, int layer,
                             const model::CodeCaptionContext& context) {
  FireFieldLoad load;
  const auto loadFrom = [&](int fromLayer) {
    for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
      const auto fields =
          model::CodeDisplayText(dataBuf.SlotCode(fromLayer, slot), context).fireKeyFields;
      if (!fields) continue;
      model::FireKeySetting setting = fields->setting;
      setting.repeat = std::min(setting.repeat, model::kMaxFireRepeat);
      load[static_cast<std::size_t>(fields->fireKey - 1)] = setting;
    }
  };
  for (int fromLayer = 0; fromLayer < model::kKeyLayerCount; ++fromLayer) loadFrom(fromLayer);
  // The layer on show has the last word: its buttons are the ones a change of the fields
  // rewrites, so they must not take the settings of another layer's button.
  if (model::IsValidLayer(layer)) loadFrom(layer);
  return load;
}

FireKeySettings WithFireFieldLoad(FireKeySettings fields, const FireFieldLoad& load) {
  for (std::size_t n = 0; n < fields.size(); ++n) {
    if (load[n]) fields[n] = *load[n];
  }
  return fields;
}

AimKeyDisplay ResetAimKeyDisplay(int language) {
  return {1, std::string(shell::LanguageText(language, kFirstDpiValueKey))};
}

std::optional<AimKeyDisplay> RefreshAIMKey(const model::DataBuf& dataBuf, int layer,
                                           const model::CodeCaptionContext& context) {
  if (!model::IsValidLayer(layer)) return std::nullopt;
  const std::string name(shell::LanguageText(context.language, kAimKeyNameKey));
  bool found = false;
  std::optional<AimKeyDisplay> display;
  for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
    const model::SlotBytes code = dataBuf.SlotCode(layer, slot);
    if (model::CodeDisplayText(code, context).caption != name) continue;
    found = true;
    // An index beyond the DPI value list (0xFF, or any a mouse may hold) has no place on the
    // bar; the display keeps what it shows.
    if (code[1] < model::kDpiStepCount) {
      display = AimKeyDisplay{code[1] + 1, DpiValueText(context.language, code[1])};
    }
  }
  if (!found) return ResetAimKeyDisplay(context.language);
  return display;
}

AimKeyChange SettingAIMKey(session::Session& session, const KeyPageState& page, int aimNumber) {
  const auto code = model::AimKeyCode(aimNumber);
  if (!code || !model::IsValidLayer(page.layer)) return {PageResult::kInvalidArgument, {}};
  const std::string name = session.Text(kAimKeyNameKey);

  SlotWriter writer(session);
  bool found = false;
  if (IsLayerEditable(page.layer)) {
    for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
      if (page.captions[static_cast<std::size_t>(slot - 1)] != name) continue;
      session.DataBuf().SetSlotCode(page.layer, slot, *code);
      writer.Write(page.layer, slot);
      found = true;
    }
  }
  if (found) return {writer.Result(), {}};
  if (session.WriteLock()) return {PageResult::kNotOffered, {}};

  AimKeyChange change{PageResult::kNotOffered, ResetAimKeyDisplay(session.CurrentLanguage())};
  if (IsLayerEditable(page.layer)) {
    const std::string_view layerKey = page.layer == kMainLayer ? "Str004" : "Str005";
    session.Observer().ShowMessage({"Str105", session.Text("Str105") + session.Text(layerKey)});
  }
  return change;
}

}  // namespace corvid::keys
