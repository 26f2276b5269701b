#include "model/key_code_text.h"

#include "common/hex.h"

namespace corvid::model {

std::string SlotCodeText(const SlotBytes& code) { return common::BytesToHexText(code); }

std::optional<SlotBytes> ParseSlotCodeText(std::string_view text) {
  if (text.size() != 2 * kSlotSize) return std::nullopt;
  SlotBytes code{};
  for (std::size_t i = 0; i < kSlotSize; ++i) {
    const int high = common::HexDigitValue(text[2 * i]);
    const int low = common::HexDigitValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    code[i] = static_cast<std::uint8_t>((high << 4) | low);
  }
  return code;
}

KeyCodeText BuildKeyCodeText(const ProfileSection& profile) {
  KeyCodeText table;
  for (int layer = 0; layer < kKeyLayerCount; ++layer) {
    for (int slot = 1; slot <= kSlotsPerLayer; ++slot) {
      table[layer][slot - 1] = SlotCodeText(profile.Slot(layer, slot));
    }
  }
  return table;
}

}  // namespace corvid::model
