#include "model/image_transfer.h"

#include <algorithm>
#include <span>
#include <vector>

namespace corvid::model {
namespace {

// What a full read or write moves, for the busy window's progress.
constexpr std::size_t kSectionsBytes = kParameterSectionSize + kProfileSectionSize;

std::size_t MacroMemoryBytes(device::MemoryLayout layout, const DeviceImage& image) {
  if (layout != device::MemoryLayout::LayoutFlashFlash) return image.MacroImage.size();
  return image.FlashMacroNames.size() + kFlashMacroCount * kFlashMacroBodySize;
}

}  // namespace

using device::MemoryLayout;

MacroAreaAddresses MacroAreaAddressesOf(MemoryLayout layout) {
  return layout == MemoryLayout::LayoutI2C ? MacroAreaAddresses{0x0200, 0x0300}
                                           : MacroAreaAddresses{0x4000, 0x4100};
}

std::optional<std::array<std::uint8_t, kIdentityBytesSize>> ReadIdentityBytes(
    device::Protocol& protocol, MemoryLayout layout) {
  std::array<std::uint8_t, kIdentityBytesSize> identity{};
  if (!protocol.ReadMemory(device::IdentityAddress(layout), identity)) return std::nullopt;
  return identity;
}

bool ReadEverything(device::Protocol& protocol, MemoryLayout layout, DeviceImage& image) {
  const device::ProgressPlan plan(protocol, kSectionsBytes + MacroMemoryBytes(layout, image));
  bool accepted = protocol.ReadSection(0, 0, image.sections.parameter.Data());
  accepted &= protocol.ReadSection(1, 0, image.sections.profile.Data());

  if (layout != MemoryLayout::LayoutFlashFlash) {
    // The EEPROM macro area is taken over as it arrives.
    const MacroAreaAddresses area = MacroAreaAddressesOf(layout);
    const std::span<std::uint8_t> macros(image.MacroImage);
    accepted &= protocol.ReadMemoryBlock(area.first, macros.first(256));
    accepted &= protocol.ReadMemoryBlock(area.second, macros.subspan(256));
    return accepted;
  }

  // A Flash body or the name table replaces the mirror only when its read was accepted.
  std::vector<std::uint8_t> block(kFlashMacroBodySize);
  for (std::size_t i = 0; i < kFlashMacroCount; ++i) {
    if (protocol.ReadMemoryBlock(image.FlashMacroAddressTable[i], block)) {
      std::ranges::copy(block, image.FlashMacroBody(i).begin());
    } else {
      accepted = false;
    }
  }
  std::vector<std::uint8_t> names(image.FlashMacroNames.size());
  if (protocol.ReadMemoryBlock(kFlashMacroNameTableAddress, names)) {
    std::ranges::copy(names, image.FlashMacroNames.begin());
  } else {
    accepted = false;
  }
  return accepted;
}

namespace {

bool WriteMacroMemory(device::Protocol& protocol, MemoryLayout layout, const DeviceImage& image) {
  bool accepted = true;
  if (layout != MemoryLayout::LayoutFlashFlash) {
    const MacroAreaAddresses area = MacroAreaAddressesOf(layout);
    const std::span<const std::uint8_t> macros(image.MacroImage);
    accepted &= protocol.WriteMemory(area.first, macros.first(256));
    accepted &= protocol.WriteMemory(area.second, macros.subspan(256));
    return accepted;
  }
  const std::span<const std::uint8_t> names(image.FlashMacroNames);
  accepted &= protocol.WriteMemory(kFlashMacroNameTableAddress, names.first(256));
  accepted &= protocol.WriteMemory(kFlashMacroNameTableAddress + 0x100, names.subspan(256));
  for (std::size_t i = 0; i < kFlashMacroCount; ++i) {
    accepted &= protocol.WriteMemory(image.FlashMacroAddressTable[i], image.FlashMacroBody(i));
  }
  return accepted;
}

}  // namespace

bool WriteEverything(device::Protocol& protocol, MemoryLayout layout, const DeviceImage& image) {
  const device::ProgressPlan plan(
      protocol, kSectionsBytes + MacroMemoryBytes(layout, image) + image.IdentityBytes.size());
  bool accepted = protocol.WriteSection(0, 0, image.sections.parameter.Data());
  accepted &= protocol.WriteSection(1, 0, image.sections.profile.Data());
  accepted &= WriteMacroMemory(protocol, layout, image);
  accepted &= protocol.WriteMemory(device::IdentityAddress(layout), image.IdentityBytes);
  return accepted;
}

bool WriteMacros(device::Protocol& protocol, MemoryLayout layout, const DeviceImage& image) {
  const device::ProgressPlan plan(
      protocol, image.sections.profile.Data().size() + MacroMemoryBytes(layout, image));
  bool accepted = protocol.WriteSection(1, 0, image.sections.profile.Data());
  accepted &= WriteMacroMemory(protocol, layout, image);
  return accepted;
}

}  // namespace corvid::model
