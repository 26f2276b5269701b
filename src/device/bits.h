#pragma once

#include <cstdint>

namespace corvid::device {

// Single bits of an integer; the bit number is taken modulo 32, as the setting pages rely on.
constexpr bool TestBit(std::uint32_t value, unsigned bit) {
  return ((value >> (bit % 32U)) & 1U) != 0U;
}

constexpr std::uint32_t SetBit(std::uint32_t value, unsigned bit) {
  return value | (1U << (bit % 32U));
}

constexpr std::uint32_t ClearBit(std::uint32_t value, unsigned bit) {
  return value & ~(1U << (bit % 32U));
}

}  // namespace corvid::device
