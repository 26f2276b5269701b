#include "model/image_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/reset.h"
#include "shell/resources.h"
#include "support/sim_fixture.h"

namespace corvid::model {
namespace {

using device::MemoryLayout;
using testing_support::SimFixture;
using Lines = std::vector<std::string>;

// The command reports of a trace ("set 40 .."), which show the order of the transfers.
Lines Commands(const Lines& reports, std::string_view command) {
  Lines commands;
  for (const std::string& line : reports) {
    if (line.starts_with("set 40 " + std::string(command))) commands.push_back(line);
  }
  return commands;
}

class LayoutFixture : public SimFixture {
 protected:
  explicit LayoutFixture(MemoryLayout layout)
      : SimFixture(sim::StandInMouseConfig::ForLayout(layout)), layout(layout) {}

  MemoryLayout layout;
  DeviceImage image;
  DataBuf dataBuf;
};

class I2CMouseTest : public LayoutFixture {
 protected:
  I2CMouseTest() : LayoutFixture(MemoryLayout::LayoutI2C) {}
};

class FlashFlashMouseTest : public LayoutFixture {
 protected:
  FlashFlashMouseTest() : LayoutFixture(MemoryLayout::LayoutFlashFlash) {}
};

TEST_F(I2CMouseTest, ResetWritesTheDefaultsInTheMousesOrder) {
  Connect();
  std::fill(mouse.Memory().begin() + 0x200, mouse.Memory().begin() + 0x400, 0x77);
  mouse.SetIdentityBytes(0x12, 0x34);

  ASSERT_EQ(DefaultParameter(protocol, link, layout, image, dataBuf, busy), ResetOutcome::kDone);

  const Lines reports = Reports();
  ASSERT_EQ(reports.size(), 35U + 37U + 2 * 38U + 2U);
  EXPECT_EQ(Commands(reports, "05 00").size(), 35U);
  EXPECT_EQ(Commands(reports, "05 01").size(), 37U);
  EXPECT_EQ(reports[72], "set 40 07 02 00 01 00 00 00");
  EXPECT_EQ(reports[72 + 38], "set 40 07 03 00 01 00 00 00");
  EXPECT_EQ(reports[72 + 76], "set 40 07 00 F9 00 02 00 00");
  EXPECT_EQ(reports.back(), "set 41 FF FF 00 00 00 00 00");

  // The mouse now holds the built-in image, the working image shows it.
  const auto defaults = *shell::ResourceBytes("Corvid88Data");
  EXPECT_TRUE(std::ranges::equal(mouse.Bank(0), defaults.subspan(0, 104)));
  EXPECT_TRUE(std::ranges::equal(mouse.Bank(1), defaults.subspan(104, 145)));
  EXPECT_EQ(mouse.IdentityBytes(), (std::array<std::uint8_t, 2>{0xFF, 0xFF}));
  EXPECT_TRUE(std::all_of(mouse.Memory().begin() + 0x200, mouse.Memory().begin() + 0x400,
                          [](std::uint8_t b) { return b == 0x00; }));
  EXPECT_EQ(dataBuf.Image(), image.sections);
  EXPECT_EQ(dataBuf.Parameter().ActiveLayer(), 1);
  EXPECT_EQ(LogLines().back(), "events");  // the busy window is hidden again
}

TEST_F(I2CMouseTest, ResetRefusesWithoutAMouseOrALayoutAndChangesNothing) {
  const DeviceImage before = image;
  EXPECT_EQ(DefaultParameter(protocol, link, layout, image, dataBuf, busy), ResetOutcome::kNoMouse);
  Connect();
  EXPECT_EQ(DefaultParameter(protocol, link, std::nullopt, image, dataBuf, busy),
            ResetOutcome::kNotIdentified);
  const std::uint8_t shortImage[200] = {};
  EXPECT_EQ(DefaultParameter(protocol, link, layout, shortImage, image, dataBuf, busy),
            ResetOutcome::kNoDefaultImage);
  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(image.sections, before.sections);
}

TEST_F(FlashFlashMouseTest, ReadEverythingReadsBothBanksThenBodiesThenTheNameTable) {
  Connect();
  mouse.Memory()[0x4000 + 256 * 5] = 0x42;
  mouse.Memory()[0x3000 + 16 * 2] = 0x00;
  mouse.Memory()[0x3000 + 16 * 2 + 1] = 0x41;

  ASSERT_TRUE(ReadEverything(protocol, layout, image));

  const Lines reports = Reports();
  const Lines bankReads = Commands(reports, "06");
  const Lines memoryReads = Commands(reports, "09");
  ASSERT_EQ(bankReads.size(), 2U);
  ASSERT_EQ(memoryReads.size(), 33U);
  EXPECT_EQ(memoryReads.front(), "set 40 09 40 00 01 00 00 00");
  EXPECT_EQ(memoryReads[31], "set 40 09 5F 00 01 00 00 00");
  EXPECT_EQ(memoryReads.back(), "set 40 09 30 00 02 00 00 00");
  EXPECT_EQ(image.FlashMacroBody(5)[0], 0x42);
  EXPECT_EQ(image.FlashMacroName(2)[1], 0x41);
  EXPECT_TRUE(std::ranges::equal(image.sections.parameter.Data(), mouse.Bank(0)));
}

TEST_F(FlashFlashMouseTest, ARefusedBodyOrNameTableReadKeepsTheMirror) {
  Connect();
  std::ranges::fill(image.FlashMacroBody(3), 0xAA);
  std::ranges::fill(image.FlashMacroBody(4), 0xAA);
  mouse.RefuseCommandAfter(2 + 3);  // two bank reads, bodies 0..2, then body 3 is refused

  EXPECT_FALSE(ReadEverything(protocol, layout, image));
  EXPECT_TRUE(std::ranges::all_of(image.FlashMacroBody(3), [](auto b) { return b == 0xAA; }));
  EXPECT_TRUE(std::ranges::all_of(image.FlashMacroBody(4), [](auto b) { return b == 0xFF; }));

  std::ranges::fill(image.FlashMacroNames, 0xBB);
  mouse.RefuseCommandAfter(2 + 32);  // the name table
  EXPECT_FALSE(ReadEverything(protocol, layout, image));
  EXPECT_TRUE(std::ranges::all_of(image.FlashMacroNames, [](auto b) { return b == 0xBB; }));
}

TEST_F(FlashFlashMouseTest, WriteEverythingWritesNamesBodiesThenIdentity) {
  Connect();
  image.IdentityBytes = {0x12, 0x34};
  std::ranges::fill(image.FlashMacroBody(31), 0x5A);

  ASSERT_TRUE(WriteEverything(protocol, layout, image));

  const Lines writes = Commands(Reports(), "07");
  ASSERT_EQ(writes.size(), 2U + 32U + 1U);
  EXPECT_EQ(writes[0], "set 40 07 30 00 01 00 00 00");
  EXPECT_EQ(writes[1], "set 40 07 31 00 01 00 00 00");
  EXPECT_EQ(writes[2], "set 40 07 40 00 01 00 00 00");
  EXPECT_EQ(writes[33], "set 40 07 5F 00 01 00 00 00");
  EXPECT_EQ(writes[34], "set 40 07 60 00 00 02 00 00");
  EXPECT_EQ(mouse.IdentityBytes(), (std::array<std::uint8_t, 2>{0x12, 0x34}));
  EXPECT_EQ(mouse.Memory()[0x5FFF], 0x5A);

  ClearLog();
  ASSERT_TRUE(WriteMacros(protocol, layout, image));
  EXPECT_TRUE(Commands(Reports(), "05 00").empty());
  EXPECT_EQ(Commands(Reports(), "05 01").size(), 37U);
  EXPECT_EQ(Commands(Reports(), "07").size(), 34U);  // no identity write
}

TEST(IdentityReadTest, TheIdentityIsReadAtTheLayoutsAddress) {
  struct Case {
    MemoryLayout layout;
    const char* command;
  };
  const Case cases[] = {
      {MemoryLayout::LayoutI2C, "set 40 09 00 F9 00 02 00 00"},
      {MemoryLayout::LayoutFlashI2C, "set 40 09 60 00 00 02 00 00"},
      {MemoryLayout::LayoutFlashFlash, "set 40 09 60 00 00 02 00 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    testing_support::SimBench f(sim::StandInMouseConfig::ForLayout(c.layout));
    f.Connect();
    f.mouse.SetIdentityBytes(0xAB, 0xCD);
    const auto identity = ReadIdentityBytes(f.protocol, c.layout);
    ASSERT_TRUE(identity.has_value());
    EXPECT_EQ(*identity, (std::array<std::uint8_t, 2>{0xAB, 0xCD}));
    EXPECT_EQ(f.Reports().front(), c.command);
  }
}

}  // namespace
}  // namespace corvid::model
