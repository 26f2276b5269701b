#include "session/whole_image_operations.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "common/file_io.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"
#include "support/scratch_folder.h"
#include "support/session_bench.h"

namespace corvid::session {
namespace {

using device::MemoryLayout;
using sim::StandInMouseConfig;

// A session on a stand-in mouse of each layout, for a build made for it.
class OperationsTest : public ::testing::TestWithParam<MemoryLayout>,
                       public testing_support::SessionBench {
 protected:
  OperationsTest() : SessionBench(StandInMouseConfig::ForLayout(GetParam())) {}

  testing_support::ScratchFolder scratch;
  const std::filesystem::path folder = scratch.Path();
};

TEST_P(OperationsTest, AProfileSavedFromOneMouseLoadsIntoAnotherByteForByte) {
  Connect();
  session->DataBuf().SetSlotCodeText(0, 4, "02080700");
  session->DataBuf().Parameter().SetDpiLevelByte(0x52);
  session->DeviceImage().MacroImage[5] = 0x33;
  session->DeviceImage().FlashMacroBody(7)[0] = 0x44;
  ASSERT_TRUE(SaveProfile(*session, folder / "mine"));
  EXPECT_TRUE(trace.str().empty());  // saving sends nothing

  // A second mouse of the same kind takes the profile.
  const model::DeviceImage saved = session->DeviceImage();
  simulated.Unplug(plug);
  sim::StandInMouse other(StandInMouseConfig::ForLayout(GetParam()), clock);
  simulated.PlugDevice(other, other.Config().vendorId, other.Config().productId, 1);
  session->ReFindDev();
  ASSERT_EQ(session->State(), ConnectionState::kConnected);
  observer.Clear();

  ASSERT_TRUE(LoadProfile(*session, folder / "mine.bin"));
  EXPECT_TRUE(observer.messages.empty());
  EXPECT_TRUE(std::ranges::equal(other.Bank(0), saved.sections.parameter.Data()));
  EXPECT_TRUE(std::ranges::equal(other.Bank(1), saved.sections.profile.Data()));
  EXPECT_EQ(other.Bank(0)[0], GetParam() == MemoryLayout::LayoutFlashFlash ? 0xF0 : 0xE0);
  EXPECT_EQ(session->DataBuf().SlotCodeText(0, 4), "02080700");
  if (GetParam() == MemoryLayout::LayoutFlashFlash) {
    EXPECT_EQ(other.Memory()[0x4000 + 7 * 256], 0x44);
  } else {
    // The macro area is parsed and rebuilt on load (a stray byte behind the end marker goes);
    // the mouse gets exactly the rebuilt area.
    const int macroBase = GetParam() == MemoryLayout::LayoutI2C ? 0x200 : 0x4000;
    EXPECT_TRUE(std::equal(session->DeviceImage().MacroImage.begin(),
                           session->DeviceImage().MacroImage.end(),
                           other.Memory().begin() + macroBase));
  }
  EXPECT_TRUE(observer.devTimerEnabled);
  EXPECT_FALSE(observer.overlayShown);
  EXPECT_EQ(observer.pageRefreshes, 1);
}

TEST_P(OperationsTest, WithoutAMouseNothingHappensButTheMessage) {
  EXPECT_EQ(SaveProfile(*session, folder / "x").outcome, OperationOutcome::kNoMouse);
  EXPECT_EQ(LoadProfile(*session, folder / "x.bin").outcome, OperationOutcome::kNoMouse);
  EXPECT_EQ(ResetToDefaults(*session).outcome, OperationOutcome::kNoMouse);
  EXPECT_EQ(observer.messages, (std::vector<std::string>{"Str022", "Str022", "Str022"}));
  EXPECT_FALSE(std::filesystem::exists(folder / "x.bin"));
  EXPECT_TRUE(trace.str().empty());
}

TEST_P(OperationsTest, AProfileOfTheOtherStorageIsRefusedAndNothingSent) {
  Connect();
  std::vector<std::uint8_t> file(8960, 0x00);
  file[0] = GetParam() == MemoryLayout::LayoutFlashFlash ? 0xE0 : 0xF0;
  const auto path = folder / "other.bin";
  ASSERT_TRUE(common::WriteFileAtomically(path, file));
  const model::DeviceImage before = session->DeviceImage();

  const OperationResult result = LoadProfile(*session, path);
  EXPECT_EQ(result.outcome, OperationOutcome::kRefused);
  EXPECT_EQ(observer.lastMessage.text, "Loading .bin is error!");
  EXPECT_TRUE(trace.str().empty());
  EXPECT_EQ(session->DeviceImage().sections, before.sections);
}

TEST_P(OperationsTest, ResetWritesTheDefaultsAndShowsThem) {
  Connect();
  session->DataBuf().Parameter().SetDpiLevelByte(0x00);
  mouse.Bank(0)[38] = 0x00;
  ASSERT_TRUE(ResetToDefaults(*session));
  EXPECT_EQ(mouse.Bank(0)[38], defaultImage[38]);
  EXPECT_EQ(session->DataBuf().Parameter().DpiLevelByte(), defaultImage[38]);
  EXPECT_EQ(observer.pageRefreshes, 1);
  EXPECT_TRUE(observer.devTimerEnabled);
  EXPECT_FALSE(observer.overlayShown);
}

TEST_P(OperationsTest, AMouseThatRefusesTheWholeImageWriteIsReportedAsAFailureWithTheReason) {
  Connect();
  ASSERT_TRUE(SaveProfile(*session, folder / "mine"));
  const auto refusedWithReason = [&](const OperationResult& result) {
    EXPECT_EQ(result.outcome, OperationOutcome::kWriteFailed);
    EXPECT_NE(result.message.find("refused"), std::string::npos) << result.message;
    EXPECT_EQ(observer.lastMessage.text, result.message);
    // The pages are usable again and show what was meant to be written.
    EXPECT_TRUE(observer.devTimerEnabled);
    EXPECT_FALSE(observer.overlayShown);
    EXPECT_EQ(observer.pageRefreshes, 1);
    observer.Clear();
  };
  observer.Clear();
  mouse.RefuseNextCommand();
  refusedWithReason(LoadProfile(*session, folder / "mine.bin"));
  mouse.RefuseCommandAfter(3);  // a macro block rather than a section
  refusedWithReason(ResetToDefaults(*session));

  // An earlier refusal does not taint the next operation.
  EXPECT_TRUE(ResetToDefaults(*session));
}

TEST_P(OperationsTest, ThePatchIsProgrammedOnlyIntoAFlashMouseWithAFileLoaded) {
  Connect();
  device::FirmwarePatch patch;
  EXPECT_FALSE(ProgramFirmwarePatch(*session, patch));
  EXPECT_TRUE(trace.str().empty());  // Update before a file was loaded sends nothing

  std::vector<std::uint8_t> bin(0x8000 + 0x400, 0x00);
  bin[0x8000] = 0x5A;
  ASSERT_TRUE(device::LoadPatchBin(bin, patch));
  const OperationResult result = ProgramFirmwarePatch(*session, patch);
  if (GetParam() != MemoryLayout::LayoutFlashFlash) {
    EXPECT_EQ(result.outcome, OperationOutcome::kNotIdentified);
    EXPECT_EQ(mouse.RestartCount(), 0);
    return;
  }
  ASSERT_TRUE(result);
  EXPECT_EQ(mouse.Memory()[0xC000], 0x5A);
  EXPECT_EQ(mouse.Memory()[0x100E], 0x01);  // checksum 0x005A XOR 0x015A
  EXPECT_EQ(mouse.Memory()[0x100F], 0x00);
  EXPECT_EQ(mouse.RestartCount(), 1);
  EXPECT_EQ(session->State(), ConnectionState::kConnected);  // found again after the restart
}

INSTANTIATE_TEST_SUITE_P(Layouts, OperationsTest,
                         ::testing::Values(MemoryLayout::LayoutI2C, MemoryLayout::LayoutFlashI2C,
                                           MemoryLayout::LayoutFlashFlash));

}  // namespace
}  // namespace corvid::session
