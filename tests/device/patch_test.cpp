#include "device/patch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "common/file_io.h"
#include "support/scratch_folder.h"
#include "support/sim_fixture.h"

namespace corvid::device {
namespace {

namespace fs = std::filesystem;
using testing_support::SimFixture;
using Bytes = std::vector<std::uint8_t>;

// A firmware image with distinct bytes around and inside the patch code.
Bytes FirmwareFile(std::size_t size) {
  Bytes file(size);
  for (std::size_t i = 0; i < size; ++i) file[i] = static_cast<std::uint8_t>(i * 5 + i / 256);
  return file;
}

TEST(PatchHeaderTest, CarriesAddressLengthConstantAndChecksum) {
  struct Case {
    std::uint8_t fill;
    std::uint8_t high;
    std::uint8_t low;
  };
  // All zero: 0x0000 ^ 0x015A. All 0xFF: 1024 * 255 wraps to 0xFC00, ^ 0x015A.
  for (const Case c : {Case{0x00, 0x01, 0x5A}, Case{0xFF, 0xFD, 0x5A}}) {
    FirmwarePatch patch;
    patch.PatchCode.fill(c.fill);
    patch.CheckPatchCodeSection();
    EXPECT_EQ(patch.PatchHeader, (PatchHeaderBytes{0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x00, 0x04, 0x00,
                                                   0x00, 0x1A, c.high, c.low}));
  }
}

class PatchFileTest : public ::testing::Test {
 protected:
  fs::path Write(const Bytes& bytes) {
    const fs::path path = dir / "firmware.bin";
    EXPECT_TRUE(common::WriteFileAtomically(path, bytes));
    return path;
  }

  testing_support::ScratchFolder scratch;
  const fs::path dir = scratch.Path();
};

TEST_F(PatchFileTest, TakesTheCodeAtOffset0x8000) {
  const Bytes file = FirmwareFile(0x10000);
  FirmwarePatch patch;
  const PatchLoadResult load = LoadPatchBin(Write(file), patch);
  ASSERT_TRUE(load) << load.message;
  EXPECT_TRUE(patch.BinLoaded);
  EXPECT_TRUE(std::ranges::equal(patch.PatchCode, std::span(file).subspan(0x8000, kPatchCodeSize)));

  patch.EnterPage();
  EXPECT_FALSE(patch.BinLoaded);
}

TEST_F(PatchFileTest, FileWithoutTheWholeCodeIsRefusedAndKeepsTheCode) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{0x8000}, std::size_t{0x8000 + 1023}}) {
    SCOPED_TRACE(size);
    FirmwarePatch patch;
    ASSERT_TRUE(LoadPatchBin(FirmwareFile(0x8400), patch));  // an earlier, good file
    const PatchCodeBytes earlier = patch.PatchCode;

    const PatchLoadResult load = LoadPatchBin(Write(Bytes(size, 0xAB)), patch);
    EXPECT_EQ(load.outcome, PatchLoadOutcome::kTooShort);
    EXPECT_EQ(load.messageKey, "Str443");
    EXPECT_EQ(patch.PatchCode, earlier);
    // The earlier file's code must not be programmed in place of the one now chosen.
    EXPECT_FALSE(patch.BinLoaded);
  }
}

TEST_F(PatchFileTest, UnreadableFileSaysWhy) {
  FirmwarePatch patch;
  const PatchLoadResult load = LoadPatchBin(dir / "absent.bin", patch);
  EXPECT_EQ(load.outcome, PatchLoadOutcome::kUnreadable);
  EXPECT_NE(load.message.find("absent.bin"), std::string::npos);
  EXPECT_FALSE(patch.BinLoaded);
}

class PatchProgramTest : public SimFixture {
 protected:
  PatchProgramTest() : SimFixture(sim::StandInMouseConfig::ForLayout(kLayout)) {}

  static constexpr MemoryLayout kLayout = MemoryLayout::LayoutFlashFlash;
  FirmwarePatch patch;
};

TEST_F(PatchProgramTest, WritesTheCodeThenTheHeader) {
  Connect();
  ASSERT_TRUE(LoadPatchBin(FirmwareFile(0x8400), patch));

  const PatchProgramResult result = ProgramPatch(protocol, link, kLayout, patch, busy);
  ASSERT_EQ(result.outcome, PatchProgramOutcome::kProgrammed);
  EXPECT_TRUE(result.accepted);

  const std::vector<std::string> reports = Reports();
  ASSERT_EQ(reports.size(), 1U + 147U + 1U + 3U);
  EXPECT_EQ(reports[0], "set 40 07 C0 00 04 00 00 00");
  EXPECT_TRUE(std::all_of(reports.begin() + 1, reports.begin() + 148,
                          [](const std::string& r) { return r.starts_with("set 41 "); }));
  EXPECT_EQ(reports[148], "set 40 07 10 00 00 10 00 00");
  EXPECT_TRUE(std::all_of(reports.begin() + 149, reports.end(),
                          [](const std::string& r) { return r.starts_with("set 41 "); }));

  EXPECT_TRUE(std::ranges::equal(mouse.Memory().subspan(0xC000, 1024), patch.PatchCode));
  EXPECT_TRUE(std::ranges::equal(mouse.Memory().subspan(0x1000, 16), patch.PatchHeader));
  EXPECT_EQ(patch.PatchHeader, BuildPatchHeader(patch.PatchCode));
  EXPECT_EQ(LogLines().front(), "busy show");
  EXPECT_EQ(LogLines().back(), "events");  // the busy window is hidden again
  EXPECT_EQ(mouse.RestartCount(), 0);      // restarting is the caller's
}

TEST_F(PatchProgramTest, SendsNothingWithoutAMouseALoadedFileOrAFlashFlashMouse) {
  ASSERT_TRUE(LoadPatchBin(FirmwareFile(0x8400), patch));
  EXPECT_EQ(ProgramPatch(protocol, link, kLayout, patch, busy).outcome,
            PatchProgramOutcome::kNoMouse);

  Connect();
  EXPECT_EQ(ProgramPatch(protocol, link, MemoryLayout::LayoutFlashI2C, patch, busy).outcome,
            PatchProgramOutcome::kNotFlashFlash);
  EXPECT_EQ(ProgramPatch(protocol, link, std::nullopt, patch, busy).outcome,
            PatchProgramOutcome::kNotFlashFlash);

  patch.EnterPage();  // Update pressed right after entering the page
  EXPECT_EQ(ProgramPatch(protocol, link, kLayout, patch, busy).outcome,
            PatchProgramOutcome::kNoBinLoaded);
  EXPECT_TRUE(LogLines().empty());
}

}  // namespace
}  // namespace corvid::device
