#include "model/function_codes.h"

#include <algorithm>
#include <iterator>

#include "model/key_code_text.h"
#include "model/key_tables.h"
#include "shell/language_file.h"

namespace corvid::model {
namespace {

// The function items in menu order. The codes of the fixed items are also the exact codes that
// get a caption of their own; every other code is composed or has none.
constexpr FunctionMenuItem kMenuItems[] = {
    {900, "Key_Left", "Str210", "01010000"},
    {901, "Key_Right", "Str211", "01020000"},
    {902, "Key_Middle", "Str212", "01040000"},
    {903, "Key_B4", "Str213", "01080000"},
    {904, "Key_B5", "Str214", "01100000"},
    {1001, "Key_AIM", "Str234", ""},
    {1002, "Key_Profile", "Str242", "07000000"},
    {1003, "Key_CPI", "Str243", "09000000"},
    {1004, "Key_ReportRate", "Str244", "0C000000"},
    {1005, "Key_Default", "Str245", "0D000000"},
    {1006, "Key_LEDMode", "Str246", "0E000000"},
    {1007, "Key_CPII", "Str247", "09010000"},
    {1008, "Key_CPID", "Str248", "09020000"},
    {1009, "Key_LEDSwitch", "Str241", "08000000"},
    {1100, "Key_Computer", "Str270", "03019400"},
    {1101, "Key_Calculator", "Str271", "03019200"},
    {1102, "Key_EMail", "Str272", "03018A00"},
    {1103, "Key_Desktop", "Str273", "02080700"},  // Win + D, shown as "Desktop"
    {1300, "Key_PlayPause", "Str250", "0300CD00"},
    {1301, "Key_Stop", "Str251", "0300B700"},
    {1302, "Key_PreviousTrack", "Str252", "0300B600"},
    {1303, "Key_NextTrack", "Str253", "0300B500"},
    {1304, "Key_VolumePlus", "Str254", "0300E900"},
    {1305, "Key_VolumeMinus", "Str255", "0300EA00"},
    {1306, "Key_Mute", "Str256", "0300E200"},
    {1400, "Key_WWWHome", "Str260", "03022300"},
    {1401, "Key_WWWSearch", "Str261", "03022100"},
    {1402, "Key_WWWBack", "Str262", "03022400"},
    {1403, "Key_WWWForward", "Str263", "03022500"},
    {1404, "Key_WWWStop", "Str264", "03022600"},
    {1405, "Key_WWWRefresh", "Str265", "03022700"},
    {1406, "Key_WWWFavorites", "Str266", "03022A00"},
    {1500, "Key_Fire1", "Str231", ""},
    {1501, "Key_Fire2", "Str232", ""},
    {1502, "Key_Fire3", "Str233", ""},
};

constexpr std::string_view kFireKeyCaptionKeys[kFireKeyCount] = {"Str231", "Str232", "Str233"};
constexpr std::string_view kAimKeyCaptionKey = "Str234";

std::string Text(int language, std::string_view key) {
  return std::string(shell::LanguageText(language, key));
}

// The language key of a code with a caption of its own. Mouse buttons, the switch, DPI, LED and
// report-rate functions, media, browser and PC functions: none of them is of class 0x05 or 0x06,
// so looking them up in one table keeps the order mouse buttons, fire, aim, the rest.
std::string_view ExactCaptionKey(std::string_view codeText) {
  const auto* item = std::find_if(
      std::begin(kMenuItems), std::end(kMenuItems),
      [&](const FunctionMenuItem& entry) { return !entry.code.empty() && entry.code == codeText; });
  return item == std::end(kMenuItems) ? std::string_view{} : item->languageKey;
}

// Which fire key a fire code belongs to: the code only holds a repeat count, so the first fire
// key with the same count claims it and Fire Key3 takes the rest.
int FireKeyOfRepeatNibble(int repeatNibble, const CodeCaptionContext& context) {
  if (repeatNibble == context.fireKey1RepeatMinusOne) return 1;
  if (repeatNibble == context.fireKey2RepeatMinusOne) return 2;
  return 3;
}

std::string KeyCombinationText(const KeyFunctionCode& code) {
  static constexpr std::pair<std::uint8_t, std::string_view> kModifierTexts[] = {
      {kModifierCtrl, "Ctrl+"},
      {kModifierShift, "Shift+"},
      {kModifierAlt, "Alt+"},
      {kModifierWin, "Win+"},
  };
  std::string text;
  for (const auto& [bit, modifierText] : kModifierTexts) {
    if ((code[1] & bit) != 0) text += modifierText;
  }
  if (code[2] != 0) text += NameOfUsage(code[2]);
  if (code[3] != 0) {
    if (code[2] != 0) text += '+';
    text += NameOfUsage(code[3]);
  }
  return text;
}

std::string MacroNameAt(std::uint16_t address, const DeviceMacroCatalog* macros) {
  if (macros == nullptr) return {};
  const int count = macros->MacroCount();
  for (int index = 0; index < count; ++index) {
    if (macros->MacroAddress(index) == address) return macros->MacroName(index);
  }
  return {};
}

}  // namespace

std::optional<KeyFunctionCode> FireKeyCode(const FireKeySetting& setting) {
  if (setting.repeat < 1 || setting.repeat > kMaxFireRepeat) return std::nullopt;
  if (setting.delay < 0 || setting.delay > 0xFFFF) return std::nullopt;
  const auto repeatByte = static_cast<std::uint8_t>((setting.repeat - 1) + kFireRepeatMarker +
                                                    (setting.continuous ? kFireContinuous : 0));
  return KeyFunctionCode{static_cast<std::uint8_t>(KeyFunctionClass::FireKey), repeatByte,
                         static_cast<std::uint8_t>(setting.delay / 256),
                         static_cast<std::uint8_t>(setting.delay % 256)};
}

std::optional<KeyFunctionCode> AimKeyCode(int aimNumber) {
  if (aimNumber < 1 || aimNumber > kMaxAimNumber) return std::nullopt;
  return KeyFunctionCode{static_cast<std::uint8_t>(KeyFunctionClass::AimKey),
                         static_cast<std::uint8_t>(aimNumber - 1), 0, 0};
}

KeyFunctionCode MacroKeyCode(std::uint16_t macroAddress) {
  return {static_cast<std::uint8_t>(KeyFunctionClass::Macro),
          static_cast<std::uint8_t>(macroAddress >> 8U),
          static_cast<std::uint8_t>(macroAddress & 0xFFU), 0};
}

std::span<const FunctionMenuItem> FunctionMenuItems() { return kMenuItems; }

const FunctionMenuItem* FindFunctionMenuItem(int tag) {
  const auto* item =
      std::find_if(std::begin(kMenuItems), std::end(kMenuItems),
                   [tag](const FunctionMenuItem& entry) { return entry.tag == tag; });
  return item == std::end(kMenuItems) ? nullptr : item;
}

std::string CodeForMenuTag(int tag, const MenuCodeInputs& page) {
  const FunctionMenuItem* item = FindFunctionMenuItem(tag);
  if (item == nullptr) return {};
  if (!item->code.empty()) return std::string(item->code);

  std::optional<KeyFunctionCode> code;
  if (tag == kAimMenuTag) {
    code = AimKeyCode(page.aimNumber);
  } else {
    code = FireKeyCode(page.fireKeys[static_cast<std::size_t>(tag - kFireKey1MenuTag)]);
  }
  return code ? SlotCodeText(*code) : std::string{};
}

CodeCaption CodeDisplayText(std::string_view codeText, const CodeCaptionContext& context) {
  const auto code = ParseSlotCodeText(codeText);
  if (!code) return {};
  return CodeDisplayText(*code, context);
}

CodeCaption CodeDisplayText(const KeyFunctionCode& code, const CodeCaptionContext& context) {
  const std::string codeText = SlotCodeText(code);
  if (const std::string_view key = ExactCaptionKey(codeText); !key.empty()) {
    return {Text(context.language, key), std::nullopt};
  }

  switch (ClassOf(code)) {
    case KeyFunctionClass::FireKey: {
      FireKeyFields fields;
      fields.fireKey = FireKeyOfRepeatNibble(LowNibble(code[1]), context);
      fields.setting.repeat = LowNibble(code[1]) + 1;
      fields.setting.delay = code[2] * 256 + code[3];
      fields.setting.continuous = (code[1] & kFireContinuous) != 0;
      return {
          Text(context.language, kFireKeyCaptionKeys[static_cast<std::size_t>(fields.fireKey - 1)]),
          fields};
    }
    case KeyFunctionClass::AimKey:
      return {Text(context.language, kAimKeyCaptionKey), std::nullopt};
    default:
      return {ComposeKeyText(code, context.macros), std::nullopt};
  }
}

std::string ComposeKeyText(std::string_view codeText, const DeviceMacroCatalog* macros) {
  const auto code = ParseSlotCodeText(codeText);
  return code ? ComposeKeyText(*code, macros) : std::string{};
}

std::string ComposeKeyText(const KeyFunctionCode& code, const DeviceMacroCatalog* macros) {
  switch (ClassOf(code)) {
    case KeyFunctionClass::Keyboard:
      return KeyCombinationText(code);
    case KeyFunctionClass::Macro:
      return MacroNameAt(static_cast<std::uint16_t>(code[1] * 256 + code[2]), macros);
    default:
      return {};
  }
}

}  // namespace corvid::model
