#include "macros/step_codec.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "macros/conversion.h"
#include "model/key_tables.h"

namespace corvid::macros {
namespace {

constexpr std::uint16_t kMaxDelay = 65535;
// Kind 1 and 2 lines end in " CODE:" and four hex digits.
constexpr std::size_t kKeyLineTailLength = 10;
constexpr std::size_t kDelaySampleSize = 4;

struct ModifierEntry {
  std::uint8_t mask;
  std::string_view name;
};
constexpr std::array<ModifierEntry, 5> kModifiers{{
    {kModifierCtrl, "Ctrl"},
    {kModifierShift, "Shift"},
    {kModifierAlt, "Alt"},
    {kModifierLeftWindows, "Left Windows"},
    {kModifierRightWindows, "Right Windows"},
}};

struct ButtonEntry {
  std::uint8_t typeByte;
  std::string_view line;
};
constexpr std::array<ButtonEntry, 10> kButtonLines{{
    {0xA1, "1 LeftKey CODE:00A1"},
    {0x21, "2 LeftKey CODE:0021"},
    {0xA2, "1 RightKey CODE:00A2"},
    {0x22, "2 RightKey CODE:0022"},
    {0xA4, "1 MiddleKey CODE:00A4"},
    {0x24, "2 MiddleKey CODE:0024"},
    {0xA8, "1 Forward CODE:00A8"},
    {0x28, "2 Forward CODE:0028"},
    {0xB0, "1 Backward CODE:00B0"},
    {0x30, "2 Backward CODE:0030"},
}};

std::string Hex2(std::uint8_t value) {
  return BytesToHexText(std::span<const std::uint8_t>(&value, 1));
}

bool IsHexText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return HexDigitValue(c) >= 0; });
}

// The value of two hex digits, or -1.
int HexByteValue(std::string_view text, std::size_t pos) {
  if (pos + 2 > text.size()) return -1;
  const int high = HexDigitValue(text[pos]);
  const int low = HexDigitValue(text[pos + 1]);
  if (high < 0 || low < 0) return -1;
  return high * 16 + low;
}

// The delay of a "0 " line: a decimal number, 0 when the text is not one; held to 0..65535.
std::uint16_t ParseDelay(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return 0;
  }
  if (negative) return 0;
  unsigned long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc::result_out_of_range || value > kMaxDelay) return kMaxDelay;
  return static_cast<std::uint16_t>(value);
}

// Whether the code digits of a step line are exactly one step of the line's kind, so that the line
// never adds bytes that would play as something else ("7 FDFFFF" is no repeat start).
bool IsExactStep(std::string_view line, std::string_view code) {
  const int first = HexByteValue(code, 0);
  const int second = code.size() >= 4 ? HexByteValue(code, 2) : -1;
  switch (line.front()) {
    case '1':
    case '2': {
      const bool down = line.front() == '1';
      if (!line.substr(0, line.size() - code.size()).ends_with("CODE:")) return false;
      if (first == 0x00) {
        const auto button = static_cast<std::uint8_t>(second);
        return !MouseButtonLine(button).empty() && ((button & 0x80) != 0) == down;
      }
      return first == (down ? kStepModifierDown : kStepModifierUp) ||
             first == (down ? kStepKeyDown : kStepKeyUp);
    }
    case '3':
    case '4':
    case '5':
    case '6': {
      if (line.size() != 10 || first != kStepPointerMove || HexByteValue(code, 6) != 0x21) {
        return false;
      }
      const int y = HexByteValue(code, 4);
      const auto moves = [](int value) { return value != 0x00 && value != 0x80; };
      return (moves(second) && y == 0) || (second == 0 && moves(y));
    }
    case '7':
      return line.size() == 6 && first == kStepRepeatStart;
    case '8':
      return line.size() == 4 && first == kStepRepeatEnd;
    case '9':
      return line.size() == 4;
    default:
      return false;
  }
}

// The hex digits a step line contributes, or an empty text when it adds nothing.
std::string LineCode(std::string_view line) {
  if (line.empty()) return {};
  std::size_t take = 0;
  switch (line.front()) {
    case '0': {
      const std::uint16_t delay = ParseDelay(line.size() > 2 ? line.substr(2) : std::string_view{});
      return "FE" + Hex2(static_cast<std::uint8_t>(delay >> 8)) +
             Hex2(static_cast<std::uint8_t>(delay & 0xFF));
    }
    case '1':
    case '2':
      take = 4;
      break;
    case '3':
    case '4':
    case '5':
    case '6':
      take = 8;
      break;
    case '7':
      take = 4;
      break;
    case '8':
    case '9':
      take = 2;
      break;
    default:
      return {};
  }
  if (line.size() < take + 2) return {};
  std::string code(line.substr(line.size() - take));
  if (!IsHexText(code)) return {};
  std::transform(code.begin(), code.end(), code.begin(),
                 [](char c) { return static_cast<char>(c >= 'a' && c <= 'f' ? c - 32 : c); });
  if (!IsExactStep(line, code)) return {};
  if ((line.front() == '1' || line.front() == '2') && code.starts_with("00")) code.erase(0, 2);
  return code;
}

std::string UnrecognisedLine(std::uint8_t byte) { return "9 " + Hex2(byte); }

bool IsListedModifier(std::uint8_t mask) { return !ModifierName(mask).empty(); }

}  // namespace

std::string_view ModifierName(std::uint8_t mask) {
  for (const ModifierEntry& entry : kModifiers) {
    if (entry.mask == mask) return entry.name;
  }
  return {};
}

std::string_view MouseButtonLine(std::uint8_t typeByte) {
  for (const ButtonEntry& entry : kButtonLines) {
    if (entry.typeByte == typeByte) return entry.line;
  }
  return {};
}

std::string DelayModeLine(DelayMode mode, std::uint16_t defaultDelay) {
  switch (mode) {
    case DelayMode::kRecordedDelay:
      return "10";
    case DelayMode::kDefaultDelay:
      return "01" + std::to_string(defaultDelay);
    case DelayMode::kNoDelay:
      break;
  }
  return "00";
}

std::string DelayStepLine(std::uint16_t milliseconds) {
  return "0 " + std::to_string(milliseconds);
}

std::string ModifierStepLine(bool down, std::uint8_t mask) {
  return std::string(down ? "1 " : "2 ") + std::string(ModifierName(mask)) +
         " CODE:" + (down ? "81" : "01") + Hex2(mask);
}

std::string KeyStepLine(bool down, std::string_view keyName, std::uint8_t usage) {
  return std::string(down ? "1 " : "2 ") + std::string(keyName) + " CODE:" + (down ? "82" : "02") +
         Hex2(usage);
}

std::string PointerMoveStepLine(bool xAxis, int value) {
  if (value == 0 || value < -127 || value > 127) return {};
  const std::string digits = Hex2(static_cast<std::uint8_t>(value & 0xFF));
  if (xAxis) return std::string(value > 0 ? "3 04" : "4 04") + digits + "0021";
  return std::string(value > 0 ? "5 0400" : "6 0400") + digits + "21";
}

std::string RepeatStartStepLine(std::uint8_t count) { return "7 FD" + Hex2(count); }

std::string RepeatEndStepLine() { return "8 FC"; }

EncodedMacro MemoToMacro(const MacroLines& lines) {
  EncodedMacro result;
  std::string hex;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string code = LineCode(lines[i]);
    if (code.empty()) {
      result.droppedLines.push_back(i);
      continue;
    }
    hex += code;
  }
  hex += "00";
  result.length = hex.size() / 2;
  if (result.length > kMacroBodySize) {
    result.error = EncodeError::kTooLong;
    result.reason = "the macro needs " + std::to_string(result.length) + " bytes, more than the " +
                    std::to_string(kMacroBodySize) + " a macro can hold";
    return result;
  }
  for (std::size_t i = 0; i < result.length; ++i) {
    result.body[i] = static_cast<std::uint8_t>(HexByteValue(hex, i * 2));
  }
  result.hexText = std::move(hex);
  return result;
}

DecodedMacro MacroToMemo(std::span<const std::uint8_t> body, std::size_t count) {
  DecodedMacro result;
  result.lines.emplace_back("00");
  std::array<std::uint16_t, kDelaySampleSize> delaySample{};
  std::size_t sampled = 0;

  count = std::min(count, body.size());
  std::size_t offset = 0;
  while (offset < count) {
    const std::uint8_t type = body[offset];
    const std::size_t available = body.size() - offset;
    std::string line;
    std::size_t advance = 1;
    if (type == kStepDelay) {
      if (available >= 3) {
        const auto delay = static_cast<std::uint16_t>(body[offset + 1] * 256 + body[offset + 2]);
        line = DelayStepLine(delay);
        if (sampled < kDelaySampleSize) delaySample[sampled++] = delay;
        advance = 3;
      }
    } else if (type == kStepModifierDown || type == kStepModifierUp) {
      if (available >= 2 && IsListedModifier(body[offset + 1])) {
        line = ModifierStepLine(type == kStepModifierDown, body[offset + 1]);
        advance = 2;
      }
    } else if (type == kStepKeyDown || type == kStepKeyUp) {
      if (available >= 2) {
        const std::uint8_t usage = body[offset + 1];
        line = KeyStepLine(type == kStepKeyDown, model::NameOfUsage(usage), usage);
        advance = 2;
      }
    } else if (type == kStepPointerMove) {
      if (available >= 4 && body[offset + 3] == kPointerMoveTail) {
        const std::uint8_t x = body[offset + 1];
        const std::uint8_t y = body[offset + 2];
        // Exactly one axis moves, and 0x80 (-128) is never written.
        const bool onX = x != 0 && x != 0x80 && y == 0;
        const bool onY = x == 0 && y != 0 && y != 0x80;
        if (onX || onY) {
          const std::uint8_t value = onX ? x : y;
          line = PointerMoveStepLine(onX, value < 0x80 ? value : value - 256);
          advance = 4;
        }
      }
    } else if (type == kStepRepeatStart) {
      if (available >= 2) {
        line = RepeatStartStepLine(body[offset + 1]);
        advance = 2;
      }
    } else if (type == kStepRepeatEnd) {
      line = RepeatEndStepLine();
    } else {
      line = std::string(MouseButtonLine(type));
    }
    if (line.empty()) {
      line = UnrecognisedLine(type);
      advance = 1;
      ++result.unrecognisedBytes;
    }
    result.lines.push_back(std::move(line));
    offset += advance;
  }

  const bool allZero =
      std::all_of(delaySample.begin(), delaySample.end(), [](std::uint16_t d) { return d == 0; });
  const bool allEqual = std::all_of(delaySample.begin(), delaySample.end(),
                                    [&](std::uint16_t d) { return d == delaySample[0]; });
  if (allZero) {
    result.delayMode = DelayMode::kNoDelay;
  } else if (allEqual) {
    result.delayMode = DelayMode::kDefaultDelay;
    result.defaultDelay = delaySample[0];
  } else {
    result.delayMode = DelayMode::kRecordedDelay;
  }
  result.lines[0] = DelayModeLine(result.delayMode, result.defaultDelay);
  return result;
}

std::size_t FindTerminatorOffset(std::span<const std::uint8_t> slot) {
  const auto zeroAt = [&](std::size_t i) { return i >= slot.size() || slot[i] == 0; };
  std::size_t i = 0;
  while (!(zeroAt(i) && zeroAt(i + 1) && zeroAt(i + 2))) ++i;
  return i;
}

std::string StepLineDisplayText(std::string_view line) {
  if (line.empty()) return {};
  // Value of the two hex digits at `pos` in decimal, or the digits as they are when not hex.
  const auto value = [&](std::size_t pos, bool negative) {
    const int byte = HexByteValue(line, pos);
    if (byte < 0) return std::string(pos < line.size() ? line.substr(pos, 2) : "");
    return std::to_string(negative ? byte - 256 : byte);
  };
  switch (line.front()) {
    case '0':
      return std::string(line.size() > 2 ? line.substr(2) : "") + " ms";
    case '1':
    case '2':
      if (line.size() <= 2 + kKeyLineTailLength) return {};
      return std::string(line.substr(2, line.size() - 2 - kKeyLineTailLength));
    case '3':
    case '4':
      return "X-Axis  " + value(4, line.front() == '4');
    case '5':
    case '6':
      return "Y-Axis  " + value(6, line.front() == '6');
    case '7':
      return "Rep-Start  " + value(4, false);
    case '8':
      return "Rep-Stop";
    case '9':
      return "Unknown " + std::string(line.size() > 2 ? line.substr(2) : "");
    default:
      return std::string(line);
  }
}

std::string MacroLineDisplayText(const MacroLines& lines, std::size_t index) {
  if (index >= lines.size()) return {};
  if (index > 0) return StepLineDisplayText(lines[index]);
  const std::string_view mode = lines[0];
  if (mode == "00") return "No delay";
  if (mode == "10") return "Recorded delay";
  if (mode.starts_with("01") && mode.size() > 2) {
    return "Default delay " + std::string(mode.substr(2)) + " ms";
  }
  return {};
}

}  // namespace corvid::macros
