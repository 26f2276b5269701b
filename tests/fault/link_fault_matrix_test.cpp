// A mouse that leaves the bus, refuses a command or stops answering read-backs at every point of
// the long transfers: the full read, a reset, a profile load, a macro save and a patch. Whatever
// the point, the tool does not crash or hang, ends with no mouse (and says so) or finds the mouse
// again, and leaves the PC macro library file as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "device/clock.h"
#include "device/layout_identification.h"
#include "device/patch.h"
#include "macros/device_macro_bindings.h"
#include "macros/pc_macro_library.h"
#include "model/default_image.h"
#include "session/device_macro_operations.h"
#include "session/session.h"
#include "session/whole_image_operations.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "support/recording_observer.h"
#include "support/scratch_folder.h"

namespace corvid {
namespace {

using device::MemoryLayout;
using session::ConnectionState;

enum class Operation { kFullRead, kReset, kProfileLoad, kMacroSave, kPatch };

std::string OperationName(Operation operation) {
  switch (operation) {
    case Operation::kFullRead:
      return "full read";
    case Operation::kReset:
      return "reset";
    case Operation::kProfileLoad:
      return "profile load";
    case Operation::kMacroSave:
      return "macro save";
    case Operation::kPatch:
      return "patch";
  }
  return {};
}

// Counts the reports that reach the bus; no trace, so that the hundreds of runs stay fast.
class CountingBus final : public device::HidBus {
 public:
  explicit CountingBus(device::HidBus& inner) : inner_(inner) {}
  std::vector<device::HidInterfaceInfo> ListInterfaces() override {
    return inner_.ListInterfaces();
  }
  device::OpenResult Open(const std::string& path) override { return inner_.Open(path); }
  bool SendFeatureReport(device::HidHandle handle, std::span<const std::uint8_t> report) override {
    ++reports;
    if (report[0] == 0x40) ++commands;
    return inner_.SendFeatureReport(handle, report);
  }
  bool GetFeatureReport(device::HidHandle handle, std::span<std::uint8_t> report) override {
    ++reports;
    return inner_.GetFeatureReport(handle, report);
  }
  void Close(device::HidHandle handle) override { inner_.Close(handle); }
  std::string LastError(device::HidHandle handle) override { return inner_.LastError(handle); }

  int reports = 0;
  int commands = 0;

 private:
  device::HidBus& inner_;
};

// One run: a session with a stand-in mouse, a PC macro library file and a saved profile.
class Bench {
 public:
  // The library file and the profile are made once per test (see MakeSharedFiles): every run
  // only reads them, so that the runs need no disk writes of their own.
  Bench(MemoryLayout layout, const std::filesystem::path& folder)
      : defaultImage(model::DefaultImageFor(*shell::ResourceBytes("Corvid88Data"),
                                            device::EffectiveStorageKind(layout))),
        mouse(sim::StandInMouseConfig::ForLayout(layout), clock),
        library(folder / std::string(macros::kPCMacroFileName)),
        profile(folder / "profile.bin") {
    mouse.SetBank(0, std::span(defaultImage).subspan(0, device::kParameterSectionSize));
    mouse.SetBank(1, std::span(defaultImage)
                         .subspan(device::kParameterSectionSize, device::kProfileSectionSize));
    session::SessionSetup setup = session::BuiltInSetup();
    setup.defaultImage = defaultImage;
    session = std::make_unique<session::Session>(bus, clock, busy, observer, setup);
    session->InitNoDevice();
    if (std::filesystem::exists(library.File())) {
      EXPECT_TRUE(library.CheckPCMacro().ok());
      libraryBytes = *common::ReadWholeFile(library.File());
    }
    std::vector<std::uint8_t> bin(device::kPatchCodeFileOffset + device::kPatchCodeSize, 0x00);
    bin[device::kPatchCodeFileOffset] = 0x5A;
    EXPECT_TRUE(device::LoadPatchBin(bin, patch));
  }

  // The library with one macro, and a profile saved from the connected mouse.
  void MakeSharedFiles() {
    ASSERT_TRUE(library.CheckPCMacro().ok());
    ASSERT_TRUE(library.NewMacro("Jump").ok());
    ASSERT_TRUE(library.SetMacroBody(0, {0x82, 0x2C, 0xFE, 0x00, 0x32, 0x02, 0x2C}).ok());
    libraryBytes = *common::ReadWholeFile(library.File());
    Plug();
    session->ReFindDev();
    ASSERT_EQ(session->State(), ConnectionState::kConnected);
    ASSERT_TRUE(session::SaveProfile(*session, profile));
  }

  void Plug() {
    simulated.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId,
                         mouse.Config().collections);
  }

  // Everything before the operation's first report.
  void Prepare(Operation operation) {
    if (operation == Operation::kFullRead) {
      // The poll has seen the bus without the mouse.
      Poll();
      Plug();
      return;
    }
    Plug();
    session->ReFindDev();
    ASSERT_EQ(session->State(), ConnectionState::kConnected);
    Poll();
  }

  void Run(Operation operation) {
    switch (operation) {
      case Operation::kFullRead:
        Poll();
        break;
      case Operation::kReset:
        (void)session::ResetToDefaults(*session);
        break;
      case Operation::kProfileLoad:
        (void)session::LoadProfile(*session, profile);
        break;
      case Operation::kMacroSave:
        (void)session::AddMacroToMouse(*session, session->Macros(), library.Slot(0),
                                       macros::ButtonPageFromImage(session->DataBuf(), {}));
        break;
      case Operation::kPatch:
        (void)session::ProgramFirmwarePatch(*session, patch);
        break;
    }
  }

  // One tick of the device poll, 3.5 s later.
  void Poll() {
    clock.Advance(3'500'000);
    session->DevTimerTimer();
  }

  std::vector<std::uint8_t> defaultImage;
  device::FakeClock clock;
  sim::StandInMouse mouse;
  sim::SimulatedBus simulated;
  CountingBus bus{simulated};
  device::NoBusyWindow busy;
  testing_support::RecordingObserver observer;
  std::unique_ptr<session::Session> session;
  macros::PcMacroLibrary library;
  std::vector<std::uint8_t> libraryBytes;
  std::filesystem::path profile;
  device::FirmwarePatch patch;
};

struct MatrixCase {
  Operation operation;
  MemoryLayout layout;
};

class LinkFaultMatrixTest : public ::testing::TestWithParam<MatrixCase> {
 protected:
  void SetUp() override {
    Bench first(GetParam().layout, scratch.Path());
    first.MakeSharedFiles();
  }

  // Reports and commands of the operation when nothing goes wrong.
  std::pair<int, int> CleanRun() {
    Bench bench(GetParam().layout, scratch.Path());
    bench.Prepare(GetParam().operation);
    bench.bus.reports = bench.bus.commands = 0;
    bench.Run(GetParam().operation);
    EXPECT_EQ(bench.session->State(), ConnectionState::kConnected);
    return {bench.bus.reports, bench.bus.commands};
  }

  // What must hold after the fault, once the poll has run.
  void ExpectRecovered(Bench& bench, const std::string& where) {
    SCOPED_TRACE(OperationName(GetParam().operation) + ", " + where);
    EXPECT_EQ(*common::ReadWholeFile(bench.library.File()), bench.libraryBytes);
    EXPECT_EQ(bench.simulated.StrayCloseCount(), 0);
    EXPECT_LE(bench.simulated.OpenHandleCount(), 2u);
    bench.Poll();
    bench.Poll();
    const ConnectionState state = bench.session->State();
    if (!bench.mouse.IsPresent()) {
      // A mouse lost while it was being found again after a restart may leave the session
      // "opened, unidentified" with a handle missing; either way it counts as absent.
      EXPECT_TRUE(state == ConnectionState::kNoMouse ||
                  state == ConnectionState::kOpenedUnidentified)
          << session::ConnectionStateText(state);
      EXPECT_FALSE(bench.session->IsConnected());
      // The user is told that the mouse is gone.
      EXPECT_NE(std::find(bench.observer.messages.begin(), bench.observer.messages.end(), "Str100"),
                bench.observer.messages.end());
    } else if (state != ConnectionState::kConnected) {
      // A mouse that refused its identification stays unserved, as one of a kind the tool does
      // not know would, and one that broke its full read off stays locked against writes, until
      // it is plugged in again.
      EXPECT_TRUE(state == ConnectionState::kOpenedUnidentified ||
                  state == ConnectionState::kReadFailed)
          << session::ConnectionStateText(state);
    }
    // Plugged in again, it is found and read in full, and every page is usable.
    if (state != ConnectionState::kConnected) {
      bench.mouse.LeaveBus();
      bench.Poll();
      bench.Poll();
      bench.mouse.ComeBack();
      bench.Poll();
      bench.Poll();
    }
    EXPECT_EQ(bench.session->State(), ConnectionState::kConnected);
    EXPECT_TRUE(bench.session->CanWrite());
    EXPECT_TRUE(bench.observer.devTimerEnabled);
    EXPECT_FALSE(bench.observer.overlayShown);
  }

  testing_support::ScratchFolder scratch;
};

TEST_P(LinkFaultMatrixTest, TheMouseLeavesTheBusAtEveryReport) {
  const int reports = CleanRun().first;
  ASSERT_GT(reports, 0);
  for (int index = 0; index < reports; ++index) {
    Bench bench(GetParam().layout, scratch.Path());
    bench.Prepare(GetParam().operation);
    bench.observer.Clear();
    bench.mouse.LeaveBusAfterReports(index);
    bench.Run(GetParam().operation);
    ExpectRecovered(bench, "left at report " + std::to_string(index));
    if (::testing::Test::HasFailure()) break;  // one index tells; the rest would repeat it
  }
}

TEST_P(LinkFaultMatrixTest, TheMouseRefusesEachCommandOrEveryReadBack) {
  const int commands = CleanRun().second;
  ASSERT_GT(commands, 0);
  for (int index = 0; index <= commands; ++index) {
    Bench bench(GetParam().layout, scratch.Path());
    bench.Prepare(GetParam().operation);
    bench.observer.Clear();
    std::string where;
    if (index < commands) {
      bench.mouse.RefuseCommandAfter(index);
      where = "command " + std::to_string(index) + " refused";
    } else {
      bench.mouse.SetRefuseReadBacks(true);
      where = "read-backs refused";
    }
    bench.Run(GetParam().operation);
    bench.mouse.SetRefuseReadBacks(false);
    ExpectRecovered(bench, where);
    if (::testing::Test::HasFailure()) break;
  }
}

std::string CaseName(const ::testing::TestParamInfo<MatrixCase>& info) {
  const char* const layouts[] = {"I2C", "FlashI2C", "FlashFlash"};
  std::string name =
      OperationName(info.param.operation) + "_" + layouts[static_cast<int>(info.param.layout)];
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(
    Operations, LinkFaultMatrixTest,
    ::testing::Values(MatrixCase{Operation::kFullRead, MemoryLayout::LayoutI2C},
                      MatrixCase{Operation::kReset, MemoryLayout::LayoutFlashI2C},
                      MatrixCase{Operation::kProfileLoad, MemoryLayout::LayoutFlashI2C},
                      MatrixCase{Operation::kMacroSave, MemoryLayout::LayoutI2C},
                      MatrixCase{Operation::kPatch, MemoryLayout::LayoutFlashFlash}),
    CaseName);

}  // namespace
}  // namespace corvid
