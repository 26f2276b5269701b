#include "model/reset.h"

#include <algorithm>
#include <memory>

#include "device/layout_identification.h"
#include "model/default_image.h"
#include "model/image_transfer.h"
#include "shell/resources.h"

namespace corvid::model {

using device::MemoryLayout;

void TakeDefaults(const DefaultBuffers& defaults, StorageKind macroStorage,
                  DeviceImage& deviceImage) {
  deviceImage.sections.parameter.CopyPrefixFrom(defaults.parameterSection);
  deviceImage.sections.profile.CopyPrefixFrom(defaults.profileSection);
  if (macroStorage == StorageKind::I2C) {
    deviceImage.MacroImage = defaults.macroArea;
  } else if (macroStorage == StorageKind::Flash) {
    deviceImage.FlashMacroNames = defaults.flashMacroNames;
    for (std::size_t i = 0; i < kFlashMacroCount; ++i) {
      std::ranges::copy(defaults.flashMacroBodies[i], deviceImage.FlashMacroBody(i).begin());
    }
  }
}

ResetOutcome DefaultParameter(device::Protocol& protocol, const device::DeviceLink& link,
                              std::optional<MemoryLayout> layout,
                              std::span<const std::uint8_t> defaultImage, DeviceImage& deviceImage,
                              DataBuf& dataBuf, device::BusyWindow& busyWindow) {
  if (!link.IsConnected()) return ResetOutcome::kNoMouse;
  // Writing defaults of one macro format into a mouse of unknown layout could scramble its
  // macro memory; an unidentified mouse is left alone.
  if (!layout) return ResetOutcome::kNotIdentified;

  // The macro defaults follow the mouse's storage, which the storage check has already matched
  // with the image's.
  // Both sections and the identity bytes lie in the header.
  if (defaultImage.size() < DefaultImageLayout::kHeaderSize) return ResetOutcome::kNoDefaultImage;
  const StorageKind macroStorage = device::EffectiveStorageKind(*layout);
  auto defaults = std::make_unique<DefaultBuffers>();
  LoadDefaultImage(defaultImage, macroStorage, *defaults);

  busyWindow.Show();
  TakeDefaults(*defaults, macroStorage, deviceImage);
  deviceImage.IdentityBytes = defaults->identityBytes;
  dataBuf.LoadSections(deviceImage.sections);

  const bool written = WriteEverything(protocol, *layout, deviceImage);
  busyWindow.Hide();
  busyWindow.ProcessPendingEvents();
  return written ? ResetOutcome::kDone : ResetOutcome::kWriteFailed;
}

ResetOutcome DefaultParameter(device::Protocol& protocol, const device::DeviceLink& link,
                              std::optional<MemoryLayout> layout, DeviceImage& deviceImage,
                              DataBuf& dataBuf, device::BusyWindow& busyWindow) {
  const auto image = shell::ResourceBytes("Corvid88Data");
  return DefaultParameter(protocol, link, layout, image ? *image : std::span<const std::uint8_t>{},
                          deviceImage, dataBuf, busyWindow);
}

}  // namespace corvid::model
