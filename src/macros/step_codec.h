#pragma once

// The two forms of a macro and the rules between them.
//
// Byte form: a body of steps, each a type byte and its operands, ending in a 0x00 terminator,
// kept in a 256-byte slot whose bytes after the terminator are 0x00.
//
// Text form: a list of lines. Line 0 is the delay-mode line ("00" no delays, "01" + default delay,
// "10" recorded delays); lines 1..n are step lines, a kind digit, a blank, then the step:
//   "0 50"                  delay in ms                 FE 00 32
//   "1 Ctrl CODE:8101"      modifier / key down         81 01, 82 usage
//   "1 LeftKey CODE:00A1"   mouse button down           A1
//   "2 A CODE:0204"         modifier / key / button up  01 mask, 02 usage, 21..30
//   "3 040A0021" "4 04F60021"  pointer move on X (+/-)  04 X 00 21
//   "5 04000A21" "6 0400F621"  pointer move on Y (+/-)  04 00 Y 21
//   "7 FD0A"                start of a repeated block   FD count
//   "8 FC"                  end of a repeated block     FC
//   "9 04"                  a byte the decoder has no step for, kept as it is so that editing
//                           a foreign or damaged macro loses nothing when it is encoded again
// The delay-mode line is not encoded into the bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvid::macros {

inline constexpr std::size_t kMacroBodySize = 256;

// A body slot: steps, terminator, zero fill.
using MacroBody = std::array<std::uint8_t, kMacroBodySize>;

// Line 0 and the step lines.
using MacroLines = std::vector<std::string>;

// Step type bytes.
inline constexpr std::uint8_t kStepTerminator = 0x00;
inline constexpr std::uint8_t kStepDelay = 0xFE;
inline constexpr std::uint8_t kStepModifierDown = 0x81;
inline constexpr std::uint8_t kStepKeyDown = 0x82;
inline constexpr std::uint8_t kStepModifierUp = 0x01;
inline constexpr std::uint8_t kStepKeyUp = 0x02;
inline constexpr std::uint8_t kStepPointerMove = 0x04;
inline constexpr std::uint8_t kStepRepeatStart = 0xFD;
inline constexpr std::uint8_t kStepRepeatEnd = 0xFC;
// The fourth byte of every pointer move.
inline constexpr std::uint8_t kPointerMoveTail = 0x21;

// Mouse buttons: 0x20 plus the button bit is "up", with bit 7 set "down".
inline constexpr std::uint8_t kButtonLeft = 0x01;
inline constexpr std::uint8_t kButtonRight = 0x02;
inline constexpr std::uint8_t kButtonMiddle = 0x04;
inline constexpr std::uint8_t kButtonForward = 0x08;
inline constexpr std::uint8_t kButtonBackward = 0x10;

// Modifier masks, one bit per step.
inline constexpr std::uint8_t kModifierCtrl = 0x01;
inline constexpr std::uint8_t kModifierShift = 0x02;
inline constexpr std::uint8_t kModifierAlt = 0x04;
inline constexpr std::uint8_t kModifierLeftWindows = 0x08;
inline constexpr std::uint8_t kModifierRightWindows = 0x80;

// "Ctrl", "Shift", "Alt", "Left Windows", "Right Windows"; empty for any other mask.
std::string_view ModifierName(std::uint8_t mask);

// The fixed line of a mouse-button type byte ("1 LeftKey CODE:00A1"); empty for other bytes.
std::string_view MouseButtonLine(std::uint8_t typeByte);

// The three delay modes of the macro page.
enum class DelayMode { kRecordedDelay, kDefaultDelay, kNoDelay };

// "10", "01" + defaultDelay in decimal, or "00".
std::string DelayModeLine(DelayMode mode, std::uint16_t defaultDelay);

// Builders of step lines, as the recorder and the editor write them.
std::string DelayStepLine(std::uint16_t milliseconds);       // "0 50"
std::string ModifierStepLine(bool down, std::uint8_t mask);  // "1 Ctrl CODE:8101"
std::string KeyStepLine(bool down, std::string_view keyName,
                        std::uint8_t usage);  // "2 A CODE:0204"
// Kind 3/4 (X) or 5/6 (Y) by the sign of value; a value of 0 or -128 has no line and gives "".
std::string PointerMoveStepLine(bool xAxis, int value);
std::string RepeatStartStepLine(std::uint8_t count);  // "7 FD0A"
std::string RepeatEndStepLine();                      // "8 FC"

// Encoding ------------------------------------------------------------------------------------

enum class EncodeError { kNone, kTooLong };

struct EncodedMacro {
  EncodeError error = EncodeError::kNone;
  // Why the text was refused, for the caller to report; empty when it was encoded.
  std::string reason;
  // The slot; all 0x00 when refused.
  MacroBody body{};
  // Bytes of the body with its terminator; when refused, the bytes the text would need.
  std::size_t length = 0;
  // The body with its terminator as two hex digits per byte; empty when refused.
  std::string hexText;
  // Step lines (by index, 1..n) that added nothing: a kind digit without a step, or a code that is
  // not hex or too short.
  std::vector<std::size_t> droppedLines;

  bool ok() const { return error == EncodeError::kNone; }
};

// Encodes lines 1..n. Delay lines that are not a decimal number encode as 0 ms; delays outside
// 0..65535 are held to that range. A text whose body would not fit in 256 bytes is refused.
EncodedMacro MemoToMacro(const MacroLines& lines);

// Decoding ------------------------------------------------------------------------------------

struct DecodedMacro {
  // Line 0 the delay-mode line, then one step line per step.
  MacroLines lines;
  DelayMode delayMode = DelayMode::kNoDelay;
  // The delay of the default-delay mode; 0 in the other modes.
  std::uint16_t defaultDelay = 0;
  // Bytes shown as unrecognised (kind 9 lines).
  std::size_t unrecognisedBytes = 0;
};

// Decodes the steps that start below `count` (the body length without its terminator). Operands
// are read from `body` even past `count`, as a body found by the three-zero rule may end in a step
// whose last operand is 0x00, but never past the end of `body`. A byte without a step, or a step
// whose operands would run past `body`, becomes one kind 9 line and decoding moves on by one byte.
// The delay mode comes from the first four delays: all 0 (or none) no delay, all four equal the
// default delay, otherwise recorded delays.
DecodedMacro MacroToMemo(std::span<const std::uint8_t> body, std::size_t count);

// For bodies kept without their length: the offset of the terminator, the first offset at which
// three consecutive bytes are 0x00 (bytes past the end of `slot` count as 0x00). The steps are the
// bytes below it and the body with its terminator is one byte longer; a slot starting with three
// 0x00 bytes gives 0, an empty macro.
std::size_t FindTerminatorOffset(std::span<const std::uint8_t> slot);

// The text the step list shows for a line: the key or button name for kinds 1 and 2, "50 ms",
// "X-Axis  10", "Y-Axis  -10", "Rep-Start  10", "Rep-Stop", "Unknown 04"; a line of another kind is
// shown as it is.
std::string StepLineDisplayText(std::string_view line);

// The text for line `index` of a macro's text form: line 0 names the delay mode ("No delay",
// "Default delay 50 ms", "Recorded delay"), the step lines show as above. Empty past the lines or
// for a line 0 of no known mode.
std::string MacroLineDisplayText(const MacroLines& lines, std::size_t index);

}  // namespace corvid::macros
