#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvid::device {

// Where a mouse keeps something: on the external I2C EEPROM or in the controller's Flash. Unknown
// until the mouse (or the built-in image) has told us.
enum class StorageKind : std::uint8_t { Unknown, I2C, Flash };

// "I2C", "Flash" or the empty text for Unknown.
constexpr std::string_view StorageKindText(StorageKind kind) {
  switch (kind) {
    case StorageKind::I2C:
      return "I2C";
    case StorageKind::Flash:
      return "Flash";
    case StorageKind::Unknown:
      break;
  }
  return "";
}

constexpr StorageKind StorageKindFromText(std::string_view text) {
  if (text == "I2C") return StorageKind::I2C;
  if (text == "Flash") return StorageKind::Flash;
  return StorageKind::Unknown;
}

// The first byte of a stored image says which macro storage it was made for.
inline constexpr std::uint8_t kStorageMarkerI2C = 0xE0;
inline constexpr std::uint8_t kStorageMarkerFlash = 0xF0;

constexpr std::optional<std::uint8_t> StorageMarkerFor(StorageKind kind) {
  switch (kind) {
    case StorageKind::I2C:
      return kStorageMarkerI2C;
    case StorageKind::Flash:
      return kStorageMarkerFlash;
    case StorageKind::Unknown:
      break;
  }
  return std::nullopt;
}

constexpr StorageKind StorageKindOfMarker(std::uint8_t marker) {
  if (marker == kStorageMarkerI2C) return StorageKind::I2C;
  if (marker == kStorageMarkerFlash) return StorageKind::Flash;
  return StorageKind::Unknown;
}

}  // namespace corvid::device
