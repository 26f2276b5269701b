#include "model/key_code_text.h"

namespace corvid::model {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

std::optional<unsigned> HexDigitValue(char digit) {
  if (digit >= '0' && digit <= '9') return static_cast<unsigned>(digit - '0');
  if (digit >= 'A' && digit <= 'F') return static_cast<unsigned>(digit - 'A' + 10);
  if (digit >= 'a' && digit <= 'f') return static_cast<unsigned>(digit - 'a' + 10);
  return std::nullopt;
}

}  // namespace

std::string SlotCodeText(const SlotBytes& code) {
  std::string text;
  text.reserve(2 * kSlotSize);
  for (const std::uint8_t byte : code) {
    text.push_back(kHexDigits[byte >> 4U]);
    text.push_back(kHexDigits[byte & 0x0FU]);
  }
  return text;
}

std::optional<SlotBytes> ParseSlotCodeText(std::string_view text) {
  if (text.size() != 2 * kSlotSize) return std::nullopt;
  SlotBytes code{};
  for (std::size_t i = 0; i < kSlotSize; ++i) {
    const auto high = HexDigitValue(text[2 * i]);
    const auto low = HexDigitValue(text[2 * i + 1]);
    if (!high || !low) return std::nullopt;
    code[i] = static_cast<std::uint8_t>((*high << 4U) | *low);
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
