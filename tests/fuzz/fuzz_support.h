#pragma once

// Small helpers shared by the fuzz targets.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

// A property every input must keep. A broken one aborts, which libFuzzer reports as a crash with
// the input, and which fails a replay run.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

namespace corvid::fuzz {

// Takes bytes from the front of the input, 0 once it is used up.
class InputReader {
 public:
  InputReader(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

  std::uint8_t Byte() {
    if (position_ >= bytes_.size()) return 0;
    return bytes_[position_++];
  }
  std::span<const std::uint8_t> Rest() const { return bytes_.subspan(position_); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

inline bool IsWellFormedUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t point = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      point = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      point = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      point = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < smallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace corvid::fuzz
