#include "device/layout_identification.h"

#include <array>

namespace corvid::device {

Identification IdentifyLayout(Protocol& protocol) {
  Identification result;
  result.info = protocol.DeviceInfoQuery();
  if (!result.info) return result;

  const std::uint8_t controller = result.info->ControllerKindByte();
  if (controller == kControllerI2C) {
    result.ControllerKind = StorageKind::I2C;
    result.layout = MemoryLayout::LayoutI2C;
  } else if (controller == kControllerFlash) {
    result.ControllerKind = StorageKind::Flash;
    std::array<std::uint8_t, 1> byte6{};
    // A refused read would leave 0xFF, which looks like Flash macro storage: not a layout.
    if (!protocol.ReadBankBytes(0, 6, byte6)) return result;
    const int storageBits = byte6[0] >> 6;
    if (storageBits == kMacroStorageI2CBits) {
      result.MacroStorageKind = StorageKind::I2C;
      result.layout = MemoryLayout::LayoutFlashI2C;
    } else if (storageBits == kMacroStorageFlashBits) {
      result.MacroStorageKind = StorageKind::Flash;
      result.layout = MemoryLayout::LayoutFlashFlash;
    }
  }
  return result;
}

}  // namespace corvid::device
