#include "macros/device_macros.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "macros/device_macro_area.h"
#include "macros/device_macro_bindings.h"
#include "model/data_buf.h"

namespace corvid::macros {
namespace {

using device::MemoryLayout;
using Bytes = std::vector<std::uint8_t>;

MacroNameField Name(std::string_view text) { return *NameToMacroNameField(text); }

MacroBody Body(const Bytes& steps) {
  MacroBody body{};
  std::copy(steps.begin(), steps.end(), body.begin());
  return body;
}

struct Record {
  std::string name;
  Bytes steps;  // without the terminator
};

// An area as a mouse would hold it: the records back to back, each body ended by 0x00.
MacroArea AreaOf(const std::vector<Record>& records) {
  MacroArea area{};
  std::size_t pos = 0;
  for (const Record& record : records) {
    const MacroNameField name = Name(record.name);
    std::copy(name.begin(), name.end(), area.begin() + pos);
    pos += name.size();
    std::copy(record.steps.begin(), record.steps.end(), area.begin() + pos);
    pos += record.steps.size() + 1;
  }
  return area;
}

Bytes Repeated(std::uint8_t byte, std::size_t count) { return Bytes(count, byte); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes StepsOf(const I2CMacroTable& table, std::size_t k) {
  const std::size_t steps = table.MacroLen[k] - kEmptyMacroRecordLength;
  return Bytes(table.bodies[k].begin(), table.bodies[k].begin() + steps);
}

// Parsing the EEPROM area ---------------------------------------------------------------------

TEST(MacroAreaParsing, EmptyAndErasedAreasHoldNoMacros) {
  MacroArea zero{};
  MacroArea erased;
  erased.fill(0xFF);
  MacroArea halfErased = AreaOf({{"M1", {0xA1, 0x21}}});
  halfErased[1] = 0xFF;
  for (const MacroArea& area : {zero, erased, halfErased}) {
    const MacroAreaParse parse = ParseMacroArea(area, 0x0210);
    EXPECT_EQ(parse.table.Count(), 0u);
    EXPECT_EQ(parse.table.MacroTotal, 0);
    EXPECT_EQ(parse.table.MacroAddr[0], 0x0210);
    EXPECT_EQ(parse.end, MacroAreaEnd::kEndMarker);
  }
}

TEST(MacroAreaParsing, RecordLengthsGiveTheAddressesOfTheLaterBodies) {
  const MacroArea area = AreaOf({{"M1", {0xA1, 0x21}}, {"Empty", {}}, {"M3", {0xFE, 0x00, 0x32}}});
  for (const auto& [layout, first] :
       {std::pair{MemoryLayout::LayoutI2C, 0x0210}, {MemoryLayout::LayoutFlashI2C, 0x4010}}) {
    ASSERT_EQ(FirstMacroBodyAddress(layout), first);
    const I2CMacroTable table = ParseMacroArea(area, FirstMacroBodyAddress(layout)).table;
    ASSERT_EQ(table.Count(), 3u);
    EXPECT_EQ(table.MacroLen[0], 19);
    EXPECT_EQ(table.MacroLen[1], 17);
    EXPECT_EQ(table.MacroLen[2], 20);
    EXPECT_EQ(table.MacroAddr[1], first + 19);  // 0x0223 on the I2C controller
    EXPECT_EQ(table.MacroAddr[2], first + 19 + 17);
    EXPECT_EQ(table.MacroTotal, 56);
    EXPECT_EQ(MacroNameFieldToName(table.names[2]), "M3");
    EXPECT_EQ(StepsOf(table, 2), (Bytes{0xFE, 0x00, 0x32}));
  }
}

// Bodies whose bytes fool the end rule of earlier versions: a delay with a low byte of 0x00
// before a button step, and a body that ends in a delay of 4 ms.
TEST(MacroAreaParsing, BodiesAreReadStepByStep) {
  const std::vector<Record> records = {
      {"Delay256", {0xFE, 0x01, 0x00, 0xA1, 0xFE, 0x00, 0x04}},
      {"Next", {0x82, 0x04, 0x02, 0x04}},
      {"Move", {0x04, 0x00, 0xF6, 0x21, 0xFD, 0x03, 0xFC}},
  };
  const I2CMacroTable table = ParseMacroArea(AreaOf(records), 0x0210).table;
  ASSERT_EQ(table.Count(), records.size());
  for (std::size_t k = 0; k < records.size(); ++k) {
    EXPECT_EQ(MacroNameFieldToName(table.names[k]), records[k].name);
    EXPECT_EQ(StepsOf(table, k), records[k].steps);
  }
}

// A body whose last step ends in an operand byte 0x00 is stored without a terminator of its own
// by the usual add rule: that 0x00 ends the record. Areas where a terminator follows it anyway
// must read the same.
TEST(MacroAreaParsing, ABodyEndingInAZeroOperandMayOmitItsTerminator) {
  struct Case {
    std::string label;
    Bytes steps;  // as stored, with no terminator after them
  };
  const std::vector<Case> cases = {
      // A 23-byte record at 0x0210: the next body is at 0x0227.
      {"delay 512 ms", {0xA1, 0x21, 0x82, 0x04, 0xFE, 0x02, 0x00}},
      {"delay 0", {0xA1, 0xFE, 0x00, 0x00}},
      {"key usage 0", {0x82, 0x00}},
  };
  for (const Case& c : cases) {
    for (const bool terminated : {false, true}) {
      SCOPED_TRACE(c.label + (terminated ? ", terminated" : ", unterminated"));
      // The first record stored by hand; the next one behind it.
      MacroArea area{};
      const MacroNameField first = Name("First");
      std::ranges::copy(first, area.begin());
      std::ranges::copy(c.steps, area.begin() + 16);
      const std::size_t recordLength = 16 + c.steps.size() + (terminated ? 1 : 0);
      const MacroArea next = AreaOf({{"Next", {0xA2, 0x22}}});
      std::copy_n(next.begin(), 16 + 3, area.begin() + static_cast<std::ptrdiff_t>(recordLength));

      const MacroAreaParse parse = ParseMacroArea(area, 0x0210);
      ASSERT_EQ(parse.table.Count(), 2u);
      EXPECT_EQ(parse.end, MacroAreaEnd::kEndMarker);
      EXPECT_EQ(parse.table.MacroAddr[1], 0x0210 + recordLength);
      EXPECT_EQ(MacroNameFieldToName(parse.table.names[1]), "Next");
      EXPECT_EQ(StepsOf(parse.table, 1), (Bytes{0xA2, 0x22}));
      // The body slot holds every step byte, the final 0x00 included.
      EXPECT_TRUE(std::equal(c.steps.begin(), c.steps.end(), parse.table.bodies[0].begin()));
    }
  }
}

TEST(MacroAreaParsing, BodiesWithUnknownBytesEndByByteValues) {
  // 0x77 has no step: the end is where a closing byte is followed by 0x00.
  const I2CMacroTable table =
      ParseMacroArea(AreaOf({{"Odd", {0x77, 0xA1, 0x21}}, {"B", {0xA2}}}), 0x0210).table;
  ASSERT_EQ(table.Count(), 2u);
  EXPECT_EQ(StepsOf(table, 0), (Bytes{0x77, 0xA1, 0x21}));
  EXPECT_EQ(StepsOf(table, 1), (Bytes{0xA2}));
}

TEST(MacroAreaParsing, ARecordWithoutAnEndIsNotTaken) {
  // The first record is fine; the second one's body runs to the end of the area.
  MacroArea area = AreaOf({{"Good", {0xA1}}, {"Bad", {}}});
  std::fill(area.begin() + 18 + 16, area.end(), 0xA1);
  const MacroAreaParse parse = ParseMacroArea(area, 0x0210);
  EXPECT_EQ(parse.end, MacroAreaEnd::kDamaged);
  EXPECT_EQ(parse.table.Count(), 1u);

  // A body of more than 255 steps ends inside the area but not inside a slot.
  MacroArea longBody = AreaOf({{"Long", Repeated(0xA1, 300)}});
  EXPECT_EQ(ParseMacroArea(longBody, 0x0210).end, MacroAreaEnd::kDamaged);
  EXPECT_EQ(ParseMacroArea(longBody, 0x0210).table.Count(), 0u);
}

TEST(MacroAreaParsing, RandomAreasStayInsideTheAreaAndTheSlots) {
  std::mt19937 random(88);
  std::uniform_int_distribution<int> byte(0, 255);
  // Mostly bytes of real steps, so that records get long and reach the edges.
  const std::array<std::uint8_t, 12> stepBytes = {0x00, 0x01, 0x02, 0x04, 0x21, 0x81,
                                                  0x82, 0xA1, 0xFC, 0xFD, 0xFE, 0x41};
  for (int round = 0; round < 3000; ++round) {
    MacroArea area;
    for (auto& b : area) {
      b = round % 2 ? static_cast<std::uint8_t>(byte(random)) : stepBytes[byte(random) % 12];
    }
    const MacroAreaParse parse = ParseMacroArea(area, 0x0210);
    std::size_t total = 0;
    for (std::size_t k = 0; k < kI2CMacroSlotCount; ++k) {
      const std::size_t length = parse.table.MacroLen[k];
      if (length == 0) continue;
      ASSERT_GE(length, kEmptyMacroRecordLength);
      ASSERT_LE(length, kMacroNameFieldSize + kMacroBodySize);
      total += length;
    }
    ASSERT_LE(total, kMacroAreaSize);
    ASSERT_EQ(total, parse.endOffset);
    // What the tool writes back reads back the same.
    model::DeviceImage image;
    image.MacroImage = area;
    DeviceMacros macros{image};
    macros.Refresh(MemoryLayout::LayoutI2C);
    const MacroArea normalised = image.MacroImage;
    const I2CMacroTable table = macros.I2CTable();
    macros.Refresh(MemoryLayout::LayoutI2C);
    ASSERT_EQ(image.MacroImage, normalised);
    ASSERT_EQ(macros.I2CTable().MacroLen, table.MacroLen);
  }
}

// Building the area -----------------------------------------------------------------------------

// The byte that would fall on offset 255 goes to 256, behind a 0xFC; the body read back keeps the
// filler. Which byte of a step lands there does not matter, only its value.
TEST(MacroAreaBuilding, APageSeamByteIsMovedBehindAFiller) {
  struct Case {
    std::size_t padding;  // button steps before the delay FE 01 2C
    bool filler;
  };
  // The body starts at offset 16, so padding 239 puts FE on 255, 238 puts 01 there.
  for (const Case& c : {Case{239, true}, Case{238, true}, Case{237, false}}) {
    SCOPED_TRACE(c.padding);
    const Bytes steps = Concat({Repeated(0x21, c.padding), {0xFE, 0x01, 0x2C, 0xA1}});
    const I2CMacroTable table =
        ParseMacroArea(AreaOf({{"Long", steps}, {"Next", {0xA2}}}), 0x0210).table;
    ASSERT_EQ(table.Count(), 2u);
    const MacroAreaBuild build = BuildMacroArea(table, 0x0210);
    ASSERT_TRUE(build.fits);
    const std::uint16_t grown = table.MacroLen[0] + (c.filler ? 1 : 0);
    EXPECT_EQ(build.MacroLen[0], grown);
    EXPECT_EQ(build.MacroAddr[1], 0x0210 + grown);
    EXPECT_EQ(build.image[255], c.filler ? 0xFC : steps[239]);
    EXPECT_EQ(build.image[256], c.filler ? steps[239] : steps[240]);

    const I2CMacroTable readBack = ParseMacroArea(build.image, 0x0210).table;
    ASSERT_EQ(readBack.Count(), 2u);
    EXPECT_EQ(readBack.MacroLen[0], grown);
    EXPECT_EQ(StepsOf(readBack, 1), (Bytes{0xA2}));
    // Built again, the area stays as it is: the filler is not a seam byte.
    EXPECT_EQ(BuildMacroArea(readBack, 0x0210).image, build.image);
  }
}

TEST(MacroAreaBuilding, NothingIsWrittenPastTheAreaOrASlot) {
  I2CMacroTable table;
  table.names[0] = Name("A");
  table.bodies[0] = Body(Repeated(0xA1, 255));
  table.MacroLen[0] = 16 + 256;
  table.names[1] = Name("B");
  table.bodies[1] = Body(Repeated(0xA1, 255));
  table.MacroLen[1] = 16 + 256;
  // 544 bytes: the second record does not fit and is left out whole.
  MacroAreaBuild build = BuildMacroArea(table, 0x0210);
  EXPECT_FALSE(build.fits);
  EXPECT_EQ(build.MacroLen[0], 272);
  EXPECT_EQ(build.MacroLen[1], 0);
  EXPECT_TRUE(
      std::all_of(build.image.begin() + 272, build.image.end(), [](auto b) { return b == 0; }));

  // A full-length body that would take a filler would need 257 bytes.
  table.MacroLen[1] = 0;
  table.bodies[0] = Body(Repeated(0x01, 255));
  EXPECT_FALSE(BuildMacroArea(table, 0x0210).fits);
}

// The model on the device mirror
// -------------------------------------------------------------------

class DeviceMacrosI2C : public ::testing::Test {
 protected:
  void Load(const std::vector<Record>& records) {
    image.MacroImage = AreaOf(records);
    macros.Refresh(MemoryLayout::LayoutI2C);
  }

  model::DeviceImage image;
  DeviceMacros macros{image};
};

TEST_F(DeviceMacrosI2C, ReadingClearsLeftoverBytesBehindTheRecords) {
  image.MacroImage = AreaOf({{"M1", {0xA1, 0x21}}});
  image.MacroImage[40] = 0x55;  // behind the end marker at 19
  const MacroArea expected = AreaOf({{"M1", {0xA1, 0x21}}});
  macros.Refresh(MemoryLayout::LayoutI2C);
  EXPECT_EQ(image.MacroImage, expected);
  EXPECT_EQ(macros.MacroNames(), std::vector<std::string>{"M1"});
}

TEST_F(DeviceMacrosI2C, ADamagedAreaIsKeptAsItWasRead) {
  MacroArea area = AreaOf({{"Good", {0xA1}}});
  std::fill(area.begin() + 18, area.end(), 0xA1);
  image.MacroImage = area;
  macros.Refresh(MemoryLayout::LayoutI2C);
  EXPECT_EQ(macros.LastParseEnd(), MacroAreaEnd::kDamaged);
  EXPECT_EQ(macros.MacroCount(), 1);
  EXPECT_EQ(image.MacroImage, area);
}

TEST_F(DeviceMacrosI2C, AnAddMustFitInTheAreaFillerIncluded) {
  // Records of 272 and 223 bytes make 495; a macro of 17 bytes makes 512, one of 18 makes 513.
  Load({{"A", Repeated(0x21, 255)}, {"B", Repeated(0x21, 206)}});
  ASSERT_EQ(macros.I2CTable().MacroTotal, 495);
  const MacroArea before = image.MacroImage;

  const DeviceMacroChange refused = macros.AddMacro(Name("C"), Body({0x21}));
  EXPECT_EQ(refused.status, DeviceMacroStatus::kOutOfRange);
  EXPECT_EQ(refused.messageKey, "Str103");
  EXPECT_EQ(image.MacroImage, before);
  EXPECT_EQ(macros.MacroCount(), 2);

  const DeviceMacroChange added = macros.AddMacro(Name("C"), Body({}));
  ASSERT_TRUE(added.ok());
  EXPECT_EQ(added.selected, 2);
  EXPECT_EQ(macros.I2CTable().MacroTotal, 512);
  EXPECT_EQ(macros.MacroAddress(2), 0x0210 + 495);
}

TEST_F(DeviceMacrosI2C, AFullLengthBodyMayNotGrowPastItsSlotByTheFiller) {
  // Behind an 18-byte record, step 221 of the new body falls on the seam.
  const Bytes seamAt221 = Concat({Repeated(0x21, 221), {0x81, 0x01}});
  Load({{"A", {0xA1}}});
  const MacroArea before = image.MacroImage;
  EXPECT_EQ(macros.AddMacro(Name("Full"), Body(Concat({seamAt221, Repeated(0x21, 32)}))).status,
            DeviceMacroStatus::kOutOfRange);
  EXPECT_EQ(image.MacroImage, before);

  ASSERT_TRUE(macros.AddMacro(Name("Fits"), Body(Concat({seamAt221, Repeated(0x21, 31)}))).ok());
  EXPECT_EQ(macros.I2CTable().MacroLen[1], 16 + 256);
  EXPECT_EQ(image.MacroImage[255], 0xFC);
  EXPECT_EQ(StepsOf(macros.I2CTable(), 1)[221], 0xFC);
}

// Macros ending in a zero operand, added one after the other, read back whole: names, steps and
// addresses (a final delay of 0 keeps both of its operand bytes).
TEST_F(DeviceMacrosI2C, MacrosEndingInAZeroOperandReadBackWhole) {
  Load({});
  const std::vector<Record> added = {
      {"Delay512", {0xA1, 0x21, 0xFE, 0x02, 0x00}},
      {"Delay0", {0xA1, 0xFE, 0x00, 0x00}},
      {"Last", {0xA2, 0x22}},
  };
  for (const Record& record : added) {
    ASSERT_TRUE(macros.AddMacro(Name(record.name), Body(record.steps)).ok());
  }
  macros.Refresh(MemoryLayout::LayoutI2C);
  ASSERT_EQ(macros.MacroNames(), (std::vector<std::string>{"Delay512", "Delay0", "Last"}));
  EXPECT_EQ(macros.MacroAddress(1), 0x0210 + 16 + 5);
  EXPECT_EQ(macros.MacroAddress(2), 0x0210 + 16 + 5 + 16 + 4);
  for (std::size_t k = 0; k < added.size(); ++k) {
    const Bytes& steps = added[k].steps;
    EXPECT_TRUE(std::equal(steps.begin(), steps.end(), macros.I2CTable().bodies[k].begin()));
  }
}

TEST_F(DeviceMacrosI2C, BytesBehindTheTerminatorOfAnAddedBodyAreNotStored) {
  // A library slot may hold leftovers behind its terminator; on the EEPROM they would read back
  // as a second macro.
  const Bytes leftovers = {0x82, 0x04, 0x02, 0x04, 0x00, 0x00, 0x54, 0x00, 0x77, 0x00, 0x6F};
  macros.Refresh(MemoryLayout::LayoutI2C);
  ASSERT_EQ(macros.AddMacro(Name("A"), Body(leftovers)).status, DeviceMacroStatus::kDone);
  EXPECT_EQ(macros.MacroCount(), 1);
  EXPECT_EQ(macros.I2CTable().MacroLen[0], kMacroNameFieldSize + 5);
  macros.Refresh(MemoryLayout::LayoutI2C);
  EXPECT_EQ(macros.MacroNames(), std::vector<std::string>{"A"});
}

// Bytes that are not steps end a record by byte values, at the first byte followed by 0x00, while
// the stored length comes from the three zeros: stored as it is, the tail would read back as a
// macro that was never added. Such a body is refused; one that reads back as stored is taken.
TEST_F(DeviceMacrosI2C, ABodyThatWouldNotReadBackAsStoredIsRefused) {
  Load({{"A", {0xA1, 0x21}}});
  const MacroArea before = image.MacroImage;
  const DeviceMacroChange refused =
      macros.AddMacro(Name("X"), Body({0xDC, 0xDC, 0x00, 0x64, 0x00, 0x64}));
  EXPECT_EQ(refused.status, DeviceMacroStatus::kOutOfRange);
  EXPECT_EQ(refused.messageKey, "Str103");
  EXPECT_EQ(image.MacroImage, before);
  EXPECT_EQ(macros.MacroNames(), std::vector<std::string>{"A"});

  // Unknown bytes whose end by byte values is the stored end: kept as they are.
  ASSERT_TRUE(macros.AddMacro(Name("Y"), Body({0xDC, 0x05})).ok());
  ASSERT_TRUE(macros.AddMacro(Name("Z"), Body({0xA1})).ok());
  macros.Refresh(MemoryLayout::LayoutI2C);
  EXPECT_EQ(macros.MacroNames(), (std::vector<std::string>{"A", "Y", "Z"}));
  EXPECT_EQ(StepsOf(macros.I2CTable(), 1), (Bytes{0xDC, 0x05}));
}

TEST_F(DeviceMacrosI2C, AddingTakesTheNextSlotUntilFifteen) {
  Load({});
  for (int i = 0; i < 15; ++i) {
    ASSERT_TRUE(macros.AddMacro(Name("M" + std::to_string(i)), Body({0xA1, 0x21})).ok());
  }
  EXPECT_EQ(macros.MacroAddress(14), 0x0210 + 14 * 19);
  const MacroArea before = image.MacroImage;
  EXPECT_EQ(macros.AddMacro(Name("X"), Body({0xA1})).status, DeviceMacroStatus::kFull);
  EXPECT_EQ(image.MacroImage, before);
}

TEST_F(DeviceMacrosI2C, BodiesAndNamesThatWouldNotReadBackAreRefused) {
  Load({{"A", {0xA1}}});
  const MacroArea before = image.MacroImage;
  MacroBody endless;
  endless.fill(0xA1);
  EXPECT_EQ(macros.AddMacro(Name("X"), endless).status, DeviceMacroStatus::kOutOfRange);
  // A name starting with a full-width letter (U+FF21) would read as erased memory.
  EXPECT_EQ(macros.AddMacro(Name("\xEF\xBC\xA1"), Body({0xA1})).status,
            DeviceMacroStatus::kBadName);
  EXPECT_EQ(image.MacroImage, before);
}

TEST_F(DeviceMacrosI2C, DeletingMovesTheLaterMacrosDown) {
  Load({{"M1", {0xA1, 0x21}}, {"M2", {0xA2, 0x22, 0xA2}}, {"M3", {0xA4}}});
  const DeviceMacroChange change = macros.DeleteMacro(0);
  ASSERT_TRUE(change.ok());
  EXPECT_EQ(change.selected, 0);
  EXPECT_EQ(macros.MacroNames(), (std::vector<std::string>{"M2", "M3"}));
  EXPECT_EQ(macros.MacroAddress(0), 0x0210);
  EXPECT_EQ(macros.MacroAddress(1), 0x0210 + 20);
  EXPECT_EQ(image.MacroImage, AreaOf({{"M2", {0xA2, 0x22, 0xA2}}, {"M3", {0xA4}}}));

  EXPECT_EQ(macros.DeleteMacro(1).selected, 0);
  EXPECT_FALSE(macros.DeleteMacro(0).selected.has_value());
  EXPECT_EQ(macros.DeleteMacro(0).status, DeviceMacroStatus::kNoSuchMacro);
}

// No length is stored on the EEPROM, so where a record ends can depend on the bytes behind it.
// Here the first body's end is found because the name behind it starts with 0x00; once that macro
// is gone the next name starts otherwise, and the first record would read back longer and swallow
// it. Such a delete is refused and nothing changes.
TEST_F(DeviceMacrosI2C, ADeleteThatWouldChangeHowTheOthersReadBackIsRefused) {
  Load({{"P", {0xFE, 0xFE, 0xFE, 0xFE, 0x00}}, {"d", {0xA1}}, {"\xE4\xB8\xAD", {0xA4}}});
  ASSERT_EQ(macros.MacroNames(), (std::vector<std::string>{"P", "d", "\xE4\xB8\xAD"}));
  const MacroArea before = image.MacroImage;
  const DeviceMacroChange refused = macros.DeleteMacro(1);
  EXPECT_EQ(refused.status, DeviceMacroStatus::kWouldNotReadBack);
  EXPECT_EQ(image.MacroImage, before);
  EXPECT_EQ(macros.MacroNames(), (std::vector<std::string>{"P", "d", "\xE4\xB8\xAD"}));
  // The others can still go.
  ASSERT_TRUE(macros.DeleteMacro(2).ok());
  EXPECT_EQ(macros.MacroNames(), (std::vector<std::string>{"P", "d"}));
}

TEST_F(DeviceMacrosI2C, ShowingAMacroDecodesItsSteps) {
  Load({{"M1", {0xFE, 0x00, 0x32, 0xA1}}, {"Empty", {}}});
  const std::optional<DeviceMacroView> view = macros.ShowMacro(0);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->hexText, "FE0032A100");
  EXPECT_EQ(view->decoded.lines, (MacroLines{"10", "0 50", "1 LeftKey CODE:00A1"}));
  EXPECT_FALSE(macros.ShowMacro(1));
  EXPECT_FALSE(macros.ShowMacro(2));
}

// Flash tables ---------------------------------------------------------------------------------

class DeviceMacrosFlash : public ::testing::Test {
 protected:
  void Put(std::size_t slot, const MacroNameField& name, const Bytes& steps) {
    std::copy(name.begin(), name.end(), image.FlashMacroName(slot).begin());
    const MacroBody body = Body(steps);
    std::copy(body.begin(), body.end(), image.FlashMacroBody(slot).begin());
  }

  model::DeviceImage image;
  DeviceMacros macros{image};
};

TEST_F(DeviceMacrosFlash, ValidNamesAreListedWithTheirBlocks) {
  Put(0, Name("A"), {0xA1});
  MacroNameField erased;
  erased.fill(0xFF);
  Put(1, erased, {0xA2});
  Put(2, Name("C"), {0xFE, 0x00, 0x32, 0xA4});
  macros.Refresh(MemoryLayout::LayoutFlashFlash);
  EXPECT_EQ(macros.MacroNames(), (std::vector<std::string>{"A", "C"}));
  // A gap keeps each name with its own block.
  EXPECT_EQ(macros.MacroAddress(1), 0x4200);
  EXPECT_EQ(macros.ShowMacro(1)->hexText, "FE0032A400");
  macros.UIToMacroName();
  EXPECT_TRUE(std::all_of(image.FlashMacroName(1).begin(), image.FlashMacroName(1).end(),
                          [](auto b) { return b == 0; }));
  EXPECT_EQ(MacroNameFieldToName(Name("C")), macros.MacroName(1));

  // An add fills the gap first.
  ASSERT_EQ(macros.AddMacro(Name("B"), Body({0xA2})).selected, 1);
  EXPECT_EQ(macros.MacroNames(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(DeviceMacrosFlash, DeletingMovesTheLaterBlocksDownAndEmptiesTheLast) {
  for (std::size_t slot = 0; slot < 32; ++slot) {
    Put(slot, Name("M" + std::to_string(slot)), {0xA1, static_cast<std::uint8_t>(slot)});
  }
  macros.Refresh(MemoryLayout::LayoutFlashFlash);
  EXPECT_EQ(macros.AddMacro(Name("X"), Body({0xA1})).status, DeviceMacroStatus::kFull);
  ASSERT_TRUE(macros.DeleteMacro(5).ok());
  EXPECT_EQ(macros.MacroCount(), 31);
  EXPECT_EQ(macros.MacroName(5), "M6");
  EXPECT_EQ(image.FlashMacroBody(5)[1], 6);
  EXPECT_EQ(image.FlashMacroAddressTable[31], 0x5F00);
  EXPECT_TRUE(std::all_of(image.FlashMacroBody(31).begin(), image.FlashMacroBody(31).end(),
                          [](auto b) { return b == 0; }));
  EXPECT_FALSE(IsValidFlashMacroName(image.FlashMacroName(31)));
}

TEST(DeviceMacrosExport, TheFileHoldsTheWholeMacroMemory) {
  model::DeviceImage image;
  DeviceMacros macros{image};
  EXPECT_TRUE(macros.ExportBytes().empty());
  image.MacroImage = AreaOf({{"M1", {0xA1}}});
  macros.Refresh(MemoryLayout::LayoutFlashI2C);
  EXPECT_EQ(macros.ExportBytes(), Bytes(image.MacroImage.begin(), image.MacroImage.end()));
  image.FlashMacroName(1)[1] = 0x41;
  image.FlashMacroBody(31)[255] = 0x7E;
  macros.Refresh(MemoryLayout::LayoutFlashFlash);
  const Bytes flash = macros.ExportBytes();
  ASSERT_EQ(flash.size(), 8704u);
  EXPECT_EQ(flash[16 + 1], 0x41);
  EXPECT_EQ(flash.back(), 0x7E);
}

// Button bindings ------------------------------------------------------------------------------

// Three EEPROM macros; buttons on both layers bound to each.
TEST(DeviceMacroBindings, DeletingAMacroRepointsItsFollowersAndFreesItsButtons) {
  model::DeviceImage image;
  DeviceMacros macros{image};
  image.MacroImage = AreaOf({{"M1", {0xA1, 0x21}}, {"M2", {0xA2}}, {"M3", {0xA4}}});
  macros.Refresh(MemoryLayout::LayoutI2C);
  model::DataBuf dataBuf;
  dataBuf.SetSlotCode(0, 1, model::MacroKeyCode(0x0210));  // M1
  dataBuf.SetSlotCode(0, 2, model::MacroKeyCode(0x0223));  // M2
  dataBuf.SetSlotCode(1, 2, model::MacroKeyCode(0x0223));  // M2, on the layer not on view
  dataBuf.SetSlotCode(1, 5, model::MacroKeyCode(0x0235));  // M3
  dataBuf.SetSlotCode(0, 6, model::MacroKeyCode(0x0300));  // no macro there: left alone
  dataBuf.SetSlotCode(0, 7, {0x09, 0x02, 0x00, 0x00});

  const std::vector<MacroBinding> bindings = InitKeysParameters(dataBuf, macros);
  ASSERT_EQ(bindings.size(), 4u);
  ASSERT_TRUE(macros.DeleteMacro(0).ok());
  const std::vector<ReboundKey> rebound = RefreshKeysParameters(bindings, 0, macros, dataBuf);
  ASSERT_EQ(rebound.size(), 4u);
  EXPECT_TRUE(rebound[0].fellBack);
  EXPECT_EQ(dataBuf.SlotCodeText(0, 1), "01010000");  // slot 1 falls back to Left Key
  EXPECT_EQ(dataBuf.SlotCodeText(0, 2), "10021000");
  EXPECT_EQ(dataBuf.SlotCodeText(1, 2), "10021000");
  EXPECT_EQ(dataBuf.SlotCodeText(1, 5), "10022200");
  EXPECT_EQ(dataBuf.SlotCodeText(0, 6), "10030000");
  EXPECT_EQ(dataBuf.SlotCodeText(0, 7), "09020000");
}

TEST(DeviceMacroBindings, CaptionsRepointOnlyMacroButtonsThatLostTheirMacro) {
  model::DeviceImage image;
  DeviceMacros macros{image};
  // Two macros share a name; a third is named like a built-in function.
  image.MacroImage = AreaOf({{"Jump", {0xA1}}, {"Jump", {0xA2}}, {"Left Key", {0xA4}}});
  macros.Refresh(MemoryLayout::LayoutI2C);
  model::DataBuf dataBuf;
  dataBuf.SetSlotCode(0, 1, {0x01, 0x01, 0x00, 0x00});
  dataBuf.SetSlotCode(0, 2, model::MacroKeyCode(0x0210 + 18));  // the second Jump
  dataBuf.SetSlotCode(0, 3, model::MacroKeyCode(0x0400));       // stale
  dataBuf.SetSlotCode(1, 3, model::MacroKeyCode(0x0400));
  ButtonPageView page;
  page.captions[0] = "Left Key";
  page.captions[1] = "Jump";
  page.captions[2] = "Jump";

  const std::vector<ReboundKey> rebound = RefreshMacroAddr(page, macros, dataBuf);
  ASSERT_EQ(rebound.size(), 1u);
  EXPECT_EQ(dataBuf.SlotCodeText(0, 1), "01010000");
  EXPECT_EQ(dataBuf.SlotCodeText(0, 2), "10022200");
  EXPECT_EQ(dataBuf.SlotCodeText(0, 3), "10021000");
  EXPECT_EQ(dataBuf.SlotCodeText(1, 3), "10040000");  // only the layer on view

  page.layer = 2;
  dataBuf.SetSlotCode(2, 3, model::MacroKeyCode(0x0400));
  EXPECT_TRUE(RefreshMacroAddr(page, macros, dataBuf).empty());
}

}  // namespace
}  // namespace corvid::macros
