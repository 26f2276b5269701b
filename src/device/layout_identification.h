#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "device/memory_layout.h"
#include "device/protocol.h"

namespace corvid::device {

// The storage kinds a mouse reports, as the tool names them: "I2C" (external EEPROM) or "Flash";
// empty until known.
struct Identification {
  std::optional<DeviceInfo> info;      // empty when the device-info command was refused
  std::string ControllerKind;          // "I2C", "Flash" or empty
  std::string MacroStorageKind;        // only read for a Flash controller
  std::optional<MemoryLayout> layout;  // empty: the mouse is not served
};

// Asks a freshly opened mouse which controller it is built on and, for a Flash controller, where
// it keeps its macros (bits 7..6 of bank 0 byte 6). Unknown codes leave the layout empty.
Identification IdentifyLayout(Protocol& protocol);

// The macro storage the layout amounts to, compared with the storage the build's default image is
// made for: "I2C" for both I2C-EEPROM layouts, "Flash" for Flash/Flash.
const char* EffectiveStorageKind(MemoryLayout layout);

}  // namespace corvid::device
