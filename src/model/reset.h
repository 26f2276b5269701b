#pragma once

// Putting the connected mouse back to the build's defaults.

#include <cstdint>
#include <optional>
#include <span>

#include "device/busy_window.h"
#include "device/discovery.h"
#include "device/memory_layout.h"
#include "device/protocol.h"
#include "model/data_buf.h"
#include "model/default_image.h"
#include "model/device_image.h"

namespace corvid::model {

// Takes the loaded defaults into the device mirror: both sections, and the macro memory of the
// given storage (the EEPROM macro area, or the Flash name table and bodies). The identity bytes are
// the caller's: reset writes them, a start without a mouse leaves them.
void TakeDefaults(const DefaultBuffers& defaults, StorageKind macroStorage,
                  DeviceImage& deviceImage);

enum class ResetOutcome {
  kDone,
  kNoMouse,         // a handle is not open: the caller tells the user, nothing changed
  kNotIdentified,   // the mouse's memory layout is unknown: nothing changed, nothing sent
  kNoDefaultImage,  // the default image lacks its sections: nothing changed, nothing sent
  kWriteFailed,     // the mirror holds the defaults, but the mouse did not take every report
};

// Loads the defaults into the device mirror (sections, identity bytes, and the macro memory of the
// mouse's layout), takes them into DataBuf, and writes everything to the mouse inside the busy
// window. The written checksums are those of the image. Rebuilding the macro lists from the new
// mirror is left to the caller.
ResetOutcome DefaultParameter(device::Protocol& protocol, const device::DeviceLink& link,
                              std::optional<device::MemoryLayout> layout,
                              std::span<const std::uint8_t> defaultImage, DeviceImage& deviceImage,
                              DataBuf& dataBuf, device::BusyWindow& busyWindow);

// The same with the built-in default image.
ResetOutcome DefaultParameter(device::Protocol& protocol, const device::DeviceLink& link,
                              std::optional<device::MemoryLayout> layout, DeviceImage& deviceImage,
                              DataBuf& dataBuf, device::BusyWindow& busyWindow);

}  // namespace corvid::model
