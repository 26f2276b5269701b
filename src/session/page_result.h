#pragma once

// What a click on a page, or the same command from the command line, came to. One type for every
// page, so the window and the tool read the outcome of any setting the same way.

#include <optional>
#include <ostream>
#include <string_view>

#include "session/session.h"

namespace corvid::session {

enum class PageResult {
  kWritten,          // stored in DataBuf and taken by the mouse
  kLocked,           // WriteLock is set: the page changed, nothing was sent
  kWriteFailed,      // stored in DataBuf, but the mouse did not take every report
  kUnchanged,        // the click does nothing in this state; nothing was sent
  kNoLeftKey,        // refused: the layer would lose its last left button; nothing changed
  kEntryRefused,     // the layer cannot be entered yet (the user was told why); nothing changed
  kNotOffered,       // the control is disabled or hidden here; nothing changed
  kInvalidArgument,  // no such layer, slot, level, item or setting; nothing changed
  kNoMouse,          // no mouse connected: the user was told so, nothing changed
  kRefused,          // the pages are locked for this mouse (wrong storage); nothing changed
};

std::string_view PageResultText(PageResult result);

inline std::ostream& operator<<(std::ostream& out, PageResult result) {
  return out << PageResultText(result);
}

// Whether the change is now in DataBuf (written to the mouse or not).
constexpr bool IsStored(PageResult result) {
  return result == PageResult::kWritten || result == PageResult::kLocked ||
         result == PageResult::kWriteFailed;
}

// The pages are reached only through the page buttons, which tell the user when no mouse is
// connected and ignore clicks while the pages are locked (ErrorState). Returns the refusal, or
// nothing when the page takes the click.
std::optional<PageResult> RefusePageClick(Session& session);

}  // namespace corvid::session
