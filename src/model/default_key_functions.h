#pragma once

// The function each button slot falls back to when the function it had is gone, for instance when
// the device macro a button was bound to is deleted. The table follows the usual button layout:
// slot 1 left, 5 right, 9 middle, the side buttons back/forward, the DPI and LED keys on top.

#include <array>
#include <optional>
#include <string_view>

#include "model/function_codes.h"
#include "model/section_fields.h"

namespace corvid::model {

struct DefaultKeyFunction {
  int slot;               // 1..12
  int menuTag;            // the menu item with the same function
  std::string_view code;  // its code text
  KeyFunctionCode bytes;
};

inline constexpr std::array<DefaultKeyFunction, kSlotsPerLayer> kDefaultKeyFunctions = {{
    {1, 900, "01010000", {0x01, 0x01, 0x00, 0x00}},    // Left Key
    {2, 903, "01080000", {0x01, 0x08, 0x00, 0x00}},    // Backward
    {3, 1007, "09010000", {0x09, 0x01, 0x00, 0x00}},   // DPI +
    {4, 1400, "03022300", {0x03, 0x02, 0x23, 0x00}},   // WWW Home
    {5, 901, "01020000", {0x01, 0x02, 0x00, 0x00}},    // Right Key
    {6, 904, "01100000", {0x01, 0x10, 0x00, 0x00}},    // Forward
    {7, 1008, "09020000", {0x09, 0x02, 0x00, 0x00}},   // DPI -
    {8, 1103, "02080700", {0x02, 0x08, 0x07, 0x00}},   // Desktop (Win + D)
    {9, 902, "01040000", {0x01, 0x04, 0x00, 0x00}},    // Middle Key
    {10, 1003, "09000000", {0x09, 0x00, 0x00, 0x00}},  // DPI
    {11, 1009, "08000000", {0x08, 0x00, 0x00, 0x00}},  // LED Switch
    {12, 1009, "08000000", {0x08, 0x00, 0x00, 0x00}},  // LED Switch
}};

// The fallback of slot 1..12; nothing for any other number.
constexpr std::optional<DefaultKeyFunction> DefaultKeyFunctionOf(int slot) {
  if (!model::IsValidSlot(slot)) return std::nullopt;
  return kDefaultKeyFunctions[static_cast<std::size_t>(slot - 1)];
}

}  // namespace corvid::model
