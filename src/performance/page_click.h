#pragma once

// What the setting pages share: the outcome of a click, the check that a page can take clicks at
// all, the single-group writes to the parameter section and the colour conversions.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/section_fields.h"
#include "session/page_result.h"
#include "session/session.h"

namespace corvid::performance {

using session::PageResult;
using session::PageResultText;
using session::RefusePageClick;

// Writes groups of up to three parameter-section bytes, one group at a time with the mouse's pause
// after each, and remembers whether every group was taken. Callers have checked WriteLock.
class ParameterWriter {
 public:
  explicit ParameterWriter(session::Session& session) : session_(session) {}

  void Write(std::size_t offset, std::uint8_t b0);
  void Write(std::size_t offset, std::uint8_t b0, std::uint8_t b1);
  void Write(std::size_t offset, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);

  PageResult Result() const { return allTaken_ ? PageResult::kWritten : PageResult::kWriteFailed; }

 private:
  void Send(std::size_t offset, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
            std::uint8_t count);

  session::Session& session_;
  bool allTaken_ = true;
};

// An 8-bit channel of a chosen colour as the 4-bit value the mouse keeps: the remainder is dropped,
// so only 255 reaches 15.
constexpr std::uint8_t FourBitChannel(std::uint8_t channel) {
  return static_cast<std::uint8_t>(channel * 15U / 255U);
}

constexpr model::ColourChannels FourBitChannels(model::ColourChannels chosen) {
  return {FourBitChannel(chosen.red), FourBitChannel(chosen.green), FourBitChannel(chosen.blue)};
}

// How a swatch paints stored 4-bit channels: 15 is full intensity. A stored byte above 15 paints
// at full intensity.
constexpr model::ColourChannels SwatchColour(model::ColourChannels stored) {
  const auto scale = [](std::uint8_t v) {
    return static_cast<std::uint8_t>(v >= 15U ? 255U : v * 17U);
  };
  return {scale(stored.red), scale(stored.green), scale(stored.blue)};
}

}  // namespace corvid::performance
