#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/storage_kind.h"

namespace corvid::model {

// The default device image Corvid88Data: the build's default configuration of the mouse, the USB
// IDs the tool looks for and the storage kind it serves.
struct DefaultImageLayout {
  static constexpr std::size_t kParameterOffset = 0;
  static constexpr std::size_t kParameterSize = 104;
  static constexpr std::size_t kProfileOffset = 104;
  static constexpr std::size_t kProfileSize = 145;
  static constexpr std::size_t kIdentityOffset = 249;
  static constexpr std::size_t kIdentitySize = 2;
  static constexpr std::size_t kHeaderSize = 251;
  static constexpr std::size_t kMacroAreaOffset = 256;
  static constexpr std::size_t kMacroAreaSize = 512;  // I2C macro block, or the Flash name table
  static constexpr std::size_t kFlashBodiesOffset = 768;
  static constexpr std::size_t kFlashBodyCount = 32;
  static constexpr std::size_t kFlashBodySize = 256;
  static constexpr std::size_t kShippedSize = 768;  // the Flash bodies are left out
};

// A copy of `image` for a build that serves mice with `macroStorage` (I2C or Flash): its storage
// marker set accordingly, everything else as it was.
std::vector<std::uint8_t> DefaultImageFor(std::span<const std::uint8_t> image,
                                          device::StorageKind macroStorage);

// The first 251 bytes, read once at start-up.
struct DefaultImageHeader {
  std::uint8_t storageMarker = 0;
  // From the marker; Unknown for a marker other than 0xE0 and 0xF0 (then every mouse is accepted).
  device::StorageKind imageStorageKind = device::StorageKind::Unknown;
  std::uint16_t vendorId = 0;   // bytes 2..3, big-endian: the USB IDs of the mouse to look for
  std::uint16_t productId = 0;  // bytes 4..5
  std::array<std::uint8_t, DefaultImageLayout::kIdentitySize> identityBytes{};
};

// The header of image, or nothing when image is shorter than the header.
std::optional<DefaultImageHeader> ReadDefaultImageHeader(std::span<const std::uint8_t> image);
// The header of the built-in Corvid88Data.
std::optional<DefaultImageHeader> ReadDefaultImageHeader();

// What loading the default image fills.
struct DefaultBuffers {
  std::array<std::uint8_t, DefaultImageLayout::kParameterSize> parameterSection{};
  std::array<std::uint8_t, DefaultImageLayout::kProfileSize> profileSection{};
  std::array<std::uint8_t, DefaultImageLayout::kIdentitySize> identityBytes{};
  // Filled when the image storage kind is I2C: the 512-byte macro block.
  std::array<std::uint8_t, DefaultImageLayout::kMacroAreaSize> macroArea{};
  // Filled when it is Flash: the name table, 32 entries of 16 bytes, and the 32 bodies.
  std::array<std::uint8_t, DefaultImageLayout::kMacroAreaSize> flashMacroNames{};
  std::array<std::array<std::uint8_t, DefaultImageLayout::kFlashBodySize>,
             DefaultImageLayout::kFlashBodyCount>
      flashMacroBodies{};
};

struct DefaultImageLoad {
  bool found = false;  // false: no image at all, nothing was filled
  // The areas that lie (partly) past the end of the image and were left as they were, for example
  // "flash macro body 3". The shipped Flash image carries no bodies, so all 32 are named then.
  std::vector<std::string> areasNotRead;
};

// Fills target from image: both sections, the identity bytes and, by imageStorageKind, the I2C
// macro area or the Flash name table and bodies. An area that does not lie wholly inside the image
// is not read and keeps its content.
DefaultImageLoad LoadDefaultImage(std::span<const std::uint8_t> image,
                                  device::StorageKind imageStorageKind, DefaultBuffers& target);
// From the built-in Corvid88Data.
DefaultImageLoad LoadDefaultImage(device::StorageKind imageStorageKind, DefaultBuffers& target);

}  // namespace corvid::model
