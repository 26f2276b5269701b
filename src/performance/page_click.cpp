#include "performance/page_click.h"

namespace corvid::performance {

std::string_view ClickResultText(ClickResult result) {
  switch (result) {
    case ClickResult::kWritten:
      return "written";
    case ClickResult::kUnchanged:
      return "nothing to change";
    case ClickResult::kLocked:
      return "the mouse is locked against writes; nothing was sent";
    case ClickResult::kNotOffered:
      return "not offered for this mouse in its present state";
    case ClickResult::kInvalidArgument:
      return "out of range";
    case ClickResult::kWriteFailed:
      return "the mouse did not take the write";
    case ClickResult::kNoMouse:
      return "no mouse connected";
    case ClickResult::kRefused:
      return "the pages are locked for this mouse";
  }
  return "";
}

std::optional<ClickResult> RefusePageClick(session::Session& session) {
  if (!session.IsConnected()) {
    session.Show("Str022");
    return ClickResult::kNoMouse;
  }
  if (session.ErrorState()) return ClickResult::kRefused;
  return std::nullopt;
}

void ParameterWriter::Write(std::size_t offset, std::uint8_t b0) { Send(offset, b0, 0, 0, 1); }

void ParameterWriter::Write(std::size_t offset, std::uint8_t b0, std::uint8_t b1) {
  Send(offset, b0, b1, 0, 2);
}

void ParameterWriter::Write(std::size_t offset, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  Send(offset, b0, b1, b2, 3);
}

void ParameterWriter::Send(std::size_t offset, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                           std::uint8_t count) {
  // Every group is sent even after a refused one, so that the mouse ends as close to the page as
  // it can.
  if (!session_.Protocol().WriteParameterBytes(static_cast<std::uint8_t>(offset), b0, b1, b2,
                                               count)) {
    allTaken_ = false;
  }
}

}  // namespace corvid::performance
