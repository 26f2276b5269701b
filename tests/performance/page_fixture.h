#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "device/clock.h"
#include "performance/dpi.h"
#include "performance/lighting.h"
#include "session/session.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"
#include "support/recording_observer.h"
#include "support/session_bench.h"

namespace corvid::performance {

// Stands in for the window: records what the session asks and fills the two pages' state from
// DataBuf whenever the pages are refreshed, as the window does.
class PagesObserver final : public session::SessionObserver {
 public:
  void ShowMessage(const session::Message& message) override { record.ShowMessage(message); }
  void RefreshPages() override {
    record.RefreshPages();
    if (session == nullptr) return;  // the pages are filled again once the test has the session
    FillDpiPage(session->DataBuf(), dpi);
    FillLightingPage(session->DataBuf(), lighting);
  }
  void UIToDataBuf(model::DataBuf& dataBuf) override {
    record.UIToDataBuf(dataBuf);
    DpiPageToDataBuf(dpi, dataBuf);
    LightingPageToDataBuf(lighting, dataBuf);
  }
  void ResetPagesForNoDevice() override {
    record.ResetPagesForNoDevice();
    ResetDpiPageForNoDevice(dpi);
    ResetLightingPageForNoDevice(lighting);
  }
  void ShowErrorPage() override { record.ShowErrorPage(); }
  void RestorePagesAfterRead(bool available) override { record.RestorePagesAfterRead(available); }
  void SetMacroBindingOffered(bool offered) override { record.SetMacroBindingOffered(offered); }
  void ShowBusyOverlay() override { record.ShowBusyOverlay(); }
  void HideBusyOverlay() override { record.HideBusyOverlay(); }
  void SetDevTimerEnabled(bool enabled) override { record.SetDevTimerEnabled(enabled); }

  testing_support::RecordingObserver record;
  DpiPageState dpi;
  LightingPageState lighting;
  session::Session* session = nullptr;
};

// A session on a simulated bus with a stand-in mouse that holds the build's default image; every
// feature report lands in `trace`.
class PageTest : public ::testing::Test {
 protected:
  using Keys = std::vector<std::string>;
  using Lines = std::vector<std::string>;

  // The build is the shipped one, for mice with EEPROM macro storage.
  explicit PageTest(sim::StandInMouseConfig config = {})
      : bench(config, &observer, device::MemoryLayout::LayoutI2C) {
    observer.session = &session;
    session.InitNoDevice();
  }

  // Plugs the mouse with some bank-0 bytes changed, reads it in and starts a fresh record.
  void Connect(std::vector<std::pair<int, std::uint8_t>> bank0Bytes = {}) {
    for (const auto& [offset, value] : bank0Bytes) mouse.Bank(0)[offset] = value;
    PlugAndFind();
    ASSERT_EQ(session.State(), session::ConnectionState::kConnected)
        << observer.record.lastMessage.text;
    StartRecord();
  }

  void PlugAndFind() {
    bench.Plug();
    session.ReFindDev();
  }

  void StartRecord() {
    observer.record.Clear();
    bench.StartRecord();
  }

  // The feature reports sent since the last record started.
  Lines Reports() const { return bench.Reports(); }

  static std::string ParameterWrite(std::uint8_t offset, std::uint8_t b0, std::uint8_t b1,
                                    std::uint8_t b2, std::uint8_t count) {
    const std::uint8_t report[] = {0x40, 0x05, 0x00, offset, b0, b1, b2, count};
    return sim::TraceLine(false, report, true);
  }
  static std::string ByteWrite(std::uint8_t offset, std::uint8_t value) {
    return ParameterWrite(offset, value, 0, 0, 1);
  }

  std::uint8_t DataBufByte(std::size_t offset) {
    return session.DataBuf().Parameter().Data()[offset];
  }

  PagesObserver observer;
  testing_support::SessionBench bench;
  device::FakeClock& clock = bench.clock;
  sim::StandInMouse& mouse = bench.mouse;
  sim::SimulatedBus& simulated = bench.simulated;
  std::ostringstream& trace = bench.trace;
  session::Session& session = *bench.session;
  DpiPageState& dpi = observer.dpi;
  LightingPageState& lighting = observer.lighting;
};

}  // namespace corvid::performance
