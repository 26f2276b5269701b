#include "macros/macro_name_field.h"

#include "macros/conversion.h"

namespace corvid::macros {

bool IsStorableMacroNameText(std::string_view name) {
  return name.find('\0') == std::string_view::npos && IsUtf8Text(name);
}

std::optional<MacroNameField> NameToMacroNameField(std::string_view name) {
  if (!IsStorableMacroNameText(name)) return std::nullopt;
  const std::string hex = StrToUnicodeHex(name);
  if (hex.size() > kMacroNameFieldSize * 2) return std::nullopt;
  MacroNameField field{};
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    field[i / 2] =
        static_cast<std::uint8_t>(HexDigitValue(hex[i]) * 16 + HexDigitValue(hex[i + 1]));
  }
  return field;
}

std::string MacroNameFieldToRawText(const MacroNameField& field) {
  return UnicodeHexToStr(BytesToHexText(field));
}

std::string MacroNameFieldToName(const MacroNameField& field) {
  std::string text = MacroNameFieldToRawText(field);
  const std::size_t firstNul = text.find('\0');
  if (firstNul != std::string::npos) text.resize(firstNul);
  return text;
}

bool IsEmptyMacroName(const MacroNameField& field) { return field[0] == 0 && field[1] == 0; }

}  // namespace corvid::macros
