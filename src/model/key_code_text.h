#pragma once

// Button codes are also held as text: the four slot bytes as 8 upper-case hexadecimal digits,
// byte 0 first ("01010000"). Every button edit goes through this form.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/section_fields.h"
#include "model/section_image.h"

namespace corvid::model {

// One text per slot: [layer 0..2][slot - 1].
using KeyCodeText = std::array<std::array<std::string, kSlotsPerLayer>, kKeyLayerCount>;

std::string SlotCodeText(const SlotBytes& code);

// Accepts exactly 8 hexadecimal digits (either case); anything else is refused.
std::optional<SlotBytes> ParseSlotCodeText(std::string_view text);

KeyCodeText BuildKeyCodeText(const ProfileSection& profile);

}  // namespace corvid::model
