#pragma once

// Upper-case hexadecimal, as every number in the mouse's code texts, traces and files is written.

#include <cstdint>
#include <span>
#include <string>

namespace corvid::common {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Value of one hex digit in either case, or -1.
constexpr int HexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  return -1;
}

inline void AppendHexByte(std::string& out, std::uint8_t byte) {
  out += kHexDigits[byte >> 4];
  out += kHexDigits[byte & 0x0F];
}

// Two upper-case hex digits per byte ("82 04 00" gives "820400").
inline std::string BytesToHexText(std::span<const std::uint8_t> bytes) {
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) AppendHexByte(hex, byte);
  return hex;
}

}  // namespace corvid::common
