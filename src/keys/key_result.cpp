#include "keys/key_result.h"

#include <cstdint>

#include "model/section_fields.h"

namespace corvid::keys {

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

PageResult SlotWriter::Result() const {
  if (!session_.CanWrite()) return PageResult::kLocked;
  return allTaken_ ? PageResult::kWritten : PageResult::kWriteFailed;
}

}  // namespace corvid::keys
