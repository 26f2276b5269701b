#include "keys/key_result.h"

#include <cstdint>

#include "model/section_fields.h"

namespace corvid::keys {

std::string_view KeyResultText(KeyResult result) {
  switch (result) {
    case KeyResult::kWritten:
      return "written";
    case KeyResult::kLocked:
      return "the mouse is locked against writes; nothing was sent";
    case KeyResult::kWriteFailed:
      return "the mouse did not take the write";
    case KeyResult::kUnchanged:
      return "nothing to change";
    case KeyResult::kNoLeftKey:
      return "refused: at least one button must stay the left button";
    case KeyResult::kEntryRefused:
      return "the layer cannot be entered yet";
    case KeyResult::kNotOffered:
      return "not offered in this layer";
    case KeyResult::kInvalidArgument:
      return "out of range";
    case KeyResult::kNoMouse:
      return "no mouse connected";
    case KeyResult::kRefused:
      return "the pages are locked for this mouse";
  }
  return "";
}

std::optional<KeyResult> RefuseKeyPageClick(session::Session& session) {
  if (!session.IsConnected()) {
    session.Show("Str022");
    return KeyResult::kNoMouse;
  }
  if (session.ErrorState()) return KeyResult::kRefused;
  return std::nullopt;
}

void SlotWriter::Write(int layer, int slot) {
  if (!session_.CanWrite()) return;
  const model::SlotBytes code = session_.DataBuf().SlotCode(layer, slot);
  // Every slot is sent even after a refused one, so the mouse ends as close to DataBuf as it can.
  if (!session_.Protocol().WriteProfileBytes(
          static_cast<std::uint8_t>(model::KeySlotOffset(layer, slot)), code[0], code[1], code[2],
          code[3])) {
    allTaken_ = false;
  }
}

KeyResult SlotWriter::Result() const {
  if (!session_.CanWrite()) return KeyResult::kLocked;
  return allTaken_ ? KeyResult::kWritten : KeyResult::kWriteFailed;
}

}  // namespace corvid::keys
