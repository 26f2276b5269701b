#pragma once

// The USB report rate of the advanced page. The mouse takes a higher rate only after it has
// restarted, so raising the rate above the one it was read with restarts it and finds it again.

#include "model/section_fields.h"
#include "performance/dpi.h"
#include "performance/page_click.h"
#include "session/session.h"

namespace corvid::performance {

// Whether choosing `chosen` needs the mouse restarted, given the rate the page was last filled
// with (0 when it has not been filled from a mouse since start-up or since the mouse left).
bool ReconnectNeeded(model::UsbReportRate chosen, int loadedReportRate);

// Checks the chosen rate on the page. Unless WriteLock is set: puts the rate into DataBuf (keeping
// the byte's other bits), writes the byte, and when the rate is higher than the one loaded,
// restarts the mouse and searches for it again, which refills the pages. The result then says
// whether the mouse came back.
PageResult SetReportRate(session::Session& session, DpiPageState& state, model::UsbReportRate rate);

}  // namespace corvid::performance
