#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "device/clock.h"
#include "keys/key_layers.h"
#include "model/key_code_text.h"
#include "session/session.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"
#include "support/recording_busy_window.h"
#include "support/recording_observer.h"

namespace corvid::keys {

// A session connected to a stand-in mouse that holds the shipped defaults, with every feature
// report written to a trace. In the defaults slot 1 is the left button and slot 6 a KB reset key
// in every layer, and no button is a KB switch key.
class KeyPageFixture : public ::testing::Test {
 protected:
  KeyPageFixture() : mouse({}, clock) {
    ResetMouse();
    session =
        std::make_unique<session::Session>(traced, clock, busy, observer, session::BuiltInSetup());
    session->InitNoDevice();
  }

  // The mouse holds the shipped defaults again.
  void ResetMouse() {
    const auto image = *shell::ResourceBytes("Corvid88Data");
    mouse.SetBank(0, image.subspan(0, model::kParameterSectionSize));
    mouse.SetBank(1, image.subspan(model::kParameterSectionSize, model::kProfileSectionSize));
  }

  // Plugs the mouse in (once) and reads it in full.
  void Connect() {
    if (!plugged) bus.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId, 1);
    plugged = true;
    session->ReFindDev();
    ASSERT_EQ(session->State(), session::ConnectionState::kConnected);
    observer.Clear();
    trace.str({});
  }

  // Sets a slot in DataBuf and in the mouse, as if it had been read so.
  void Preset(int layer, int slot, const std::string& code) {
    ASSERT_TRUE(session->DataBuf().SetSlotCodeText(layer, slot, code));
    const auto bytes = *model::ParseSlotCodeText(code);
    std::copy(
        bytes.begin(), bytes.end(),
        mouse.Bank(1).begin() + static_cast<std::ptrdiff_t>(model::KeySlotOffset(layer, slot)));
  }

  model::CodeCaptionContext Context() { return CaptionContextOf(*session, nullptr); }
  KeyPageState Page(int layer) {
    return {layer, LayerCaptions(session->DataBuf(), layer, Context())};
  }

  std::string MouseSlot(int layer, int slot) const {
    const auto bank = mouse.Bank(1);
    const auto offset = static_cast<std::ptrdiff_t>(model::KeySlotOffset(layer, slot));
    model::SlotBytes bytes{};
    std::copy(bank.begin() + offset, bank.begin() + offset + 4, bytes.begin());
    return model::SlotCodeText(bytes);
  }

  // The command reports sent since the last clear ("set 40 ..."), without the busy window lines.
  std::vector<std::string> Reports() const {
    std::vector<std::string> reports;
    std::istringstream in(trace.str());
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("set ") || line.starts_with("get ")) reports.push_back(line);
    }
    return reports;
  }

  device::FakeClock clock;
  sim::StandInMouse mouse;
  sim::SimulatedBus bus;
  std::ostringstream trace;
  sim::TracingHidBus traced{bus, trace};
  testing_support::RecordingBusyWindow busy{trace};
  testing_support::RecordingObserver observer;
  std::unique_ptr<session::Session> session;
  bool plugged = false;
};

}  // namespace corvid::keys
