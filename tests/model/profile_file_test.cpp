#include "model/profile_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "common/file_io.h"
#include "model/image_transfer.h"
#include "support/scratch_folder.h"
#include "support/sim_fixture.h"

namespace corvid::model {
namespace {

namespace fs = std::filesystem;
using device::MemoryLayout;
using testing_support::SimBench;
using Bytes = std::vector<std::uint8_t>;

constexpr MemoryLayout kLayouts[] = {MemoryLayout::LayoutI2C, MemoryLayout::LayoutFlashI2C,
                                     MemoryLayout::LayoutFlashFlash};

std::span<const std::uint8_t> Slice(const Bytes& bytes, std::size_t offset, std::size_t size) {
  return std::span<const std::uint8_t>(bytes).subspan(offset, size);
}

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return std::ranges::equal(a, b);
}

std::uint8_t ChecksumOf(std::span<const std::uint8_t> bytes) {
  std::uint8_t sum = 0;
  for (const std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
  return sum ^ 0x5A;
}

// A device image in which every area holds distinct bytes, so that a misplaced area shows.
DeviceImage PatternedImage() {
  DeviceImage image;
  const auto fill = [](std::span<std::uint8_t> bytes, unsigned seed) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
    }
  };
  fill(image.sections.parameter.Data(), 1);
  fill(image.sections.profile.Data(), 2);
  image.IdentityBytes = {0x12, 0x34};
  fill(image.MacroImage, 3);
  fill(image.FlashMacroNames, 4);
  fill(image.FlashMacroBodies, 5);
  return image;
}

class ProfileFileTest : public ::testing::Test {
 protected:
  Bytes ReadBack(const fs::path& path) { return common::ReadWholeFile(path).value_or(Bytes{}); }

  testing_support::ScratchFolder scratch;
  const fs::path dir = scratch.Path();
};

TEST_F(ProfileFileTest, SaveWritesTheLayoutsImageWithMarkerFillerAndSealedChecksums) {
  struct Case {
    std::optional<MemoryLayout> layout;
    std::size_t size;
    std::uint8_t marker;
  };
  // With no layout the marker stays as the working image holds it.
  const Case cases[] = {{MemoryLayout::LayoutI2C, 768, 0xE0},
                        {MemoryLayout::LayoutFlashI2C, 768, 0xE0},
                        {MemoryLayout::LayoutFlashFlash, 8960, 0xF0},
                        {std::nullopt, 256, 0x33}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    DeviceImage image = PatternedImage();
    const DeviceImage patterned = image;
    DataBuf dataBuf;
    SectionImage edited = image.sections;
    edited.parameter.SetStorageMarker(0x33);
    edited.parameter.Data()[103] ^= 0xFF;  // stale checksums from page edits
    edited.profile.Data()[144] ^= 0xFF;
    dataBuf.LoadSections(edited);

    const ProfileSaveResult saved = SaveProfileFile(dir / "p", dataBuf, c.layout, image);
    ASSERT_TRUE(saved) << saved.message;
    const Bytes file = ReadBack(saved.path);

    ASSERT_EQ(file.size(), c.size);
    EXPECT_EQ(ProfileFileSize(c.layout), c.size);
    EXPECT_EQ(file[0], c.marker);
    EXPECT_EQ(file[103], ChecksumOf(Slice(file, 0, 103)));
    EXPECT_EQ(file[248], ChecksumOf(Slice(file, 104, 144)));
    EXPECT_TRUE(SameBytes(Slice(file, 249, 2), image.IdentityBytes));
    EXPECT_TRUE(std::all_of(file.begin() + 251, file.begin() + 256,
                            [](std::uint8_t b) { return b == 0xFF; }));
    const auto editedBytes = edited.ToBytes();
    EXPECT_TRUE(SameBytes(Slice(file, 1, 102), std::span(editedBytes).subspan(1, 102)));
    if (c.size == 768) {
      EXPECT_TRUE(SameBytes(Slice(file, 256, 512), patterned.MacroImage));
    }
    if (c.size == 8960) {
      EXPECT_TRUE(SameBytes(Slice(file, 256, 512), patterned.FlashMacroNames));
      EXPECT_TRUE(SameBytes(Slice(file, 768 + 256 * 31, 256), patterned.FlashMacroBody(31)));
    }
    // The working image and the mirror both hold what was saved.
    EXPECT_EQ(dataBuf.Image(), image.sections);
    EXPECT_TRUE(SameBytes(Slice(file, 0, 249), image.sections.ToBytes()));
  }
}

TEST_F(ProfileFileTest, BinIsAppendedOnlyWhenTheNameLacksIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"profile", "profile.bin"},       {"profile.bin", "profile.bin"},
      {"profile.BiN", "profile.BiN"},   {"profile.txt", "profile.txt.bin"},
      {"my.bin.old", "my.bin.old.bin"}, {"sub.bin/profile", "sub.bin/profile.bin"},
  };
  for (const auto& [chosen, expected] : cases) {
    EXPECT_EQ(ProfileFilePath(chosen), fs::path(expected)) << chosen;
  }

  DataBuf dataBuf;
  DeviceImage image;
  ASSERT_TRUE(SaveProfileFile(dir / "mine.BIN", dataBuf, MemoryLayout::LayoutI2C, image));
  ASSERT_TRUE(SaveProfileFile(dir / "other", dataBuf, MemoryLayout::LayoutI2C, image));
  std::vector<fs::path> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::ranges::sort(names);
  EXPECT_EQ(names, (std::vector<fs::path>{"mine.BIN", "other.bin"}));
}

TEST_F(ProfileFileTest, SaveThatCannotWriteReportsWhyAndChangesNothing) {
  DeviceImage image = PatternedImage();
  const DeviceImage before = image;
  DataBuf dataBuf;
  dataBuf.LoadSections(image.sections);
  const SectionImage workingBefore = dataBuf.Image();

  for (const fs::path& chosen : {dir / "missing" / "p", dir / ""}) {
    const ProfileSaveResult saved =
        SaveProfileFile(chosen, dataBuf, MemoryLayout::LayoutFlashFlash, image);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(saved.message.empty());
  }
  EXPECT_EQ(dataBuf.Image(), workingBefore);
  EXPECT_EQ(image.sections, before.sections);
  EXPECT_TRUE(fs::is_empty(dir));
}

// Saved from one stand-in mouse, loaded and written into another: the second mouse ends up with
// the first one's configuration, macros and identity, byte for byte.
TEST_F(ProfileFileTest, ProfileSavedFromEachLayoutLoadsBackIntoAnotherMouse) {
  for (const MemoryLayout layout : kLayouts) {
    SCOPED_TRACE(static_cast<int>(layout));
    SimBench source(sim::StandInMouseConfig::ForLayout(layout));
    source.Connect();
    for (std::size_t i = 0; i < source.mouse.Memory().size(); ++i) {
      source.mouse.Memory()[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
    }
    std::ranges::copy(PatternedImage().sections.parameter.Data(), source.mouse.Bank(0).begin());
    std::ranges::copy(PatternedImage().sections.profile.Data(), source.mouse.Bank(1).begin());
    if (layout != MemoryLayout::LayoutI2C) {  // a Flash controller reports its macro storage here
      auto& storageByte = source.mouse.Bank(0)[6];
      storageByte = static_cast<std::uint8_t>((storageByte & 0x3F) |
                                              (source.mouse.Config().macroStorageBits << 6));
    }
    source.mouse.SetIdentityBytes(0x12, 0x34);

    DeviceImage image;
    ASSERT_TRUE(ReadEverything(source.protocol, layout, image));
    image.IdentityBytes = *ReadIdentityBytes(source.protocol, layout);
    DataBuf dataBuf;
    dataBuf.LoadSections(image.sections);
    const ProfileSaveResult saved = SaveProfileFile(dir / "p", dataBuf, layout, image);
    ASSERT_TRUE(saved) << saved.message;
    const Bytes file = ReadBack(saved.path);
    EXPECT_TRUE(SameBytes(Slice(file, 1, 102), source.mouse.Bank(0).subspan(1, 102)));
    EXPECT_TRUE(SameBytes(Slice(file, 104, 144), source.mouse.Bank(1).first(144)));

    SimBench target(sim::StandInMouseConfig::ForLayout(layout));
    target.Connect();
    DeviceImage loaded;
    const ProfileLoadResult load = LoadProfileFile(saved.path, layout, loaded);
    ASSERT_TRUE(load) << load.message;
    ASSERT_TRUE(WriteEverything(target.protocol, layout, loaded));

    const sim::StandInMouse& mouse = target.mouse;
    EXPECT_TRUE(SameBytes(mouse.Bank(0), Slice(file, 0, 104)));
    EXPECT_TRUE(SameBytes(mouse.Bank(1), Slice(file, 104, 145)));
    EXPECT_TRUE(SameBytes(mouse.IdentityBytes(), Slice(file, 249, 2)));
    const auto memory = [&](std::size_t address, std::size_t size) {
      return mouse.Memory().subspan(address, size);
    };
    if (layout == MemoryLayout::LayoutFlashFlash) {
      EXPECT_TRUE(SameBytes(memory(kFlashMacroNameTableAddress, 512), Slice(file, 256, 512)));
      EXPECT_TRUE(SameBytes(memory(kFlashMacroBodyBase, 8192), Slice(file, 768, 8192)));
    } else {
      const MacroAreaAddresses area = MacroAreaAddressesOf(layout);
      EXPECT_TRUE(SameBytes(memory(area.first, 256), Slice(file, 256, 256)));
      EXPECT_TRUE(SameBytes(memory(area.second, 256), Slice(file, 512, 256)));
    }
  }
}

TEST_F(ProfileFileTest, LoadTakesTheFileUnchangedEvenWithWrongChecksums) {
  Bytes file = EncodeProfileFile(PatternedImage(), MemoryLayout::LayoutI2C);
  file[0] = 0xE0;
  file[103] = static_cast<std::uint8_t>(ChecksumOf(Slice(file, 0, 103)) + 1);
  file[248] = static_cast<std::uint8_t>(ChecksumOf(Slice(file, 104, 144)) + 1);
  file.push_back(0x99);  // bytes past the layout's areas are ignored

  DeviceImage image;
  ASSERT_TRUE(LoadProfileFile(file, MemoryLayout::LayoutI2C, image));
  EXPECT_TRUE(SameBytes(image.sections.ToBytes(), Slice(file, 0, 249)));
  EXPECT_TRUE(SameBytes(image.IdentityBytes, Slice(file, 249, 2)));
  EXPECT_TRUE(SameBytes(image.MacroImage, Slice(file, 256, 512)));
  EXPECT_EQ(image.FlashMacroNames, DeviceImage{}.FlashMacroNames);  // not this layout's
}

TEST_F(ProfileFileTest, WithoutALayoutAnyMarkerIsTakenAndOnlyTheHead) {
  Bytes file = EncodeProfileFile(PatternedImage(), std::nullopt);
  file[0] = 0x42;
  file.resize(251);

  DeviceImage image;
  ASSERT_TRUE(LoadProfileFile(file, std::nullopt, image));
  EXPECT_TRUE(SameBytes(image.sections.ToBytes(), Slice(file, 0, 249)));
  EXPECT_TRUE(SameBytes(image.IdentityBytes, Slice(file, 249, 2)));
  EXPECT_EQ(image.MacroImage, DeviceImage{}.MacroImage);
}

TEST_F(ProfileFileTest, WrongMarkerOrShortFileIsRefusedAndChangesNothing) {
  struct Case {
    const char* what;
    std::optional<MemoryLayout> layout;
    std::uint8_t marker;
    std::size_t size;
    ProfileLoadOutcome outcome;
  };
  const Case cases[] = {
      {"I2C profile into Flash/Flash", MemoryLayout::LayoutFlashFlash, 0xE0, 8960,
       ProfileLoadOutcome::kWrongMarker},
      {"Flash profile into I2C", MemoryLayout::LayoutI2C, 0xF0, 768,
       ProfileLoadOutcome::kWrongMarker},
      {"unmarked into Flash/I2C", MemoryLayout::LayoutFlashI2C, 0x00, 768,
       ProfileLoadOutcome::kWrongMarker},
      {"I2C profile one byte short", MemoryLayout::LayoutI2C, 0xE0, 767,
       ProfileLoadOutcome::kTooShort},
      {"I2C-sized file into Flash/Flash", MemoryLayout::LayoutFlashFlash, 0xF0, 768,
       ProfileLoadOutcome::kTooShort},
      {"head without identity bytes", std::nullopt, 0xE0, 250, ProfileLoadOutcome::kTooShort},
      {"empty file", MemoryLayout::LayoutI2C, 0x00, 0, ProfileLoadOutcome::kTooShort},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes file = EncodeProfileFile(PatternedImage(), MemoryLayout::LayoutFlashFlash);
    file[0] = c.marker;
    file.resize(c.size);
    const fs::path path = dir / "load.bin";
    ASSERT_TRUE(common::WriteFileAtomically(path, file));

    DeviceImage image;
    image.MacroImage.fill(0x5C);
    const DeviceImage before = image;
    const ProfileLoadResult load = LoadProfileFile(path, c.layout, image);
    EXPECT_EQ(load.outcome, c.outcome);
    EXPECT_EQ(load.message, "Loading .bin is error!");
    EXPECT_EQ(image.sections, before.sections);
    EXPECT_EQ(image.IdentityBytes, before.IdentityBytes);
    EXPECT_EQ(image.MacroImage, before.MacroImage);
    EXPECT_EQ(image.FlashMacroNames, before.FlashMacroNames);
    EXPECT_EQ(image.FlashMacroBodies, before.FlashMacroBodies);
  }
}

TEST_F(ProfileFileTest, UnreadableFileSaysWhy) {
  DeviceImage image;
  const ProfileLoadResult load =
      LoadProfileFile(dir / "absent.bin", MemoryLayout::LayoutI2C, image);
  EXPECT_EQ(load.outcome, ProfileLoadOutcome::kUnreadable);
  EXPECT_NE(load.message.find("absent.bin"), std::string::npos);
}

}  // namespace
}  // namespace corvid::model
