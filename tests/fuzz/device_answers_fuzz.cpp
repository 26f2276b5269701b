// A mouse that answers anything: a stand-in mouse behind a bus that, report by report, refuses
// the report or alters the answer as the input says. The session finds, identifies and reads it
// in full, the poll runs, and settings are written.
//
// Input: one byte picking the layout, then one control byte per feature report (bit 0: refuse it,
// bit 1: replace the answer's payload with the next seven input bytes, bit 2: the mouse leaves the
// bus here). An input that is used up leaves the mouse answering as it should.

#include <algorithm>
#include <vector>

#include "device/clock.h"
#include "device/hid_bus.h"
#include "device/layout_identification.h"
#include "fuzz/fuzz_support.h"
#include "model/default_image.h"
#include "session/session.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"

namespace {

using namespace corvid;

class FuzzedBus final : public device::HidBus {
 public:
  FuzzedBus(device::HidBus& inner, sim::StandInMouse& mouse, fuzz::InputReader& input)
      : inner_(inner), mouse_(mouse), input_(input) {}

  std::vector<device::HidInterfaceInfo> ListInterfaces() override {
    return inner_.ListInterfaces();
  }
  device::OpenResult Open(const std::string& path) override { return inner_.Open(path); }
  bool SendFeatureReport(device::HidHandle handle, std::span<const std::uint8_t> report) override {
    const std::uint8_t control = Control();
    if (control & kRefuse) return false;
    return inner_.SendFeatureReport(handle, report);
  }
  bool GetFeatureReport(device::HidHandle handle, std::span<std::uint8_t> report) override {
    const std::uint8_t control = Control();
    if (control & kRefuse) return false;
    const bool answered = inner_.GetFeatureReport(handle, report);
    if (control & kReplace) {
      for (std::size_t i = 1; i < report.size(); ++i) report[i] = input_.Byte();
    }
    return answered;
  }
  void Close(device::HidHandle handle) override { inner_.Close(handle); }
  std::string LastError(device::HidHandle handle) override { return inner_.LastError(handle); }

 private:
  static constexpr std::uint8_t kRefuse = 0x01;
  static constexpr std::uint8_t kReplace = 0x02;
  static constexpr std::uint8_t kLeave = 0x04;

  std::uint8_t Control() {
    const std::uint8_t control = input_.Byte();
    if (control & kLeave) mouse_.LeaveBus();
    return control;
  }

  device::HidBus& inner_;
  sim::StandInMouse& mouse_;
  fuzz::InputReader& input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader input(data, size);
  const device::MemoryLayout layouts[] = {device::MemoryLayout::LayoutI2C,
                                          device::MemoryLayout::LayoutFlashI2C,
                                          device::MemoryLayout::LayoutFlashFlash};
  const device::MemoryLayout layout = layouts[input.Byte() % 3];

  static const std::span<const std::uint8_t> builtIn = *shell::ResourceBytes("Corvid88Data");
  const std::vector<std::uint8_t> defaultImage =
      model::DefaultImageFor(builtIn, device::EffectiveStorageKind(layout));

  device::FakeClock clock;
  sim::StandInMouse mouse(sim::StandInMouseConfig::ForLayout(layout), clock);
  mouse.SetBank(0, std::span(defaultImage).subspan(0, device::kParameterSectionSize));
  mouse.SetBank(
      1,
      std::span(defaultImage).subspan(device::kParameterSectionSize, device::kProfileSectionSize));
  sim::SimulatedBus simulated;
  simulated.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId,
                       mouse.Config().collections);
  FuzzedBus bus(simulated, mouse, input);
  device::NoBusyWindow busy;
  session::NoSessionObserver observer;
  session::SessionSetup setup = session::BuiltInSetup();
  setup.defaultImage = defaultImage;
  session::Session session(bus, clock, busy, observer, setup);
  session.InitNoDevice();

  session.ReFindDev();
  for (int round = 0; round < 3; ++round) {
    if (session.CanWrite()) {
      (void)session.Protocol().WriteParameterBytes(38, input.Byte(), 0, 0, 1);
      (void)session.Protocol().WriteProfileBytes(4, 0x01, 0x00, 0xF0, 0x00);
    }
    clock.Advance(3'500'000);
    session.DevTimerTimer();
  }
  const int count = session.Macros().MacroCount();
  FUZZ_CHECK(count >= 0 && count <= 32);
  FUZZ_CHECK(session.IsConnected() == session.Link().IsConnected());
  session.FormCloseQuery();
  FUZZ_CHECK(simulated.StrayCloseCount() == 0);
  return 0;
}
