#pragma once

// What a click on the button page or a fire-key field led to, and the steps every key operation
// shares: whether the page takes the click at all, and writing one button slot to the mouse.

#include <optional>
#include <string_view>

#include "session/session.h"

namespace corvid::keys {

enum class KeyResult {
  kWritten,          // stored in DataBuf and taken by the mouse
  kLocked,           // DataBuf changed, nothing was sent (WriteLock is set, or no mouse)
  kWriteFailed,      // stored in DataBuf, but the mouse did not take every report
  kUnchanged,        // nothing in the layer concerned the change; nothing was sent
  kNoLeftKey,        // refused: the layer would lose its last left button; nothing changed
  kEntryRefused,     // the layer cannot be entered yet (the user was told why); nothing changed
  kNotOffered,       // the function or layer cannot be edited here; nothing changed
  kInvalidArgument,  // no such layer, slot, item or setting; nothing changed
  kNoMouse,          // no mouse connected: the user was told so, nothing changed
  kRefused,          // the pages are locked for this mouse (wrong storage); nothing changed
};

std::string_view KeyResultText(KeyResult result);

// Whether the change is now in DataBuf (written to the mouse or not).
constexpr bool IsStored(KeyResult result) {
  return result == KeyResult::kWritten || result == KeyResult::kLocked ||
         result == KeyResult::kWriteFailed;
}

// The button page is reached only with a mouse, and is locked while the mouse is one this build
// does not serve. Tells the user when no mouse is connected. Returns the refusal, or nothing when
// the page takes the click.
std::optional<KeyResult> RefuseKeyPageClick(session::Session& session);

// Sends button slots of DataBuf to the mouse, one report group each with the mouse's pause after
// it, when the session may write; remembers how it went.
class SlotWriter {
 public:
  explicit SlotWriter(session::Session& session) : session_(session) {}

  // Layer 0..2, slot 1..12, as DataBuf holds it now.
  void Write(int layer, int slot);
  // The outcome of the change: kWritten, kLocked or kWriteFailed.
  KeyResult Result() const;

 private:
  session::Session& session_;
  bool allTaken_ = true;
};

}  // namespace corvid::keys
