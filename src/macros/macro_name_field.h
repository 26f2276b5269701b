#pragma once

// A macro name as stored in the PC library and in the mouse: 16 bytes holding up to 8 UTF-16 code
// units, high byte first, padded with 0x00.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvid::macros {

inline constexpr std::size_t kMacroNameFieldSize = 16;
inline constexpr std::size_t kMacroNameMaxUnits = kMacroNameFieldSize / 2;

using MacroNameField = std::array<std::uint8_t, kMacroNameFieldSize>;

// Whether a name can be stored exactly: well-formed UTF-8 without NUL characters (a NUL would end
// it early, and bytes that are not UTF-8 would turn into U+FFFD).
bool IsStorableMacroNameText(std::string_view name);

// The field of a name, zero-padded. A name that needs more than 8 UTF-16 units does not fit, and
// one that is not storable text is not taken: both are refused rather than altered, so no caller
// stores a name other than the one it was given.
std::optional<MacroNameField> NameToMacroNameField(std::string_view name);

// The name held in a field, as the macro lists show and compare it: the text up to the first zero
// unit. A field whose first two bytes are 0x00 is an empty name.
std::string MacroNameFieldToName(const MacroNameField& field);

// The field read exactly as its 32 hex digits decode, zero units kept as NUL characters
// ("Fire" followed by four NULs).
std::string MacroNameFieldToRawText(const MacroNameField& field);

bool IsEmptyMacroName(const MacroNameField& field);

}  // namespace corvid::macros
