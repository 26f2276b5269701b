#include "model/reset.h"

#include <algorithm>
#include <memory>

#include "device/layout_identification.h"
#include "model/default_image.h"
#include "model/image_transfer.h"
#include "shell/resources.h"

namespace corvid::model {

using device::MemoryLayout;

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
  const StorageKind macroStorage = device::EffectiveStorageKind(*layout);
  auto defaults = std::make_unique<DefaultBuffers>();
  const DefaultImageLoad load = LoadDefaultImage(defaultImage, macroStorage, *defaults);
  const bool sectionsRead = std::ranges::none_of(load.areasNotRead, [](const std::string& area) {
    return area == "parameter section" || area == "profile section" || area == "identity bytes";
  });
  if (!load.found || !sectionsRead) return ResetOutcome::kNoDefaultImage;

  busyWindow.Show();
  deviceImage.sections.parameter.CopyPrefixFrom(defaults->parameterSection);
  deviceImage.sections.profile.CopyPrefixFrom(defaults->profileSection);
  deviceImage.IdentityBytes = defaults->identityBytes;
  if (*layout == MemoryLayout::LayoutFlashFlash) {
    deviceImage.FlashMacroNames = defaults->flashMacroNames;
    for (std::size_t i = 0; i < kFlashMacroCount; ++i) {
      std::ranges::copy(defaults->flashMacroBodies[i], deviceImage.FlashMacroBody(i).begin());
    }
  } else {
    deviceImage.MacroImage = defaults->macroArea;
  }
  dataBuf.LoadSections(deviceImage.sections);

  WriteEverything(protocol, *layout, deviceImage);
  busyWindow.Hide();
  busyWindow.ProcessPendingEvents();
  return ResetOutcome::kDone;
}

ResetOutcome DefaultParameter(device::Protocol& protocol, const device::DeviceLink& link,
                              std::optional<MemoryLayout> layout, DeviceImage& deviceImage,
                              DataBuf& dataBuf, device::BusyWindow& busyWindow) {
  const auto image = shell::ResourceBytes("Corvid88Data");
  return DefaultParameter(protocol, link, layout, image ? *image : std::span<const std::uint8_t>{},
                          deviceImage, dataBuf, busyWindow);
}

}  // namespace corvid::model
