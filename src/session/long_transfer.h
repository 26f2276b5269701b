#pragma once

// One long transfer with the mouse (a full read, a whole-image write, the macro memory, a patch):
// the device poll stops, the pages are covered and the busy window shows until the scope ends,
// and then everything is as it was. Every such transfer goes through this scope, so the window
// and the terminal show it alike and nothing reaches the pages halfway.

#include "session/session.h"

namespace corvid::session {

class LongTransfer {
 public:
  explicit LongTransfer(Session& session);
  ~LongTransfer();
  LongTransfer(const LongTransfer&) = delete;
  LongTransfer& operator=(const LongTransfer&) = delete;

  // The poll stays off after the scope: a restart turns it on again once the mouse is found.
  void KeepPollStopped() { restartPoll_ = false; }

 private:
  Session& session_;
  bool restartPoll_ = true;
};

}  // namespace corvid::session
