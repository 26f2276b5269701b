#include "macros/conversion.h"

#include <vector>

namespace corvid::macros {
namespace {

using common::kHexDigits;
constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `pos` and moves past it; a malformed sequence yields U+FFFD and moves
// by one byte, so the walk always advances.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07;
    minimum = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (pos + length > text.size()) {
    ++pos;
    return kReplacement;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return value;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

bool IsUtf8Text(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    // A malformed sequence reads as U+FFFD and moves by one byte; a real U+FFFD takes three.
    if (NextCodePoint(text, pos) == kReplacement && pos == start + 1) return false;
  }
  return true;
}

namespace {

void AppendUnitHex(std::string& out, std::uint16_t unit) {
  out += kHexDigits[(unit >> 12) & 0xF];
  out += kHexDigits[(unit >> 8) & 0xF];
  out += kHexDigits[(unit >> 4) & 0xF];
  out += kHexDigits[unit & 0xF];
}

bool IsHighSurrogate(std::uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string StrToUnicodeHex(std::string_view text) {
  std::string hex;
  std::size_t units = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char32_t cp = NextCodePoint(text, pos);
    if (cp == 0) break;
    if (cp >= 0x10000) {
      if (units + 2 > kMaxUnicodeHexUnits) break;
      const char32_t offset = cp - 0x10000;
      AppendUnitHex(hex, static_cast<std::uint16_t>(0xD800 + (offset >> 10)));
      AppendUnitHex(hex, static_cast<std::uint16_t>(0xDC00 + (offset & 0x3FF)));
      units += 2;
    } else {
      if (units + 1 > kMaxUnicodeHexUnits) break;
      AppendUnitHex(hex, static_cast<std::uint16_t>(cp));
      units += 1;
    }
  }
  return hex;
}

std::string UnicodeHexToStr(std::string_view hex) {
  // Groups are taken from the end, so the units are collected backwards and turned around.
  std::vector<std::uint16_t> units;
  std::size_t remaining = hex.size();
  while (remaining >= 4) {
    const std::string_view group = hex.substr(remaining - 4, 4);
    remaining -= 4;
    std::uint16_t unit = 0;
    bool valid = true;
    for (const char digit : group) {
      const int value = HexDigitValue(digit);
      if (value < 0) {
        valid = false;
        break;
      }
      unit = static_cast<std::uint16_t>((unit << 4) | value);
    }
    if (valid) units.push_back(unit);
  }
  std::string text;
  for (std::size_t i = units.size(); i-- > 0;) {
    const std::uint16_t unit = units[i];
    if (IsHighSurrogate(unit) && i > 0 && IsLowSurrogate(units[i - 1])) {
      const std::uint16_t low = units[--i];
      AppendUtf8(text, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00));
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(text, kReplacement);
    } else {
      AppendUtf8(text, unit);
    }
  }
  return text;
}

}  // namespace corvid::macros
