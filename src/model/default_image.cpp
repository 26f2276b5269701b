#include "model/default_image.h"

#include <algorithm>
#include <string>

#include "shell/resources.h"

namespace corvid::model {
namespace {

constexpr std::string_view kResourceName = "Corvid88Data";

// Copies the area at offset into target when the whole area lies inside image; a read past the end
// delivers nothing.
template <std::size_t N>
void ReadArea(std::span<const std::uint8_t> image, std::size_t offset,
              std::array<std::uint8_t, N>& target, std::string name, DefaultImageLoad& load) {
  if (offset > image.size() || image.size() - offset < N) {
    load.areasNotRead.push_back(std::move(name));
    return;
  }
  std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), N, target.begin());
}

}  // namespace

std::vector<std::uint8_t> DefaultImageFor(std::span<const std::uint8_t> image,
                                          device::StorageKind macroStorage) {
  std::vector<std::uint8_t> marked(image.begin(), image.end());
  const auto marker = device::StorageMarkerFor(macroStorage);
  if (!marked.empty() && marker) marked[0] = *marker;
  return marked;
}

std::optional<DefaultImageHeader> ReadDefaultImageHeader(std::span<const std::uint8_t> image) {
  if (image.size() < DefaultImageLayout::kHeaderSize) {
    return std::nullopt;
  }
  DefaultImageHeader header;
  header.storageMarker = image[0];
  header.imageStorageKind = device::StorageKindOfMarker(image[0]);
  header.vendorId = static_cast<std::uint16_t>(image[2] << 8 | image[3]);
  header.productId = static_cast<std::uint16_t>(image[4] << 8 | image[5]);
  std::copy_n(image.begin() + DefaultImageLayout::kIdentityOffset,
              DefaultImageLayout::kIdentitySize, header.identityBytes.begin());
  return header;
}

std::optional<DefaultImageHeader> ReadDefaultImageHeader() {
  const auto image = shell::ResourceBytes(kResourceName);
  return image ? ReadDefaultImageHeader(*image) : std::nullopt;
}

DefaultImageLoad LoadDefaultImage(std::span<const std::uint8_t> image,
                                  device::StorageKind imageStorageKind, DefaultBuffers& target) {
  using Layout = DefaultImageLayout;
  DefaultImageLoad load;
  load.found = true;
  ReadArea(image, Layout::kParameterOffset, target.parameterSection, "parameter section", load);
  ReadArea(image, Layout::kProfileOffset, target.profileSection, "profile section", load);
  ReadArea(image, Layout::kIdentityOffset, target.identityBytes, "identity bytes", load);
  if (imageStorageKind == device::StorageKind::I2C) {
    ReadArea(image, Layout::kMacroAreaOffset, target.macroArea, "macro area", load);
  } else if (imageStorageKind == device::StorageKind::Flash) {
    ReadArea(image, Layout::kMacroAreaOffset, target.flashMacroNames, "flash macro names", load);
    for (std::size_t i = 0; i < Layout::kFlashBodyCount; ++i) {
      ReadArea(image, Layout::kFlashBodiesOffset + Layout::kFlashBodySize * i,
               target.flashMacroBodies[i], "flash macro body " + std::to_string(i), load);
    }
  }
  return load;
}

DefaultImageLoad LoadDefaultImage(device::StorageKind imageStorageKind, DefaultBuffers& target) {
  const auto image = shell::ResourceBytes(kResourceName);
  if (!image) {
    return DefaultImageLoad{};
  }
  return LoadDefaultImage(*image, imageStorageKind, target);
}

}  // namespace corvid::model
