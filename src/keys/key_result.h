#pragma once

// What a click on the button page or a fire-key field led to, and the steps every key operation
// shares: whether the page takes the click at all, and writing one button slot to the mouse.

#include <optional>
#include <string_view>

#include "session/page_result.h"
#include "session/session.h"

namespace corvid::keys {

using session::IsStored;
using session::PageResult;
using session::PageResultText;

// Sends button slots of DataBuf to the mouse, one report group each with the mouse's pause after
// it, when the session may write; remembers how it went.
class SlotWriter {
 public:
  explicit SlotWriter(session::Session& session) : session_(session) {}

  // Layer 0..2, slot 1..12, as DataBuf holds it now.
  void Write(int layer, int slot);
  // The outcome of the change: kWritten, kLocked or kWriteFailed.
  PageResult Result() const;

 private:
  session::Session& session_;
  bool allTaken_ = true;
};

}  // namespace corvid::keys
