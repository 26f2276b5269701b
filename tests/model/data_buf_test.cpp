#include "model/data_buf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/key_code_text.h"

namespace corvid::model {
namespace {

SectionImage ImageWithSlots() {
  SectionImage image;
  image.parameter.SetStorageMarker(0xF0);
  image.parameter.SetActiveLayer(2);
  image.profile.SetSlot(0, 1, {0x01, 0x01, 0x00, 0x00});
  image.profile.SetSlot(1, 12, {0x10, 0x40, 0xAB, 0x00});
  image.profile.SetSlot(2, 6, {0x06, 0x9E, 0x0F, 0xFE});
  return image;
}

TEST(DataBufTest, LoadingSectionsRebuildsEveryCodeText) {
  DataBuf dataBuf;
  EXPECT_EQ(dataBuf.SlotCodeText(2, 12), "00000000");

  dataBuf.SetSlotCode(0, 2, {0x02, 0x01, 0x04, 0x00});  // overwritten by the load below
  dataBuf.LoadSections(ImageWithSlots());

  EXPECT_EQ(dataBuf.Image(), ImageWithSlots());
  EXPECT_EQ(dataBuf.SlotCodeText(0, 1), "01010000");
  EXPECT_EQ(dataBuf.SlotCodeText(0, 2), "00000000");
  EXPECT_EQ(dataBuf.SlotCodeText(1, 12), "1040AB00");
  EXPECT_EQ(dataBuf.SlotCodeText(2, 6), "069E0FFE");
  for (int layer = 0; layer < kKeyLayerCount; ++layer) {
    for (int slot = 1; slot <= kSlotsPerLayer; ++slot) {
      EXPECT_EQ(ParseSlotCodeText(dataBuf.SlotCodeText(layer, slot)),
                dataBuf.Profile().Slot(layer, slot));
    }
  }
}

TEST(DataBufTest, SlotTextSetsTextAndBytesTogether) {
  DataBuf dataBuf;
  EXPECT_TRUE(dataBuf.SetSlotCodeText(1, 4, "0a0B0c0D"));
  EXPECT_EQ(dataBuf.SlotCode(1, 4), (SlotBytes{0x0A, 0x0B, 0x0C, 0x0D}));
  EXPECT_EQ(dataBuf.SlotCodeText(1, 4), "0A0B0C0D");
  EXPECT_EQ(dataBuf.Profile().Data()[KeySlotOffset(1, 4)], 0x0A);

  dataBuf.SetSlotCode(2, 1, {0xFF, 0x00, 0x9C, 0x01});
  EXPECT_EQ(dataBuf.SlotCodeText(2, 1), "FF009C01");
}

TEST(DataBufTest, MalformedSlotTextIsRefusedAndChangesNothing) {
  DataBuf dataBuf;
  ASSERT_TRUE(dataBuf.SetSlotCodeText(0, 5, "01020000"));
  const SectionImage before = dataBuf.Image();
  const KeyCodeText textBefore = dataBuf.CodeText();

  for (const char* text :
       {"", "0102000", "010200000", "0102000G", " 1020000", "0x020000", "-1020000"}) {
    EXPECT_FALSE(dataBuf.SetSlotCodeText(0, 5, text)) << '"' << text << '"';
  }
  EXPECT_FALSE(dataBuf.SetSlotCodeText(3, 1, "01010000"));
  EXPECT_FALSE(dataBuf.SetSlotCodeText(0, 0, "01010000"));
  EXPECT_FALSE(dataBuf.SetSlotCodeText(0, 13, "01010000"));

  EXPECT_EQ(dataBuf.Image(), before);
  EXPECT_EQ(dataBuf.CodeText(), textBefore);
}

TEST(DataBufTest, ProfileSaveMarksStorageSealsChecksumsAndMirrorsBothSections) {
  struct Case {
    StorageKind storage;
    std::uint8_t markerBefore;
    std::uint8_t markerAfter;
  };
  const Case cases[] = {
      {StorageKind::I2C, 0xF0, 0xE0},
      {StorageKind::Flash, 0xE0, 0xF0},
      {StorageKind::Unknown, 0x33, 0x33},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(StorageKindText(c.storage)));
    DataBuf dataBuf;
    dataBuf.LoadSections(ImageWithSlots());
    dataBuf.Parameter().SetStorageMarker(c.markerBefore);
    dataBuf.SetSlotCodeText(0, 3, "02000400");

    DeviceImage deviceImage;
    deviceImage.IdentityBytes = {0x12, 0x34};
    deviceImage.MacroImage[7] = 0x99;

    PrepareProfileSave(dataBuf, c.storage, deviceImage);

    EXPECT_EQ(deviceImage.sections, dataBuf.Image());
    EXPECT_EQ(deviceImage.sections.parameter.StorageMarker(), c.markerAfter);
    EXPECT_TRUE(deviceImage.sections.parameter.ChecksumHolds());
    EXPECT_TRUE(deviceImage.sections.profile.ChecksumHolds());
    EXPECT_EQ(deviceImage.sections.profile.Slot(0, 3), (SlotBytes{0x02, 0x00, 0x04, 0x00}));
    EXPECT_EQ(deviceImage.IdentityBytes, (std::array<std::uint8_t, 2>{0x12, 0x34}));
    EXPECT_EQ(deviceImage.MacroImage[7], 0x99);
  }
}

TEST(DataBufTest, CommittingKeyLayersLeavesTheParameterMirrorAlone) {
  DataBuf dataBuf;
  dataBuf.LoadSections(ImageWithSlots());
  DeviceImage deviceImage;
  deviceImage.sections = ImageWithSlots();

  dataBuf.Parameter().SetActiveLayer(0);
  dataBuf.SetSlotCode(1, 12, {0x10, 0x41, 0x00, 0x00});
  EXPECT_FALSE(dataBuf.Profile().ChecksumHolds());  // single-slot edits leave it stale

  CommitProfileSection(dataBuf, deviceImage);
  EXPECT_TRUE(dataBuf.Profile().ChecksumHolds());
  EXPECT_EQ(deviceImage.sections.profile, dataBuf.Profile());
  EXPECT_EQ(deviceImage.sections.parameter.ActiveLayer(), 2);
}

TEST(DataBufTest, PackedCopiesFollowTheBytes) {
  ParameterSection p;
  p.SetFireRepeatPair(0x31);
  p.SetDpiLevelByte(0x75);
  PackedCopies copies;
  copies.RefreshFrom(p);
  EXPECT_EQ(copies.fireKey1RepeatMinusOne, 1);
  EXPECT_EQ(copies.fireKey2RepeatMinusOne, 3);
  EXPECT_EQ(copies.dpiLevelCount, 8);
  EXPECT_EQ(copies.currentDpiLevel, 5);

  // A count nibble above 7 keeps the count; the current index takes the nibble regardless.
  p.SetDpiLevelByte(0x9C);
  copies.RefreshFrom(p);
  EXPECT_EQ(copies.dpiLevelCount, 8);
  EXPECT_EQ(copies.currentDpiLevel, 12);
}

}  // namespace
}  // namespace corvid::model
