#include "session/page_result.h"

namespace corvid::session {

std::string_view PageResultText(PageResult result) {
  switch (result) {
    case PageResult::kWritten:
      return "written";
    case PageResult::kLocked:
      return "the mouse is locked against writes; nothing was sent";
    case PageResult::kWriteFailed:
      return "the mouse did not take the write";
    case PageResult::kUnchanged:
      return "nothing to change";
    case PageResult::kNoLeftKey:
      return "refused: at least one button must stay the left button";
    case PageResult::kEntryRefused:
      return "the layer cannot be entered yet";
    case PageResult::kNotOffered:
      return "not offered for this mouse in its present state";
    case PageResult::kInvalidArgument:
      return "out of range";
    case PageResult::kNoMouse:
      return "no mouse connected";
    case PageResult::kRefused:
      return "the pages are locked for this mouse";
  }
  return "";
}

std::optional<PageResult> RefusePageClick(Session& session) {
  if (!session.IsConnected()) {
    session.Show("Str022");
    return PageResult::kNoMouse;
  }
  if (session.ErrorState()) return PageResult::kRefused;
  return std::nullopt;
}

}  // namespace corvid::session
