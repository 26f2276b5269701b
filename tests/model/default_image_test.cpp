#include "model/default_image.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "shell/resources.h"

namespace corvid::model {
namespace {

using Layout = DefaultImageLayout;

std::span<const std::uint8_t> BuiltInImage() {
  const auto image = shell::ResourceBytes("Corvid88Data");
  return image ? *image : std::span<const std::uint8_t>{};
}

std::uint8_t SectionChecksum(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0U) ^ 0x5A);
}

TEST(DefaultImageTest, BuiltImageCarriesTheBuildSettingsAndValidChecksums) {
  const std::span<const std::uint8_t> image = BuiltInImage();
  ASSERT_EQ(image.size(), Layout::kShippedSize);

  const std::optional<DefaultImageHeader> header = ReadDefaultImageHeader();
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->vendorId, CORVID_VENDOR_ID);
  EXPECT_EQ(header->productId, CORVID_PRODUCT_ID);
  EXPECT_NE(header->imageStorageKind, device::StorageKind::Unknown);
  EXPECT_EQ(header->identityBytes, (std::array<std::uint8_t, 2>{0xFF, 0xFF}));

  EXPECT_EQ(image[103], SectionChecksum(image.subspan(0, 103)));
  EXPECT_EQ(image[248], 0xBE);
  EXPECT_EQ(image[248], SectionChecksum(image.subspan(104, 144)));
  // Product string, a default slot, filler and the empty macro area.
  EXPECT_EQ(std::string(image.begin() + 87, image.begin() + 103), "HID Gaming mouse");
  EXPECT_EQ(image[104], 0x01);
  EXPECT_EQ(image[251], 0xFF);
  EXPECT_TRUE(std::all_of(image.begin() + 256, image.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(DefaultImageTest, HeaderReadsBigEndianIdsAndTheStorageMarker) {
  std::vector<std::uint8_t> image(Layout::kHeaderSize, 0);
  image[0] = 0xF0;
  image[2] = 0x12;
  image[3] = 0x34;
  image[4] = 0xAB;
  image[5] = 0xCD;
  image[249] = 0x05;
  image[250] = 0x06;
  const auto header = ReadDefaultImageHeader(image);
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->imageStorageKind, device::StorageKind::Flash);
  EXPECT_EQ(header->vendorId, 0x1234);
  EXPECT_EQ(header->productId, 0xABCD);
  EXPECT_EQ(header->identityBytes, (std::array<std::uint8_t, 2>{0x05, 0x06}));

  image[0] = 0x00;
  EXPECT_EQ(ReadDefaultImageHeader(image)->imageStorageKind, device::StorageKind::Unknown);
  image.pop_back();
  EXPECT_FALSE(ReadDefaultImageHeader(image).has_value());
}

TEST(DefaultImageTest, LoadFillsSectionsIdentityAndTheMacroAreaOfTheStorageKind) {
  std::vector<std::uint8_t> image(Layout::kShippedSize + Layout::kFlashBodySize * 2);
  std::iota(image.begin(), image.end(), std::uint8_t{0});

  DefaultBuffers i2c;
  EXPECT_TRUE(LoadDefaultImage(image, device::StorageKind::I2C, i2c).areasNotRead.empty());
  EXPECT_EQ(i2c.parameterSection[0], 0);
  EXPECT_EQ(i2c.parameterSection[103], 103);
  EXPECT_EQ(i2c.profileSection[0], 104);
  EXPECT_EQ(i2c.identityBytes, (std::array<std::uint8_t, 2>{249, 250}));
  EXPECT_EQ(i2c.macroArea[0], 0);  // offset 256
  EXPECT_EQ(i2c.macroArea[511], 255);
  EXPECT_EQ(i2c.flashMacroNames[1], 0);  // not the Flash areas

  DefaultBuffers flash;
  const DefaultImageLoad load = LoadDefaultImage(image, device::StorageKind::Flash, flash);
  EXPECT_EQ(flash.flashMacroNames[1], 1);
  EXPECT_EQ(flash.flashMacroBodies[1][1], 1);  // offset 768 + 256 + 1
  EXPECT_EQ(flash.macroArea[1], 0);
  // Bodies 2..31 lie past the end of this image.
  EXPECT_EQ(load.areasNotRead.size(), 30U);
  EXPECT_EQ(load.areasNotRead.front(), "flash macro body 2");
}

TEST(DefaultImageTest, AreaPastTheEndOfTheImageLeavesTheTargetAsItWas) {
  // Ends inside the identity bytes: both sections are read, nothing after them.
  std::vector<std::uint8_t> image(Layout::kIdentityOffset + 1, 0x11);
  DefaultBuffers buffers;
  buffers.identityBytes = {0x77, 0x77};
  buffers.macroArea.fill(0x77);
  const DefaultImageLoad load = LoadDefaultImage(image, device::StorageKind::I2C, buffers);
  EXPECT_EQ(load.areasNotRead, (std::vector<std::string>{"identity bytes", "macro area"}));
  EXPECT_EQ(buffers.profileSection[144], 0x11);
  EXPECT_EQ(buffers.identityBytes, (std::array<std::uint8_t, 2>{0x77, 0x77}));
  EXPECT_EQ(buffers.macroArea[0], 0x77);
}

TEST(DefaultImageTest, ShippedFlashImageLeavesTheBodiesZero) {
  DefaultBuffers buffers;
  const DefaultImageLoad load = LoadDefaultImage(device::StorageKind::Flash, buffers);
  EXPECT_TRUE(load.found);
  EXPECT_EQ(load.areasNotRead.size(), Layout::kFlashBodyCount);
  EXPECT_EQ(buffers.parameterSection[87], 'H');
  EXPECT_EQ(buffers.flashMacroBodies[31][255], 0);
}

}  // namespace
}  // namespace corvid::model
