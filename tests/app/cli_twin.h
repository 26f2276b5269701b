#pragma once

// What the command-line tool sends for a setting, to hold against what a click on the window
// sends: a session of its own against its own stand-in mouse holding the same bytes, the pages
// filled after a full read as the tool fills them, every feature report in a trace.

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "device/busy_window.h"
#include "device/clock.h"
#include "pages/page_model.h"
#include "session/session.h"
#include "session/session_observer.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"

namespace corvid::app::testing {

class CliTwin {
 public:
  // `like` gives the twin's mouse its configuration and both banks.
  explicit CliTwin(const sim::StandInMouse& like) : mouse(like.Config(), clock) {
    mouse.SetBank(0, like.Bank(0));
    mouse.SetBank(1, like.Bank(1));
    session =
        std::make_unique<session::Session>(traced, clock, busy, observer, session::BuiltInSetup());
    session->InitNoDevice();
    bus.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId,
                   mouse.Config().collections);
    session->ReFindDev();
    pages.Fill(*session, &session->Macros());
    trace.str({});
  }

  // The feature reports `operation` sends.
  std::vector<std::string> Reports(
      const std::function<void(session::Session&, pages::PageModel&)>& operation) {
    trace.str({});
    operation(*session, pages);
    std::vector<std::string> lines;
    std::istringstream in(trace.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  device::FakeClock clock;
  sim::StandInMouse mouse;
  sim::SimulatedBus bus;
  std::ostringstream trace;
  sim::TracingHidBus traced{bus, trace};
  device::NoBusyWindow busy;
  session::NoSessionObserver observer;
  std::unique_ptr<session::Session> session;
  pages::PageModel pages;
};

}  // namespace corvid::app::testing
