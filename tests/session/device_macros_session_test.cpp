#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "model/image_transfer.h"
#include "session/device_macro_operations.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"
#include "support/scratch_folder.h"
#include "support/session_bench.h"

namespace corvid::session {
using namespace macros;
namespace {

using device::MemoryLayout;

PCMacroSlot LibraryMacro(std::string_view name, std::initializer_list<std::uint8_t> steps) {
  PCMacroSlot slot;
  slot.name = *NameToMacroNameField(name);
  std::copy(steps.begin(), steps.end(), slot.body.begin());
  return slot;
}

// A connected session on a stand-in mouse of each memory layout, with the macro model it owns.
class DeviceMacroSessionTest : public ::testing::TestWithParam<MemoryLayout>,
                               public testing_support::SessionBench {
 protected:
  DeviceMacroSessionTest() : SessionBench(sim::StandInMouseConfig::ForLayout(GetParam())) {}

  void Connect() {
    Plug();
    ReadMouse();
  }

  // A full read, as the session does it on arrival; the session rebuilds the macro lists.
  void ReadMouse() {
    session->ReFindDev();
    ASSERT_EQ(session->State(), session::ConnectionState::kConnected);
    StartRecord();
  }

  ButtonPageView Page() { return ButtonPageFromImage(session->DataBuf(), {}); }

  std::uint16_t MacroBase() const {
    return GetParam() == MemoryLayout::LayoutI2C ? 0x0200 : 0x4000;
  }

  DeviceMacros& macros = session->Macros();
  testing_support::ScratchFolder scratch;
  const std::filesystem::path folder = scratch.Path();
};

TEST_P(DeviceMacroSessionTest, AnAddedMacroIsWrittenReadBackAndExported) {
  Connect();
  const DeviceMacroResult added =
      AddMacroToMouse(*session, macros, LibraryMacro("Jump", {0xFE, 0x00, 0x32, 0xA1}), Page());
  ASSERT_TRUE(added.ok());
  EXPECT_EQ(added.written, MacroMemoryWrite::kWritten);
  EXPECT_TRUE(observer.devTimerEnabled);
  EXPECT_FALSE(observer.overlayShown);
  // The body sits where the button codes point: behind its name, or at the start of its block.
  const std::uint16_t address = macros.MacroAddress(0);
  EXPECT_EQ(address, GetParam() == MemoryLayout::LayoutFlashFlash ? 0x4000 : MacroBase() + 16);
  EXPECT_EQ(mouse.Memory()[address], 0xFE);
  EXPECT_EQ(mouse.Memory()[address + 3], 0xA1);

  ReadMouse();
  EXPECT_EQ(macros.MacroNames(), std::vector<std::string>{"Jump"});
  EXPECT_EQ(macros.ShowMacro(0)->hexText, "FE0032A100");

  const DeviceMacroExport exported = ExportDeviceMacros(macros, folder / "all");
  ASSERT_TRUE(exported.ok) << exported.message;
  EXPECT_EQ(exported.file, folder / "all.bin");
  EXPECT_EQ(std::filesystem::file_size(exported.file),
            GetParam() == MemoryLayout::LayoutFlashFlash ? 8704u : 512u);
}

// The save sends the sealed profile section and the macro memory, all inside the busy window.
TEST_P(DeviceMacroSessionTest, TheSaveWritesTheProfileSectionAndTheMacroMemoryInsideTheBusyWindow) {
  Connect();
  ASSERT_TRUE(macros.AddMacro(*NameToMacroNameField("M"), {}).ok());
  session->DataBuf().SetSlotCode(0, 4, model::MacroKeyCode(macros.MacroAddress(0)));
  trace.str({});
  ASSERT_EQ(SaveDeviceMacros(*session, macros, Page()), MacroMemoryWrite::kWritten);
  const std::string log = trace.str();
  const auto busyShown = log.find("busy show");
  const auto busyHidden = log.rfind("busy hide");
  ASSERT_NE(busyShown, std::string::npos) << log;
  ASSERT_NE(busyHidden, std::string::npos);
  EXPECT_LT(busyShown, log.find("set "));
  EXPECT_GT(busyHidden, log.rfind("set "));
  EXPECT_EQ(mouse.Bank(1)[12], 0x10);
  EXPECT_TRUE(std::ranges::equal(mouse.Bank(1), session->DeviceImage().sections.profile.Data()));
  const std::uint16_t names = GetParam() == MemoryLayout::LayoutFlashFlash
                                  ? model::kFlashMacroNameTableAddress
                                  : MacroBase();
  const MacroNameField name = *NameToMacroNameField("M");
  EXPECT_TRUE(std::ranges::equal(mouse.Memory().subspan(names, name.size()), name));
}

TEST_P(DeviceMacroSessionTest, DeletingRepointsTheBoundButtonsOnTheMouse) {
  Connect();
  for (const char* name : {"M1", "M2", "M3"}) {
    ASSERT_TRUE(AddMacroToMouse(*session, macros, LibraryMacro(name, {0xA1, 0x21}), Page()).ok());
  }
  const std::uint16_t m3Before = macros.MacroAddress(2);
  session->DataBuf().SetSlotCode(0, 1, model::MacroKeyCode(macros.MacroAddress(0)));
  session->DataBuf().SetSlotCode(1, 7, model::MacroKeyCode(m3Before));
  trace.str({});

  const DeviceMacroResult deleted = DeleteDeviceMacro(*session, macros, 0, Page());
  ASSERT_TRUE(deleted.ok());
  EXPECT_EQ(deleted.change.selected, 0);
  EXPECT_EQ(deleted.rebound.size(), 2u);
  EXPECT_EQ(macros.MacroNames(), (std::vector<std::string>{"M2", "M3"}));
  const std::uint16_t m3After = macros.MacroAddress(1);
  EXPECT_EQ(m3After, GetParam() == MemoryLayout::LayoutFlashFlash ? 0x4100 : m3Before - 19);

  const auto slotBytes = [&](int layer, int slot) {
    const auto bank = mouse.Bank(1).subspan(model::KeySlotOffset(layer, slot), 4);
    return model::KeyFunctionCode{bank[0], bank[1], bank[2], bank[3]};
  };
  EXPECT_EQ(slotBytes(0, 1), (model::KeyFunctionCode{0x01, 0x01, 0x00, 0x00}));
  EXPECT_EQ(slotBytes(1, 7), model::MacroKeyCode(m3After));

  ReadMouse();
  EXPECT_EQ(macros.MacroNames(), (std::vector<std::string>{"M2", "M3"}));
  EXPECT_EQ(macros.MacroAddress(1), m3After);
}

TEST_P(DeviceMacroSessionTest, ARefusedAddSendsNothing) {
  Connect();
  PCMacroSlot endless = LibraryMacro("Loop", {});
  endless.body.fill(0xA1);
  const DeviceMacroResult result = AddMacroToMouse(*session, macros, endless, Page());
  EXPECT_EQ(result.change.status, DeviceMacroStatus::kOutOfRange);
  EXPECT_EQ(observer.messages, std::vector<std::string>{"Str103"});
  EXPECT_TRUE(trace.str().empty());
  EXPECT_EQ(macros.MacroCount(), 0);
}

// On the EEPROM a record's end can depend on the name behind it: deleting "d" would let "P" read
// back longer and swallow the macro after it. The delete is refused, said, and nothing is sent.
TEST_P(DeviceMacroSessionTest, ADeleteThatWouldSwallowAnotherMacroIsRefusedAndSaid) {
  if (GetParam() != MemoryLayout::LayoutI2C) GTEST_SKIP() << "Flash macros have fixed slots";
  std::vector<std::uint8_t> area;
  const auto record = [&](std::uint8_t first, std::uint8_t second,
                          std::initializer_list<std::uint8_t> body) {
    area.insert(area.end(), {first, second});
    area.resize(area.size() + 14, 0x00);
    area.insert(area.end(), body);
  };
  record(0x00, 'P', {0xFE, 0xFE, 0xFE, 0xFE, 0x00, 0x00});
  record(0x00, 'd', {0xA1, 0x00});
  record(0x4E, 0x2D, {0xA4, 0x00});
  std::ranges::copy(area, mouse.Memory().begin() + MacroBase());
  Connect();
  ASSERT_EQ(macros.MacroCount(), 3);

  const DeviceMacroResult result = DeleteDeviceMacro(*session, macros, 1, Page());
  EXPECT_EQ(result.change.status, DeviceMacroStatus::kWouldNotReadBack);
  EXPECT_NE(observer.lastMessage.text.find("cannot be deleted"), std::string::npos);
  EXPECT_TRUE(trace.str().empty());
  ReadMouse();
  EXPECT_EQ(macros.MacroCount(), 3);
}

// A mouse that refuses part of the macro memory is not reported as written, and the user is told.
TEST_P(DeviceMacroSessionTest, AMacroMemoryTheMouseRefusesIsReportedAsFailed) {
  Connect();
  mouse.RefuseCommandAfter(3);
  const DeviceMacroResult added =
      AddMacroToMouse(*session, macros, LibraryMacro("Jump", {0xFE, 0x00, 0x32, 0xA1}), Page());
  EXPECT_EQ(added.written, MacroMemoryWrite::kWriteFailed);
  EXPECT_NE(observer.lastMessage.text.find("did not take the whole macro memory"),
            std::string::npos)
      << observer.lastMessage.text;
}

INSTANTIATE_TEST_SUITE_P(Layouts, DeviceMacroSessionTest,
                         ::testing::Values(MemoryLayout::LayoutI2C, MemoryLayout::LayoutFlashI2C,
                                           MemoryLayout::LayoutFlashFlash));

}  // namespace
}  // namespace corvid::session
