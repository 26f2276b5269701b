#pragma once

// The macro memory of mice that keep their macros on the I2C EEPROM: a 512-byte area of up to 15
// records packed back to back, each a 16-byte name field, the body steps and a 0x00 terminator.
// No length is stored, so the lengths are found again from the bytes on every read.
//
// The EEPROM is written in 256-byte pages, and the firmware reads offset 255 as a page seam: a body
// byte of 0x01, 0x02, 0x81, 0x82 or 0xFE must not sit there. The builder puts a 0xFC filler at 255
// instead and moves the rest of the body on by one byte; read back, the filler is part of the body.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/memory_layout.h"
#include "macros/macro_name_field.h"
#include "macros/step_codec.h"

namespace corvid::macros {

inline constexpr std::size_t kMacroAreaSize = 512;
inline constexpr std::size_t kI2CMacroSlotCount = 15;
// A record of a name and an empty body: the name field and the terminator.
inline constexpr std::size_t kEmptyMacroRecordLength = kMacroNameFieldSize + 1;
inline constexpr std::size_t kPageSeamOffset = 255;
inline constexpr std::uint8_t kPageSeamFiller = 0xFC;

using MacroArea = std::array<std::uint8_t, kMacroAreaSize>;

// Whether a body byte may not be stored at the page seam.
constexpr bool NeedsPageSeamFiller(std::uint8_t byte) {
  return byte == 0x01 || byte == 0x02 || byte == 0x81 || byte == 0x82 || byte == 0xFE;
}

// Device address of the first body: the area's base plus one name field.
std::uint16_t FirstMacroBodyAddress(device::MemoryLayout layout);

// The tool's model of the area.
struct I2CMacroTable {
  std::array<MacroNameField, kI2CMacroSlotCount> names{};
  // Steps and terminator, zero-filled after it.
  std::array<MacroBody, kI2CMacroSlotCount> bodies{};
  // Record length: 16 + body bytes + 1; 0 for no macro, 17 for a macro with no steps.
  std::array<std::uint16_t, kI2CMacroSlotCount> MacroLen{};
  // Device address of each body; slot 0 always holds the first body address of the layout.
  std::array<std::uint16_t, kI2CMacroSlotCount> MacroAddr{};
  // Bytes of the area the records take.
  std::uint16_t MacroTotal = 0;

  // Macros are kept contiguous from slot 0.
  std::size_t Count() const;
};

// Why parsing stopped.
enum class MacroAreaEnd {
  kEndMarker,  // the next record starts with 00 00 or holds 0xFF (erased EEPROM)
  kAllSlots,   // 15 records read
  kAreaFull,   // the records fill the area to its last byte
  kDamaged,    // a record runs past the area, or its body has no end within a 256-byte slot
};

struct MacroAreaParse {
  I2CMacroTable table;
  MacroAreaEnd end = MacroAreaEnd::kEndMarker;
  // Offset of the first byte after the records read.
  std::size_t endOffset = 0;
};

// Reads the records of `area`. Bodies are walked step by step where every step is one the mouse
// knows; otherwise the end is found by byte values as earlier versions of the tool wrote it. A body
// whose last step ends in an operand 0x00 may be followed by its own terminator or not. Never
// reads outside the area; a record that cannot be read whole ends the list and is not taken.
MacroAreaParse ParseMacroArea(std::span<const std::uint8_t, kMacroAreaSize> area,
                              std::uint16_t firstBodyAddress);

struct MacroAreaBuild {
  MacroArea image{};
  // The table's lengths, grown by the page seam filler, and the addresses and total that follow.
  std::array<std::uint16_t, kI2CMacroSlotCount> MacroLen{};
  std::array<std::uint16_t, kI2CMacroSlotCount> MacroAddr{};
  std::uint16_t MacroTotal = 0;
  // False when a record did not fit in the area, or its body grew past a 256-byte slot by the
  // filler; that record and the later ones were left out of `image`.
  bool fits = true;
};

// Builds the area from the table's names, bodies and lengths. Never writes past the area and never
// reads past a body slot.
MacroAreaBuild BuildMacroArea(const I2CMacroTable& table, std::uint16_t firstBodyAddress);

// Flash macro memory ------------------------------------------------------------------------

// A Flash name slot holds a macro unless its first two bytes are both 0x00 or both 0xFF.
bool IsValidFlashMacroName(std::span<const std::uint8_t> nameField);

// Body length with its terminator, by the three-zero rule; 257 for a slot without a terminator.
std::size_t BodyLengthOf(std::span<const std::uint8_t> bodySlot);

// Bytes of a body slot that go into an EEPROM record: the length by the three-zero rule, so that a
// body whose last step ends in an operand 0x00 is stored without a terminator of its own, as other
// tools store it, but never fewer than its whole steps.
std::size_t StoredBodyLengthOf(std::span<const std::uint8_t> bodySlot);

}  // namespace corvid::macros
