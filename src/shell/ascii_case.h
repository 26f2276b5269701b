#pragma once

#include <algorithm>
#include <string_view>

namespace corvid::shell {

// Resource names, INI section names and INI keys are matched without regard to the case of the
// ASCII letters; other characters must be equal.
constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

// Ordering for maps keyed without regard to case.
struct AsciiCaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return AsciiLower(x) < AsciiLower(y);
    });
  }
};

}  // namespace corvid::shell
