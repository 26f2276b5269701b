#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/layout_identification.h"
#include "device/memory_layout.h"
#include "model/default_image.h"
#include "session/session.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"
#include "support/recording_busy_window.h"
#include "support/recording_observer.h"
#include "support/sim_fixture.h"

namespace corvid::testing_support {

// The build's default image, marked for the macro storage of a mouse of this layout, so that a
// session made with it serves that mouse.
inline std::vector<std::uint8_t> DefaultImageFor(device::MemoryLayout layout) {
  return model::DefaultImageFor(*shell::ResourceBytes("Corvid88Data"),
                                device::EffectiveStorageKind(layout));
}

// A session on a simulated bus with a stand-in mouse that holds the build's defaults, for a build
// made for that mouse (or for `buildFor`). Every feature report and every step of the busy window
// lands in `trace`; the session tells `observer` (or the observer given) what it would show.
class SessionBench {
 public:
  explicit SessionBench(sim::StandInMouseConfig config = {},
                        session::SessionObserver* shown = nullptr,
                        std::optional<device::MemoryLayout> buildFor = std::nullopt)
      : defaultImage(DefaultImageFor(
            buildFor.value_or(config.Layout().value_or(device::MemoryLayout::LayoutI2C)))),
        mouse(config, clock) {
    mouse.SetBank(0, std::span(defaultImage).subspan(0, device::kParameterSectionSize));
    mouse.SetBank(1, std::span(defaultImage)
                         .subspan(device::kParameterSectionSize, device::kProfileSectionSize));
    session::SessionSetup setup = session::BuiltInSetup();
    setup.defaultImage = defaultImage;
    session = std::make_unique<session::Session>(traced, clock, busy,
                                                 shown != nullptr ? *shown : observer, setup);
    session->InitNoDevice();
  }

  // Plugs the mouse in, once.
  void Plug() {
    if (plug != 0) return;
    plug = simulated.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId,
                                mouse.Config().collections);
  }

  // Plugs the mouse in, reads it in full and starts a fresh record.
  void Connect() {
    Plug();
    session->ReFindDev();
    ASSERT_EQ(session->State(), session::ConnectionState::kConnected) << observer.lastMessage.text;
    StartRecord();
  }

  void StartRecord() {
    observer.Clear();
    trace.str({});
  }

  std::vector<std::string> Reports() const { return ReportLines(trace.str()); }

  std::vector<std::uint8_t> defaultImage;
  device::FakeClock clock;
  sim::StandInMouse mouse;
  sim::SimulatedBus simulated;
  std::ostringstream trace;
  sim::TracingHidBus traced{simulated, trace};
  RecordingBusyWindow busy{trace};
  RecordingObserver observer;
  std::unique_ptr<session::Session> session;
  int plug = 0;
};

}  // namespace corvid::testing_support
