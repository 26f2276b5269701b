#pragma once

#include <cstdint>

namespace corvid::device {

// Where a mouse keeps its identity bytes and macros; follows from the controller kind and, for a
// Flash controller, from the macro storage bits of bank 0 byte 6.
enum class MemoryLayout { LayoutI2C, LayoutFlashI2C, LayoutFlashFlash };

// Controller kind byte of the device-info answer.
inline constexpr std::uint8_t kControllerI2C = 0xC0;
inline constexpr std::uint8_t kControllerFlash = 0x80;

// Bits 7..6 of bank 0 byte 6 on a Flash controller.
inline constexpr std::uint8_t kMacroStorageI2CBits = 0b10;
inline constexpr std::uint8_t kMacroStorageFlashBits = 0b11;

inline constexpr int kParameterSectionSize = 104;  // bank 0
inline constexpr int kProfileSectionSize = 145;    // bank 1
inline constexpr int kMemorySize = 0x10000;

// The two identity bytes (manufacturer, product): right behind the section bytes on an I2C
// controller, in the controller's own memory on a Flash controller.
inline constexpr std::uint16_t kIdentityAddressI2C = 249;
inline constexpr std::uint16_t kIdentityAddressFlash = 0x6000;

constexpr std::uint16_t IdentityAddress(MemoryLayout layout) {
  return layout == MemoryLayout::LayoutI2C ? kIdentityAddressI2C : kIdentityAddressFlash;
}

}  // namespace corvid::device
