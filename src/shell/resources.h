#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace corvid::shell {

// The bytes of the program resource called name (letter case does not matter: "lang1" finds
// "LANG1"), or nothing when the build carries no such resource. The bytes live as long as the
// program.
std::optional<std::span<const std::uint8_t>> ResourceBytes(std::string_view name);

}  // namespace corvid::shell
