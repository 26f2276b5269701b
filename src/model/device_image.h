#pragma once

// The tool's mirror of what the mouse holds: both sections, its identity bytes and its macro
// memory in whichever form the mouse keeps it. Profile files are made of exactly this.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/section_image.h"

namespace corvid::model {

inline constexpr std::size_t kIdentityBytesSize = 2;
inline constexpr std::size_t kMacroImageSize = 512;
inline constexpr std::size_t kFlashMacroCount = 32;
inline constexpr std::size_t kFlashMacroNameSize = 16;
inline constexpr std::size_t kFlashMacroBodySize = 256;
// Flash-stored macro bodies sit one per 256-byte page from here.
inline constexpr std::uint16_t kFlashMacroBodyBase = 0x4000;

using FlashMacroAddresses = std::array<std::uint16_t, kFlashMacroCount>;

constexpr FlashMacroAddresses ComputeFlashMacroAddressTable() {
  FlashMacroAddresses table{};
  for (std::size_t i = 0; i < kFlashMacroCount; ++i) {
    table[i] = static_cast<std::uint16_t>(kFlashMacroBodyBase + kFlashMacroBodySize * i);
  }
  return table;
}

struct DeviceImage {
  SectionImage sections;
  // Manufacturer byte, product byte; zero until identified, reset or loaded.
  std::array<std::uint8_t, kIdentityBytesSize> IdentityBytes{};
  // Macro area of mice that keep macros on the EEPROM.
  std::array<std::uint8_t, kMacroImageSize> MacroImage{};
  // Name table and bodies of mice that keep macros in Flash, stored flat in the order of the
  // device memory so that blocks and files can be moved in one piece.
  std::array<std::uint8_t, kFlashMacroCount * kFlashMacroNameSize> FlashMacroNames{};
  std::array<std::uint8_t, kFlashMacroCount * kFlashMacroBodySize> FlashMacroBodies{};
  FlashMacroAddresses FlashMacroAddressTable = ComputeFlashMacroAddressTable();

  // Name or body of Flash macro 0..31. An index out of range gives an empty span.
  std::span<std::uint8_t> FlashMacroName(std::size_t index);
  std::span<const std::uint8_t> FlashMacroName(std::size_t index) const;
  std::span<std::uint8_t> FlashMacroBody(std::size_t index);
  std::span<const std::uint8_t> FlashMacroBody(std::size_t index) const;

  void RecomputeFlashMacroAddressTable() {
    FlashMacroAddressTable = ComputeFlashMacroAddressTable();
  }
};

}  // namespace corvid::model
