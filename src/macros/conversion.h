#pragma once

// Hex texts of the macro page: names travel as UTF-16 code units written as four hex digits each,
// and bodies are shown as two hex digits per byte. Texts on our side are UTF-8.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/hex.h"

namespace corvid::macros {

// The conversion buffer holds 500 UTF-16 units with its terminating zero.
inline constexpr std::size_t kMaxUnicodeHexUnits = 499;

// Text to hex text: each UTF-16 code unit of the text, up to the first zero unit and at most
// kMaxUnicodeHexUnits of them, as 4 upper-case hex digits, high byte first ("AB" gives
// "00410042"). A surrogate pair is never split by the limit. Bytes that are not UTF-8 become
// U+FFFD.
std::string StrToUnicodeHex(std::string_view text);

// Whether `text` is well-formed UTF-8 throughout (a U+FFFD written as such is fine).
bool IsUtf8Text(std::string_view text);

// Hex text to text, read from the end in groups of 4 digits; each group is one UTF-16 code unit.
// A group that is not hex is skipped, and 1 to 3 digits left over at the front are ignored. A zero
// unit gives a NUL character; a lone surrogate gives U+FFFD.
std::string UnicodeHexToStr(std::string_view hex);

// Two upper-case hex digits per byte, and the value of one digit: shared with the rest of the tool.
using common::BytesToHexText;
using common::HexDigitValue;

}  // namespace corvid::macros
