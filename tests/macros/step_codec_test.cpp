#include "macros/step_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "macros/conversion.h"

namespace corvid::macros {
namespace {

using Bytes = std::vector<std::uint8_t>;

MacroLines Lines(std::initializer_list<std::string> steps, std::string delayModeLine = "10") {
  MacroLines lines{std::move(delayModeLine)};
  lines.insert(lines.end(), steps);
  return lines;
}

Bytes BodyOf(const EncodedMacro& encoded) {
  return Bytes(encoded.body.begin(), encoded.body.begin() + encoded.length);
}

// Decodes a body the way a stored macro is shown: steps below the terminator found in its slot.
DecodedMacro DecodeSlot(const Bytes& steps) {
  MacroBody slot{};
  std::copy(steps.begin(), steps.end(), slot.begin());
  return MacroToMemo(slot, FindTerminatorOffset(slot));
}

TEST(StepCodecTest, EveryStepKindRoundTrips) {
  struct Case {
    std::string line;
    Bytes bytes;
  };
  const Case cases[] = {
      {"0 50", {0xFE, 0x00, 0x32}},
      {"0 65535", {0xFE, 0xFF, 0xFF}},
      {"1 Ctrl CODE:8101", {0x81, 0x01}},
      {"2 Shift CODE:0102", {0x01, 0x02}},
      {"1 Alt CODE:8104", {0x81, 0x04}},
      {"1 Left Windows CODE:8108", {0x81, 0x08}},
      {"2 Right Windows CODE:0180", {0x01, 0x80}},
      {"1 A CODE:8204", {0x82, 0x04}},
      {"2 Space bar CODE:022C", {0x02, 0x2C}},
      {"1 Win CODE:82E7", {0x82, 0xE7}},
      {"1 Volume_Up CODE:82C5", {0x82, 0xC5}},
      {"1 LeftKey CODE:00A1", {0xA1}},
      {"2 LeftKey CODE:0021", {0x21}},
      {"1 RightKey CODE:00A2", {0xA2}},
      {"2 RightKey CODE:0022", {0x22}},
      {"1 MiddleKey CODE:00A4", {0xA4}},
      {"2 MiddleKey CODE:0024", {0x24}},
      {"1 Forward CODE:00A8", {0xA8}},
      {"2 Forward CODE:0028", {0x28}},
      {"1 Backward CODE:00B0", {0xB0}},
      {"2 Backward CODE:0030", {0x30}},
      {"3 040A0021", {0x04, 0x0A, 0x00, 0x21}},
      {"3 047F0021", {0x04, 0x7F, 0x00, 0x21}},
      {"4 04FF0021", {0x04, 0xFF, 0x00, 0x21}},
      {"4 04810021", {0x04, 0x81, 0x00, 0x21}},
      {"5 04000A21", {0x04, 0x00, 0x0A, 0x21}},
      {"6 0400F621", {0x04, 0x00, 0xF6, 0x21}},
      {"7 FD0A", {0xFD, 0x0A}},
      {"8 FC", {0xFC}},
  };
  for (const Case& c : cases) {
    const EncodedMacro encoded = MemoToMacro(Lines({c.line}));
    ASSERT_TRUE(encoded.ok()) << c.line;
    Bytes expected = c.bytes;
    expected.push_back(0x00);
    EXPECT_EQ(BodyOf(encoded), expected) << c.line;
    EXPECT_EQ(encoded.hexText, BytesToHexText(expected)) << c.line;
    EXPECT_TRUE(encoded.droppedLines.empty()) << c.line;

    const DecodedMacro decoded = MacroToMemo(encoded.body, encoded.length - 1);
    ASSERT_EQ(decoded.lines.size(), 2u) << c.line;
    EXPECT_EQ(decoded.lines[1], c.line);
    EXPECT_EQ(decoded.unrecognisedBytes, 0u) << c.line;
  }
}

TEST(StepCodecTest, RecordedKeyEncodesWithZeroFillAndDecodesInOrder) {
  const EncodedMacro encoded = MemoToMacro(Lines({"1 A CODE:8204", "2 A CODE:0204"}, "00"));
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(encoded.hexText, "8204020400");
  EXPECT_EQ(encoded.length, 5u);
  for (std::size_t i = encoded.length; i < kMacroBodySize; ++i) ASSERT_EQ(encoded.body[i], 0);

  // A move on X directly followed by a move on Y gives two lines, X first.
  const DecodedMacro moves = DecodeSlot({0x04, 0xFB, 0x00, 0x21, 0x04, 0x00, 0x05, 0x21});
  EXPECT_EQ(moves.lines, Lines({"4 04FB0021", "5 04000521"}, "00"));
}

TEST(StepCodecTest, OnlyTheDelayModeLineGivesTheTerminatorAlone) {
  const EncodedMacro encoded = MemoToMacro(Lines({}, "0150"));
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(BodyOf(encoded), Bytes{0x00});
  EXPECT_EQ(encoded.hexText, "00");
  EXPECT_EQ(FindTerminatorOffset(encoded.body), 0u);
  EXPECT_EQ(MacroToMemo(encoded.body, 0).lines, MacroLines{"00"});
}

TEST(StepCodecTest, DelayModeComesFromTheFirstFourDelays) {
  struct Case {
    std::vector<std::uint16_t> delays;
    std::string line0;
    DelayMode mode;
    std::uint16_t defaultDelay;
  };
  const Case cases[] = {
      {{}, "00", DelayMode::kNoDelay, 0},
      {{0, 0, 0, 0}, "00", DelayMode::kNoDelay, 0},
      {{30, 30, 30, 30}, "0130", DelayMode::kDefaultDelay, 30},
      {{30, 30, 30, 30, 99}, "0130", DelayMode::kDefaultDelay, 30},
      {{30, 30, 30}, "10", DelayMode::kRecordedDelay, 0},
      {{30, 30, 30, 31}, "10", DelayMode::kRecordedDelay, 0},
      {{120, 5}, "10", DelayMode::kRecordedDelay, 0},
  };
  for (const Case& c : cases) {
    // Key steps between the delays, as the recorder writes them.
    Bytes steps;
    for (const std::uint16_t delay : c.delays) {
      steps.insert(steps.end(), {0x82, 0x04, 0xFE, static_cast<std::uint8_t>(delay >> 8),
                                 static_cast<std::uint8_t>(delay & 0xFF)});
    }
    const DecodedMacro decoded = DecodeSlot(steps);
    EXPECT_EQ(decoded.lines[0], c.line0) << c.line0;
    EXPECT_EQ(decoded.delayMode, c.mode) << c.line0;
    EXPECT_EQ(decoded.defaultDelay, c.defaultDelay) << c.line0;
    EXPECT_EQ(decoded.lines.size(), 1 + 2 * c.delays.size());
  }
}

TEST(StepCodecTest, BytesWithoutAStepShowOneLineEachAndSurviveReencoding) {
  struct Case {
    const char* what;
    Bytes body;
    MacroLines steps;
  };
  const Case cases[] = {
      {"unknown type", {0x55, 0xA1}, {"9 55", "1 LeftKey CODE:00A1"}},
      {"mask not listed", {0x81, 0x03}, {"9 81", "9 03"}},
      {"move on both axes",
       {0x04, 0x05, 0x05, 0x21},
       {"9 04", "9 05", "9 05", "2 LeftKey CODE:0021"}},
      {"move on neither axis",
       {0x04, 0x00, 0x00, 0x21},
       {"9 04", "9 00", "9 00", "2 LeftKey CODE:0021"}},
      {"move of 0x80", {0x04, 0x80, 0x00, 0x21}, {"9 04", "9 80", "9 00", "2 LeftKey CODE:0021"}},
      {"move without 0x21",
       {0x04, 0x05, 0x00, 0x22},
       {"9 04", "9 05", "9 00", "2 RightKey CODE:0022"}},
      {"key name unknown", {0x82, 0x32}, {"1  CODE:8232"}},
  };
  for (const Case& c : cases) {
    const DecodedMacro decoded = MacroToMemo(c.body, c.body.size());
    MacroLines expected{decoded.lines[0]};
    expected.insert(expected.end(), c.steps.begin(), c.steps.end());
    EXPECT_EQ(decoded.lines, expected) << c.what;

    const EncodedMacro again = MemoToMacro(decoded.lines);
    Bytes body = c.body;
    body.push_back(0x00);
    EXPECT_EQ(BodyOf(again), body) << c.what;
  }
}

TEST(StepCodecTest, StepsRunningPastTheBufferAreNotRead) {
  const Bytes truncated[] = {{0xFE, 0x01}, {0x82}, {0x04, 0x05, 0x00}, {0xFD}};
  for (const Bytes& body : truncated) {
    const DecodedMacro decoded = MacroToMemo(body, body.size());
    EXPECT_EQ(decoded.unrecognisedBytes, body.size());
    EXPECT_EQ(decoded.lines.size(), 1 + body.size());
  }
  // A count past the buffer is held to it.
  EXPECT_EQ(MacroToMemo(Bytes{0xA1}, 50).lines.size(), 2u);
}

TEST(StepCodecTest, ThreeZeroRuleFindsTheEndOfABodyKeptWithoutLength) {
  MacroBody slot{};
  EXPECT_EQ(FindTerminatorOffset(slot), 0u);

  slot = MacroBody{0xA1, 0x21};
  EXPECT_EQ(FindTerminatorOffset(slot), 2u);

  // A last delay whose low byte is 0x00 looks like the end one byte early, yet still reads back.
  slot = MacroBody{0xA1, 0xFE, 0x01, 0x00};
  EXPECT_EQ(FindTerminatorOffset(slot), 3u);
  EXPECT_EQ(MacroToMemo(slot, 3).lines, Lines({"1 LeftKey CODE:00A1", "0 256"}));

  // Past the slot counts as 0x00: a last step in byte 255 ends at 256.
  slot.fill(0xFC);
  EXPECT_EQ(FindTerminatorOffset(slot), 256u);
  slot[255] = 0x00;
  EXPECT_EQ(FindTerminatorOffset(slot), 255u);
}

TEST(StepCodecTest, EncoderDropsOrAdjustsLinesItCannotTake) {
  const MacroLines lines = Lines({
      "1 A CODE:8204",
      "",
      "X stray text",
      "1 A CODE:82ZZ",
      "8",
      "0 abc",
      "0 70000",
      "0 -5",
      "0 99999999999999999999999",
      "0 ",
      "3 04fb0021",
      "9 55",
  });
  const EncodedMacro encoded = MemoToMacro(lines);
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(encoded.droppedLines, (std::vector<std::size_t>{2, 3, 4, 5}));
  EXPECT_EQ(encoded.hexText, "8204FE0000FEFFFFFE0000FEFFFFFE000004FB00215500");
}

// A line whose code is not exactly one step of its kind adds nothing, rather than bytes that play
// as something else.
TEST(StepCodecTest, StepLinesThatDoNotEncodeExactlyAreLeftOut) {
  const MacroLines malformed = {
      "7 FDFFFF",             // a count of four digits
      "7 FD1",                // and of one
      "7 FE05",               // not a repeat start
      "8 FCFC",               // a repeat end with more behind it
      "9 5",                  // an unknown byte of one digit
      "1 LeftKey CODE:0021",  // a release on a press line
      "2 Ctrl CODE:8101",     // a press on a release line
      "1 Odd CODE:0055",      // no such button
      "1 A 8204",             // no code marker
      "3 04050521",           // a move on both axes
      "3 04000021",           // and on neither
      "4 04800021",           // -128 is never written
      "5 04000A22",           // a move without its 0x21
      "3 0404000021",         // ten digits
  };
  for (const std::string& line : malformed) {
    const EncodedMacro encoded = MemoToMacro({"00", line, "1 LeftKey CODE:00A1"});
    ASSERT_TRUE(encoded.ok()) << line;
    EXPECT_EQ(encoded.droppedLines, std::vector<std::size_t>{1}) << line;
    EXPECT_EQ(encoded.hexText, "A100") << line;
  }
}

TEST(StepCodecTest, TextThatDoesNotFitIsRefusedNotCut) {
  // 85 delays of 3 bytes and the terminator fill the 256-byte slot exactly.
  MacroLines lines{"0150"};
  for (int i = 0; i < 85; ++i) lines.push_back("0 50");
  const EncodedMacro full = MemoToMacro(lines);
  ASSERT_TRUE(full.ok());
  EXPECT_EQ(full.length, kMacroBodySize);
  EXPECT_EQ(full.body[255], 0x00);
  EXPECT_EQ(full.body[252], 0xFE);

  lines.push_back("8 FC");
  const EncodedMacro over = MemoToMacro(lines);
  EXPECT_EQ(over.error, EncodeError::kTooLong);
  EXPECT_FALSE(over.reason.empty());
  EXPECT_EQ(over.length, 257u);
  EXPECT_TRUE(over.hexText.empty());
  EXPECT_EQ(over.body, MacroBody{});
}

// A full slot whose last step takes its operand from the final 0x00: the three-zero rule ends the
// body there, so it decodes. Its text needs a terminator of its own to be stored again: 257 bytes,
// refused as too long rather than stored without an end the mouse would run past.
TEST(StepCodecTest, AFullSlotWhoseLastOperandIsItsTerminatorDecodesButDoesNotFitAgain) {
  MacroBody slot{};
  for (std::size_t i = 0; i + 2 < slot.size(); i += 2) {
    slot[i] = 0x82;
    slot[i + 1] = 0x04;
  }
  slot[254] = 0x82;  // and slot[255], its operand, is 0x00
  const std::size_t terminator = FindTerminatorOffset(slot);
  ASSERT_EQ(terminator, 255u);
  const DecodedMacro decoded = MacroToMemo(slot, terminator);
  EXPECT_EQ(decoded.unrecognisedBytes, 0u);
  EXPECT_EQ(decoded.lines.back(), "1  CODE:8200");
  const EncodedMacro encoded = MemoToMacro(decoded.lines);
  EXPECT_EQ(encoded.error, EncodeError::kTooLong);
  EXPECT_EQ(encoded.length, 257u);
}

TEST(StepCodecTest, DisplayTextOfStepLines) {
  struct Case {
    std::string line;
    std::string text;
  };
  const Case cases[] = {
      {"0 50", "50 ms"},
      {"1 LeftKey CODE:00A1", "LeftKey"},
      {"2 Right Windows CODE:0180", "Right Windows"},
      {"1 Space bar CODE:822C", "Space bar"},
      {"3 040A0021", "X-Axis  10"},
      {"4 04FF0021", "X-Axis  -1"},
      {"4 04F60021", "X-Axis  -10"},
      {"5 04000A21", "Y-Axis  10"},
      {"6 0400F621", "Y-Axis  -10"},
      {"7 FD0A", "Rep-Start  10"},
      {"8 FC", "Rep-Stop"},
      {"9 55", "Unknown 55"},
      // Damaged lines never read outside the text.
      {"1 short", ""},
      {"3 0", "X-Axis  "},
      {"7 FDZZ", "Rep-Start  ZZ"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(StepLineDisplayText(c.line), c.text) << c.line;
}

// Line 0 is no step: it names the delay mode the macro was made with.
TEST(StepCodecTest, DisplayTextOfTheDelayModeLine) {
  EXPECT_EQ(MacroLineDisplayText({"00", "0 50"}, 0), "No delay");
  EXPECT_EQ(MacroLineDisplayText({"0150", "0 50"}, 0), "Default delay 50 ms");
  EXPECT_EQ(MacroLineDisplayText({"10", "0 50"}, 0), "Recorded delay");
  EXPECT_EQ(MacroLineDisplayText({"10", "0 50"}, 1), "50 ms");
  EXPECT_EQ(MacroLineDisplayText({"7"}, 0), "");
  EXPECT_EQ(MacroLineDisplayText({"00"}, 3), "");
}

TEST(StepCodecTest, LineBuildersMatchTheDecoder) {
  EXPECT_EQ(DelayModeLine(DelayMode::kDefaultDelay, 50), "0150");
  EXPECT_EQ(DelayModeLine(DelayMode::kRecordedDelay, 50), "10");
  EXPECT_EQ(DelayModeLine(DelayMode::kNoDelay, 50), "00");
  EXPECT_EQ(PointerMoveStepLine(true, -10), "4 04F60021");
  EXPECT_EQ(PointerMoveStepLine(false, 127), "5 04007F21");
  EXPECT_EQ(PointerMoveStepLine(true, 0), "");
  EXPECT_EQ(PointerMoveStepLine(false, -128), "");
  EXPECT_EQ(KeyStepLine(true, "Ctrl", 0xE0), "1 Ctrl CODE:82E0");
  EXPECT_EQ(ModifierStepLine(false, kModifierAlt), "2 Alt CODE:0104");
}

// Random bodies, as foreign or damaged files may hold: decoding ends, stays in the buffer (the
// sanitizer build checks that), and encoding the lines again gives back the bytes it walked.
TEST(StepCodecTest, RandomBodiesDecodeWithinBoundsAndReencodeToThemselves) {
  std::mt19937 random(88);
  std::uniform_int_distribution<int> byteDist(0, 255);
  for (int round = 0; round < 3000; ++round) {
    const std::size_t size = static_cast<std::size_t>(round % 7 == 0 ? round % 9 : 1 + round % 256);
    Bytes body(size);
    for (auto& b : body) {
      // Favour the step type bytes so that real steps and their edge cases come up often.
      const int pick = byteDist(random);
      static constexpr std::uint8_t kTypes[] = {0xFE, 0x81, 0x82, 0x01, 0x02, 0x04,
                                                0xFD, 0xFC, 0xA1, 0x21, 0x00, 0x80};
      b = pick < 96 ? kTypes[pick % std::size(kTypes)]
                    : static_cast<std::uint8_t>(byteDist(random));
    }
    const std::size_t count =
        size == 0 ? 0 : static_cast<std::size_t>(byteDist(random)) % (size + 1);
    const DecodedMacro decoded = MacroToMemo(body, count);
    ASSERT_LE(decoded.lines.size(), count + 1);

    const EncodedMacro again = MemoToMacro(decoded.lines);
    ASSERT_TRUE(again.droppedLines.empty());
    const std::size_t walked = again.length - 1;
    ASSERT_GE(walked, count);
    ASSERT_LE(walked, std::min(size, count + 3));
    if (again.ok()) {
      ASSERT_EQ(BodyOf(again), [&] {
        Bytes expected(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(walked));
        expected.push_back(0x00);
        return expected;
      }());
    } else {
      ASSERT_EQ(again.length, 257u);
    }
  }
}

}  // namespace
}  // namespace corvid::macros
