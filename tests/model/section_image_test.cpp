#include "model/section_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/device_image.h"
#include "model/section_fields.h"

namespace corvid::model {
namespace {

// The shipped default sections with vendor 0x1209, product 0x0001 and their parameter checksum.
constexpr std::array<std::uint8_t, kSectionImageSize> kShippedSections = {
    0xE0, 0x31, 0x12, 0x09, 0x00, 0x01, 0xBF, 0x7F, 0x7F, 0xCF, 0xAF, 0x00, 0x00, 0x45, 0x02, 0xEF,
    0x10, 0x70, 0x10, 0x40, 0x10, 0xFF, 0x00, 0x48, 0x00, 0x03, 0x03, 0x48, 0x96, 0xFA, 0x20, 0x03,
    0x02, 0x01, 0xEF, 0x15, 0x2F, 0xF2, 0x75, 0x43, 0x65, 0x98, 0xBA, 0x00, 0x00, 0x00, 0x00, 0xFF,
    0x00, 0x64, 0x00, 0x64, 0x0C, 0x0C, 0x0F, 0x00, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x0F, 0x0F,
    0x0F, 0x00, 0x0F, 0x00, 0x0F, 0x00, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0xF0, 0x00, 0xF0, 0xF0,
    0x0F, 0x0F, 0x70, 0xFF, 0xF0, 0xFF, 0xF7, 0x48, 0x49, 0x44, 0x20, 0x47, 0x61, 0x6D, 0x69, 0x6E,
    0x67, 0x20, 0x6D, 0x6F, 0x75, 0x73, 0x65, 0x00, 0x01, 0x01, 0x00, 0x00, 0x09, 0x01, 0x00, 0x00,
    0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00, 0x0D, 0x00, 0x00, 0x00,
    0x01, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0x00, 0x00, 0x07, 0x01, 0x00, 0x00,
    0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x09, 0x01, 0x00, 0x00,
    0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00, 0x0D, 0x00, 0x00, 0x00,
    0x01, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0x00, 0x00, 0x07, 0x01, 0x00, 0x00,
    0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x09, 0x01, 0x00, 0x00,
    0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00, 0x0D, 0x00, 0x00, 0x00,
    0x01, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x04, 0x00, 0x00, 0x07, 0x01, 0x00, 0x00,
    0x09, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xBE};

SectionImage ShippedImage() {
  SectionImage image;
  image.CopyPrefixFrom(kShippedSections);
  return image;
}

TEST(SectionImageTest, ShippedDefaultsReadThroughTheNamedFields) {
  const SectionImage image = ShippedImage();
  const ParameterSection& p = image.parameter;

  EXPECT_EQ(p.StorageMarker(), 0xE0);
  EXPECT_EQ(p.FireKey1RepeatMinusOne(), 1);
  EXPECT_EQ(p.FireKey2RepeatMinusOne(), 3);
  EXPECT_EQ(p.UsbVendorId(), 0x1209);
  EXPECT_EQ(p.UsbProductId(), 0x0001);
  EXPECT_EQ(p.ReportRate(), UsbReportRate::Hz1000);
  EXPECT_EQ(p.MacroStorageKind(), StorageKind::I2C);
  EXPECT_EQ(p.ActiveLayer(), 1);
  EXPECT_EQ(p.LedFamily(), LedFamilyKind::NT);
  EXPECT_EQ(p.LedMode(), 2);
  EXPECT_EQ(p.DpiLevelCountNibble() + 1, 8);
  EXPECT_EQ(p.CurrentDpiLevelNibble(), 5);

  const std::vector<int> expectedDpi = {800, 1000, 1200, 1600, 2400, 3200, 4800, 6000};
  std::vector<int> dpi;
  for (int level = 1; level <= kDpiLevelCount; ++level) {
    dpi.push_back(kDpiStepValues.at(static_cast<std::size_t>(p.DpiStep(level))));
  }
  EXPECT_EQ(dpi, expectedDpi);

  EXPECT_EQ(p.LedStepTime(), 12);
  EXPECT_EQ(p.LedStepTimeCopy(), 12);
  EXPECT_EQ(p.LedStep(), 3);

  const std::array<ColourChannels, kLedColourCount> ledColours = {
      {{15, 0, 0}, {0, 15, 0}, {0, 0, 15}, {15, 15, 0}, {15, 0, 15}, {0, 15, 15}, {15, 15, 15}}};
  for (int n = 1; n <= kLedColourCount; ++n) EXPECT_EQ(p.LedColour(n), ledColours[n - 1]) << n;

  const std::array<ColourChannels, kDpiLevelCount> dpiColours = {{{15, 0, 0},
                                                                  {0, 15, 0},
                                                                  {0, 0, 15},
                                                                  {15, 15, 0},
                                                                  {15, 0, 15},
                                                                  {0, 7, 15},
                                                                  {0, 15, 7},
                                                                  {15, 15, 15}}};
  for (int level = 1; level <= kDpiLevelCount; ++level) {
    EXPECT_EQ(p.DpiColour(level), dpiColours[level - 1]) << level;
  }

  EXPECT_EQ(p.ProductString(), "HID Gaming mouse");

  // All three layers carry the same buttons.
  const std::array<SlotBytes, kSlotsPerLayer> slots = {{{0x01, 0x01, 0, 0},
                                                        {0x09, 0x01, 0, 0},
                                                        {0x01, 0x08, 0, 0},
                                                        {0, 0, 0, 0},
                                                        {0x01, 0x02, 0, 0},
                                                        {0x0D, 0, 0, 0},
                                                        {0x01, 0x10, 0, 0},
                                                        {0, 0, 0, 0},
                                                        {0x01, 0x04, 0, 0},
                                                        {0x07, 0x01, 0, 0},
                                                        {0x09, 0, 0, 0},
                                                        {0, 0, 0, 0}}};
  for (int layer = 0; layer < kKeyLayerCount; ++layer) {
    for (int slot = 1; slot <= kSlotsPerLayer; ++slot) {
      EXPECT_EQ(image.profile.Slot(layer, slot), slots[slot - 1]) << layer << "/" << slot;
    }
  }
}

TEST(SectionImageTest, ChecksumsAreTheByteSumXor5A) {
  SectionImage image = ShippedImage();
  EXPECT_EQ(image.profile.ComputedChecksum(), 0xBE);
  EXPECT_TRUE(image.profile.ChecksumHolds());

  // The sum wraps at 8 bits before the XOR.
  const std::array<std::uint8_t, 3> bytes = {0xFF, 0x02, 0x00};
  EXPECT_EQ(SectionChecksum(bytes), 0x01 ^ 0x5A);
  EXPECT_EQ(SectionChecksum({}), 0x5A);

  // The shipped parameter checksum is left to the build; recomputing makes it hold and touches
  // nothing else.
  EXPECT_FALSE(image.parameter.ChecksumHolds());
  const auto before = image.ToBytes();
  image.parameter.RecomputeChecksum();
  EXPECT_TRUE(image.parameter.ChecksumHolds());
  const auto after = image.ToBytes();
  for (std::size_t i = 0; i < kSectionImageSize; ++i) {
    if (i != kParameterChecksumOffset) {
      EXPECT_EQ(after[i], before[i]) << i;
    }
  }

  image.profile.SetSlot(2, 12, {0x02, 0x01, 0x04, 0x00});
  EXPECT_FALSE(image.profile.ChecksumHolds());
  // The shipped sum is 0xBE ^ 0x5A = 0xE4; the new slot adds 7.
  EXPECT_EQ(image.profile.RecomputeChecksum().ProfileChecksum(), 0xEB ^ 0x5A);
}

TEST(SectionImageTest, ReportRateChangesOnlyBits5And4) {
  struct Case {
    std::uint8_t before;
    UsbReportRate rate;
    std::uint8_t after;
  };
  const Case cases[] = {
      {0xBF, UsbReportRate::Hz500, 0xAF},
      {0xBF, UsbReportRate::Hz125, 0x8F},
      {0x00, UsbReportRate::Hz1000, 0x30},
      {0xCA, UsbReportRate::Hz250, 0xDA},
  };
  for (const Case& c : cases) {
    ParameterSection p;
    p.SetReportRateByte(c.before);
    p.SetReportRate(c.rate);
    EXPECT_EQ(p.ReportRateByte(), c.after) << int{c.before};
    EXPECT_EQ(p.ReportRate(), c.rate);
  }
  EXPECT_EQ(ReportRateHz(UsbReportRate::Hz125), 125);
  EXPECT_EQ(ReportRateHz(UsbReportRate::Hz1000), 1000);
}

TEST(SectionImageTest, MacroStorageBitsOfAFlashController) {
  EXPECT_EQ(MacroStorageKindOf(0x3F), StorageKind::Unknown);
  EXPECT_EQ(MacroStorageKindOf(0x7F), StorageKind::Unknown);
  EXPECT_EQ(MacroStorageKindOf(0xBF), StorageKind::I2C);
  EXPECT_EQ(MacroStorageKindOf(0x80), StorageKind::I2C);
  EXPECT_EQ(MacroStorageKindOf(0xC0), StorageKind::Flash);
}

TEST(SectionImageTest, LedModeByteKeepsFamilyAndFirmwareBits) {
  EXPECT_EQ(LedFamilyOf(0x00), LedFamilyKind::RGB);
  EXPECT_EQ(LedFamilyOf(0x41), LedFamilyKind::Sync);
  EXPECT_EQ(LedFamilyOf(0x80), LedFamilyKind::NT);
  EXPECT_EQ(LedFamilyOf(0xC0), LedFamilyKind::NT);
  EXPECT_EQ(LedFamilyText(LedFamilyKind::Sync), "Sync");

  EXPECT_EQ(WithLedMode(0xF2, 5), 0xF5);
  EXPECT_EQ(WithLedMode(0xF2, 0), 0xF0);
  EXPECT_EQ(WithLedMode(0x41, 2), 0x42);

  ParameterSection p;
  p.SetLedModeByte(0x7A);
  p.SetLedMode(1);
  EXPECT_EQ(p.LedModeByte(), 0x71);
}

TEST(SectionImageTest, DpiLevelsAndStepsArePackedInNibbles) {
  ParameterSection p;
  p.SetDpiLevelByte(0x31);
  EXPECT_EQ(p.DpiLevelCountNibble() + 1, 4);
  EXPECT_EQ(p.CurrentDpiLevelNibble(), 1);
  EXPECT_EQ(DpiLevelByteOf(8, 5), 0x75);
  EXPECT_EQ(DpiLevelByteOf(1, 0), 0x00);

  // Level 3 in the low nibble of byte 40, level 4 in its high nibble; nothing else moves.
  std::vector<std::uint8_t> before(p.Data().begin(), p.Data().end());
  p.SetDpiStep(3, 2);
  p.SetDpiStep(4, 11);
  EXPECT_EQ(p.Data()[40], 0xB2);
  EXPECT_EQ(DpiStepPairByte(2, 11), 0xB2);
  EXPECT_EQ(p.DpiStep(3), 2);
  EXPECT_EQ(p.DpiStep(4), 11);
  before[40] = 0xB2;
  EXPECT_TRUE(std::equal(before.begin(), before.end(), p.Data().begin()));

  p.SetDpiStep(8, kNoDpiStep);
  EXPECT_EQ(p.Data()[42], 0xF0);

  for (int level = 1; level <= kDpiLevelCount; ++level) {
    EXPECT_EQ(DpiStepByteOffset(level), 39U + static_cast<unsigned>(level - 1) / 2) << level;
  }
}

TEST(SectionImageTest, DpiColourPairsShareThreeBytes) {
  ParameterSection p;
  p.SetDpiColour(4, {0xF, 0x8, 0x1});
  p.SetDpiColour(3, {0x2, 0x0, 0xE});
  EXPECT_EQ(DpiColourByteOffset(3), 78U);
  EXPECT_EQ(p.Data()[78], 0xF2);
  EXPECT_EQ(p.Data()[79], 0x80);
  EXPECT_EQ(p.Data()[80], 0x1E);
  EXPECT_EQ(p.DpiColour(4), (ColourChannels{0xF, 0x8, 0x1}));
  EXPECT_EQ(p.DpiColour(3), (ColourChannels{0x2, 0x0, 0xE}));
  EXPECT_EQ(p.DpiColour(2), ColourChannels{});
  EXPECT_EQ(p.DpiColour(5), ColourChannels{});
}

TEST(SectionImageTest, LedStepTimeWritesBothBytesAndReadsBackAsAStep) {
  ParameterSection p;
  p.SetLedStepTime(LedStepTimeOfStep(7));
  EXPECT_EQ(p.LedStepTimeCopy(), 35);
  EXPECT_EQ(p.LedStepTime(), 35);
  EXPECT_EQ(p.LedStep(), 7);

  const std::pair<std::uint8_t, int> readBack[] = {
      {0, 1}, {5, 1}, {6, 2}, {10, 2}, {14, 3}, {45, 9}, {46, 10}, {50, 10}, {51, 10}, {255, 10}};
  for (const auto& [time, step] : readBack) EXPECT_EQ(LedStepOfTime(time), step) << int{time};
}

TEST(SectionImageTest, LedColourIsThreeWholeBytes) {
  ParameterSection p;
  p.SetLedColour(7, {0x10, 0x0F, 0xFF});
  EXPECT_EQ(LedColourByteOffset(7), 72U);
  EXPECT_EQ(p.Data()[72], 0x10);
  EXPECT_EQ(p.Data()[74], 0xFF);
  EXPECT_EQ(p.LedColour(7), (ColourChannels{0x10, 0x0F, 0xFF}));
  EXPECT_EQ(p.Data()[75], 0x00);  // the DPI colours start right behind
}

TEST(SectionImageTest, FireRepeatPairHoldsKey1LowKey2High) {
  EXPECT_EQ(FireRepeatPairByte(1, 2), 0x21);
  ParameterSection p;
  p.SetFireRepeatPair(0x3E);
  EXPECT_EQ(p.FireKey1RepeatMinusOne(), 14);
  EXPECT_EQ(p.FireKey2RepeatMinusOne(), 3);
}

TEST(SectionImageTest, SlotsSitAt48PerLayerAnd4PerSlot) {
  EXPECT_EQ(KeySlotOffset(0, 1), 0U);
  EXPECT_EQ(KeySlotOffset(0, 2), 4U);
  EXPECT_EQ(KeySlotOffset(1, 1), 48U);
  EXPECT_EQ(KeySlotOffset(2, 12), 140U);

  ProfileSection profile;
  profile.SetSlot(1, 3, {0x06, 0x12, 0x00, 0x14});
  EXPECT_EQ(profile.Data()[56], 0x06);
  EXPECT_EQ(profile.Data()[59], 0x14);
  EXPECT_EQ(profile.Slot(1, 3), (SlotBytes{0x06, 0x12, 0x00, 0x14}));
  EXPECT_EQ(profile.Slot(0, 3), SlotBytes{});
}

TEST(SectionImageTest, ShortSourcesFillOnlyWhatTheyHold) {
  SectionImage image = ShippedImage();
  const std::vector<std::uint8_t> shortSource(200, 0xAA);  // 104 parameter + 96 profile bytes
  image.CopyPrefixFrom(shortSource);
  const auto bytes = image.ToBytes();
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.begin() + 200, [](auto b) { return b == 0xAA; }));
  EXPECT_TRUE(std::equal(bytes.begin() + 200, bytes.end(), kShippedSections.begin() + 200));

  ParameterSection p;
  const std::array<std::uint8_t, 3> three = {1, 2, 3};
  EXPECT_EQ(p.CopyPrefixFrom(three), 3U);
  EXPECT_EQ(ShippedImage().ToBytes(), kShippedSections);
}

TEST(DeviceImageTest, FlashMacroEntriesAndAddresses) {
  DeviceImage image;
  EXPECT_EQ(image.FlashMacroAddressTable[0], 0x4000);
  EXPECT_EQ(image.FlashMacroAddressTable[1], 0x4100);
  EXPECT_EQ(image.FlashMacroAddressTable[31], 0x5F00);
  EXPECT_EQ(image.IdentityBytes, (std::array<std::uint8_t, 2>{0, 0}));

  image.FlashMacroBody(31)[0] = 0x42;
  image.FlashMacroName(1)[15] = 0x24;
  EXPECT_EQ(image.FlashMacroBodies[31 * 256], 0x42);
  EXPECT_EQ(image.FlashMacroNames[31], 0x24);
  EXPECT_EQ(image.FlashMacroBody(0).size(), 256U);
  EXPECT_TRUE(image.FlashMacroBody(32).empty());
  EXPECT_TRUE(std::as_const(image).FlashMacroName(32).empty());
}

}  // namespace
}  // namespace corvid::model
