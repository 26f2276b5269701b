#pragma once

// Whole-image transfers between the mouse and the device mirror: the identity read, reading
// everything, writing everything and saving the macro areas, each in the order the mouse expects.

#include <array>
#include <cstdint>
#include <optional>

#include "device/memory_layout.h"
#include "device/protocol.h"
#include "model/device_image.h"

namespace corvid::model {

// Where the macro area of an I2C-EEPROM layout lives: two 256-byte blocks.
struct MacroAreaAddresses {
  std::uint16_t first;
  std::uint16_t second;
};
MacroAreaAddresses MacroAreaAddressesOf(device::MemoryLayout layout);

inline constexpr std::uint16_t kFlashMacroNameTableAddress = 0x3000;

// Reads the two identity bytes at the layout's address: 249 on an I2C controller, 0x6000 on a
// Flash controller. Nothing when the read command was refused.
std::optional<std::array<std::uint8_t, kIdentityBytesSize>> ReadIdentityBytes(
    device::Protocol& protocol, device::MemoryLayout layout);

// Both sections, then the macro memory of the layout. Section bytes whose read-backs failed read
// 0xFF. Flash macro bodies and the name table replace the mirror only when their read command was
// accepted. Returns false when any read command was refused; the sequence always runs to its end.
bool ReadEverything(device::Protocol& protocol, device::MemoryLayout layout, DeviceImage& image);

// Both sections, the macro memory of the layout, then the identity bytes. Returns false when any
// command was refused; the sequence always runs to its end.
bool WriteEverything(device::Protocol& protocol, device::MemoryLayout layout,
                     const DeviceImage& image);

// The profile section and the macro memory of the layout, without the identity bytes: what saving
// the device macros writes.
bool WriteMacros(device::Protocol& protocol, device::MemoryLayout layout, const DeviceImage& image);

}  // namespace corvid::model
