#include "session/long_transfer.h"

namespace corvid::session {

LongTransfer::LongTransfer(Session& session) : session_(session) {
  session_.Protocol().ClearLastFailure();
  session_.Observer().SetDevTimerEnabled(false);
  session_.Observer().ShowBusyOverlay();
  session_.Busy().Show();
  session_.Busy().ProcessPendingEvents();
}

LongTransfer::~LongTransfer() {
  session_.Busy().Hide();
  session_.Busy().ProcessPendingEvents();
  session_.Observer().HideBusyOverlay();
  if (restartPoll_) session_.Observer().SetDevTimerEnabled(true);
}

}  // namespace corvid::session
