#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/hid_bus.h"

namespace corvid::device {

// The connection record. The mouse counts as connected exactly when both handles are open.
struct DeviceLink {
  std::uint32_t VendorId = 0;
  std::uint32_t ProductId = 0;
  int FeatureReportLength = 0;          // kept when the link is emptied
  HidHandle CommandHandle = kNoHandle;  // accepted the command probe; carries report 0x40
  HidHandle DataHandle = kNoHandle;     // answered the read-back probe; carries report 0x41

  bool IsConnected() const { return CommandHandle != kNoHandle && DataHandle != kNoHandle; }
};

// Closes the handles the link holds (one handle may hold both roles) and empties it: IDs 0, both
// handles -1. On Linux every handle is an open file descriptor, so none may be dropped unclosed.
void EmptyDeviceLink(HidBus& bus, DeviceLink& link);

struct VidPid {
  std::uint32_t vendorId = 0;
  std::uint32_t productId = 0;

  bool IsEmpty() const { return vendorId == 0 || productId == 0; }
};

// The USB IDs the tool looks for. Entry 0 comes from the built-in default image; entry 1 is never
// filled and stays empty.
struct VidPidTable {
  std::array<VidPid, 2> entries{};

  // From the first six bytes of the default image: vendor at bytes 2..3, product at 4..5, both
  // big-endian. A shorter header leaves the table empty.
  static VidPidTable FromDefaultImage(std::span<const std::uint8_t> image);
};

// The number of present HID interfaces. Each is opened and closed again at once. On Linux an
// interface the user may not open is still present and counted, so that the poll sees a mouse
// arrive even before its udev rule is in place.
int CountHidInterfaces(HidBus& bus);

struct OpenMouseResult {
  // At least one interface with the IDs and 8-byte feature reports was opened.
  bool matched = false;
  // Interfaces with the IDs and 8-byte feature reports that the user may not open (Linux
  // permissions): the mouse is attached but not accessible.
  std::vector<std::string> inaccessiblePaths;
};

// The length every accepted interface has: report ID plus seven payload bytes.
inline constexpr int kMouseFeatureReportLength = 8;

// Whether an interface is one the mouse answers commands on: its IDs and 8-byte feature reports.
constexpr bool IsMouseInterface(const HidInterfaceInfo& info, std::uint32_t vendorId,
                                std::uint32_t productId) {
  return info.featureReportLength == kMouseFeatureReportLength && info.vendorId == vendorId &&
         info.productId == productId;
}

// Opens every interface with the given IDs and 8-byte feature reports and gives the command role
// to the last one that accepts the command probe, the data role to the last one that answers the
// read-back probe. Does not empty the link first; handles it replaces are closed unless they still
// hold the other role, and a handle that ends with no role is closed.
OpenMouseResult OpenMouse(HidBus& bus, DeviceLink& link, std::uint32_t vendorId,
                          std::uint32_t productId);

}  // namespace corvid::device
