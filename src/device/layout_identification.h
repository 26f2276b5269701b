#pragma once

#include <cstdint>
#include <optional>

#include "device/memory_layout.h"
#include "device/protocol.h"
#include "device/storage_kind.h"

namespace corvid::device {

// What a freshly opened mouse says of itself.
struct Identification {
  std::optional<DeviceInfo> info;  // empty when the device-info command was refused
  StorageKind ControllerKind = StorageKind::Unknown;
  StorageKind MacroStorageKind = StorageKind::Unknown;  // only read for a Flash controller
  std::optional<MemoryLayout> layout;                   // empty: the mouse is not served
};

// Asks a freshly opened mouse which controller it is built on and, for a Flash controller, where
// it keeps its macros (bits 7..6 of bank 0 byte 6). Unknown codes leave the layout empty.
Identification IdentifyLayout(Protocol& protocol);

// The macro storage the layout amounts to, compared with the storage the build's default image is
// made for: I2C for both I2C-EEPROM layouts, Flash for Flash/Flash.
constexpr StorageKind EffectiveStorageKind(MemoryLayout layout) {
  return layout == MemoryLayout::LayoutFlashFlash ? StorageKind::Flash : StorageKind::I2C;
}

}  // namespace corvid::device
