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
#include "support/recording_busy_window.h"
#include "support/recording_observer.h"

namespace corvid::performance {

// Stands in for the window: records what the session asks and fills the two pages' state from
// DataBuf whenever the pages are refreshed, as the window does.
class PagesObserver final : public session::SessionObserver {
 public:
  void ShowMessage(const session::Message& message) override { record.ShowMessage(message); }
  void RefreshPages() override {
    record.RefreshPages();
    FillDpiPage(session->DataBuf(), dpi);
    FillLightingPage(session->DataBuf(), lighting);
  }
  void ResetPagesForNoDevice() override {
    record.ResetPagesForNoDevice();
    ResetDpiPageForNoDevice(dpi);
    ResetLightingPageForNoDevice(lighting);
  }
  void ShowErrorPage() override { record.ShowErrorPage(); }
  void RestorePagesAfterRead(bool available) override { record.RestorePagesAfterRead(available); }
  void SetFunctionMenuHeight(int pixels) override { record.SetFunctionMenuHeight(pixels); }
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

  explicit PageTest(sim::StandInMouseConfig config = {}) : mouse(config, clock) {
    observer.session = &session;
    const auto image = *shell::ResourceBytes("Corvid88Data");
    mouse.SetBank(0, image.subspan(0, 104));
    mouse.SetBank(1, image.subspan(104, 145));
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
    simulated.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId,
                         mouse.Config().collections, true);
    session.ReFindDev();
  }

  void StartRecord() {
    observer.record.Clear();
    trace.str({});
  }

  // The feature reports sent since the last record started.
  Lines Reports() const {
    Lines reports;
    std::istringstream in(trace.str());
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("set ") || line.starts_with("get ")) reports.push_back(line);
    }
    return reports;
  }

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

  device::FakeClock clock;
  sim::StandInMouse mouse;
  sim::SimulatedBus simulated;
  std::ostringstream trace;
  sim::TracingHidBus bus{simulated, trace};
  testing_support::RecordingBusyWindow busy{trace};
  PagesObserver observer;
  session::Session session{bus, clock, busy, observer, session::BuiltInSetup()};
  DpiPageState& dpi = observer.dpi;
  LightingPageState& lighting = observer.lighting;
};

}  // namespace corvid::performance
