#include "model/profile_file.h"

#include <algorithm>
#include <memory>

#include "common/file_io.h"
#include "device/layout_identification.h"
#include "shell/ascii_case.h"

namespace corvid::model {

using device::MemoryLayout;

namespace {

constexpr std::size_t kProfileOffset = kParameterSectionSize;
constexpr std::size_t kIdentityOffset = kSectionImageSize;
constexpr std::size_t kFillerSize = kProfileHeadSize - kProfileTakenHeadSize;
constexpr std::string_view kProfileExtension = ".bin";

static_assert(kProfileOffset + kProfileSectionSize == kIdentityOffset);
static_assert(kIdentityOffset + kIdentityBytesSize == kProfileTakenHeadSize);
static_assert(kProfileMacroAreaOffset + kMacroImageSize == kProfileFileSizeEeprom);
static_assert(kProfileFlashBodiesOffset + kFlashMacroCount * kFlashMacroBodySize ==
              kProfileFileSizeFlashFlash);

// What a file must hold for the layout: every area that is taken from it.
std::size_t TakenSize(std::optional<MemoryLayout> layout) {
  return layout ? ProfileFileSize(layout) : kProfileTakenHeadSize;
}

template <typename Range>
void Append(std::vector<std::uint8_t>& out, const Range& bytes) {
  out.insert(out.end(), std::begin(bytes), std::end(bytes));
}

}  // namespace

std::size_t ProfileFileSize(std::optional<MemoryLayout> layout) {
  if (!layout) return kProfileHeadSize;
  return *layout == MemoryLayout::LayoutFlashFlash ? kProfileFileSizeFlashFlash
                                                   : kProfileFileSizeEeprom;
}

std::vector<std::uint8_t> EncodeProfileFile(const DeviceImage& image,
                                            std::optional<MemoryLayout> layout) {
  std::vector<std::uint8_t> file;
  file.reserve(ProfileFileSize(layout));
  Append(file, image.sections.ToBytes());
  Append(file, image.IdentityBytes);
  file.insert(file.end(), kFillerSize, 0xFF);
  if (!layout) return file;
  if (*layout == MemoryLayout::LayoutFlashFlash) {
    Append(file, image.FlashMacroNames);
    Append(file, image.FlashMacroBodies);
  } else {
    Append(file, image.MacroImage);
  }
  return file;
}

std::filesystem::path ProfileFilePath(const std::filesystem::path& chosen) {
  const std::string name = chosen.filename().string();
  const bool hasExtension =
      name.size() >= kProfileExtension.size() &&
      shell::EqualsIgnoringAsciiCase(
          std::string_view(name).substr(name.size() - kProfileExtension.size()), kProfileExtension);
  if (hasExtension) return chosen;
  std::filesystem::path path = chosen;
  path += kProfileExtension;
  return path;
}

ProfileSaveResult SaveProfileFile(const std::filesystem::path& chosen, DataBuf& dataBuf,
                                  std::optional<MemoryLayout> layout, DeviceImage& deviceImage) {
  ProfileSaveResult result;
  if (chosen.filename().empty()) {
    result.path = chosen;
    result.message = chosen.string() + ": no file name";
    return result;
  }
  result.path = ProfileFilePath(chosen);

  // Prepared on copies, so that a file that cannot be written leaves both images as they were.
  auto preparedDataBuf = std::make_unique<DataBuf>(dataBuf);
  auto preparedImage = std::make_unique<DeviceImage>(deviceImage);
  const StorageKind macroStorage =
      layout ? device::EffectiveStorageKind(*layout) : StorageKind::Unknown;
  PrepareProfileSave(*preparedDataBuf, macroStorage, *preparedImage);

  const common::FileResult written =
      common::WriteFileAtomically(result.path, EncodeProfileFile(*preparedImage, layout));
  if (!written) {
    result.message = written.error;
    return result;
  }
  dataBuf = *preparedDataBuf;
  deviceImage = *preparedImage;
  result.ok = true;
  return result;
}

ProfileLoadResult LoadProfileFile(std::span<const std::uint8_t> file,
                                  std::optional<MemoryLayout> layout, DeviceImage& deviceImage) {
  // Taking part of a file and keeping the rest of the previous image would write a mix of two
  // configurations into the mouse, so a short file is refused whole.
  if (file.size() < TakenSize(layout)) {
    return {ProfileLoadOutcome::kTooShort, std::string(kProfileLoadError)};
  }
  if (layout) {
    const auto marker = StorageMarkerFor(device::EffectiveStorageKind(*layout));
    if (file[kStorageMarkerOffset] != *marker) {
      return {ProfileLoadOutcome::kWrongMarker, std::string(kProfileLoadError)};
    }
  }

  deviceImage.sections.CopyPrefixFrom(file.first(kSectionImageSize));
  std::ranges::copy(file.subspan(kIdentityOffset, kIdentityBytesSize),
                    deviceImage.IdentityBytes.begin());
  if (!layout) return {ProfileLoadOutcome::kLoaded, {}};
  if (*layout == MemoryLayout::LayoutFlashFlash) {
    std::ranges::copy(file.subspan(kProfileMacroAreaOffset, deviceImage.FlashMacroNames.size()),
                      deviceImage.FlashMacroNames.begin());
    std::ranges::copy(file.subspan(kProfileFlashBodiesOffset, deviceImage.FlashMacroBodies.size()),
                      deviceImage.FlashMacroBodies.begin());
  } else {
    std::ranges::copy(file.subspan(kProfileMacroAreaOffset, deviceImage.MacroImage.size()),
                      deviceImage.MacroImage.begin());
  }
  return {ProfileLoadOutcome::kLoaded, {}};
}

ProfileLoadResult LoadProfileFile(const std::filesystem::path& path,
                                  std::optional<MemoryLayout> layout, DeviceImage& deviceImage) {
  std::string error;
  const auto file = common::ReadFileRange(path, 0, TakenSize(layout), &error);
  if (!file) return {ProfileLoadOutcome::kUnreadable, error};
  return LoadProfileFile(*file, layout, deviceImage);
}

}  // namespace corvid::model
