#include "macros/macro_recorder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace corvid::macros {
namespace {

using K = model::TKeyboardHookKey;
using B = ButtonEvent;

// One step of a scripted recording.
struct Ev {
  enum class Kind { kKey, kButtons, kHover } kind;
  K key = K::kh_None;
  bool down = false;
  ButtonEvents buttons;
  std::uint64_t time = 0;
};
Ev Down(K key, std::uint64_t time = 0) { return {Ev::Kind::kKey, key, true, {}, time}; }
Ev Up(K key, std::uint64_t time = 0) { return {Ev::Kind::kKey, key, false, {}, time}; }
Ev Buttons(ButtonEvents buttons, std::uint64_t time = 0) {
  return {Ev::Kind::kButtons, K::kh_None, false, buttons, time};
}
Ev Hover(bool over) { return {Ev::Kind::kHover, K::kh_None, over, {}, 0}; }

// Plays the events and tells whether the recorder asked to stop.
bool Play(MacroRecorder& recorder, const std::vector<Ev>& events) {
  bool stop = false;
  for (const Ev& ev : events) {
    RecorderUpdate update;
    switch (ev.kind) {
      case Ev::Kind::kKey:
        update = recorder.Key(ev.key, ev.down, ev.time);
        break;
      case Ev::Kind::kButtons:
        update = recorder.Buttons(ev.buttons, ev.time);
        break;
      case Ev::Kind::kHover:
        recorder.SetRecordButtonHover(ev.down);
        break;
    }
    stop = stop || update.stopRequested;
  }
  return stop;
}

struct RecordingCase {
  std::string name;
  DelayMode mode;
  std::vector<Ev> events;
  MacroLines expected;
};

TEST(MacroRecorderTest, EventSequencesGiveTheirLines) {
  const RecordingCase cases[] = {
      {"A without delays",
       DelayMode::kNoDelay,
       {Down(K::kh_A), Up(K::kh_A)},
       {"00", "1 A CODE:8204", "2 A CODE:0204"}},
      {"measured wait between press and release",
       DelayMode::kRecordedDelay,
       {Down(K::kh_A, 1000), Up(K::kh_A, 1300)},
       {"10", "1 A CODE:8204", "0 300", "2 A CODE:0204"}},
      {"a clock starting at 0 still gives the wait",
       DelayMode::kRecordedDelay,
       {Down(K::kh_B, 0), Up(K::kh_B, 40)},
       {"10", "1 B CODE:8205", "0 40", "2 B CODE:0205"}},
      {"a wait longer than 65535 ms is held to it",
       DelayMode::kRecordedDelay,
       {Down(K::kh_A, 5), Up(K::kh_A, 200000)},
       {"10", "1 A CODE:8204", "0 65535", "2 A CODE:0204"}},
      {"default delay replaces the measured one",
       DelayMode::kDefaultDelay,
       {Down(K::kh_Space, 0), Up(K::kh_Space, 999)},
       {"0150", "1 Space bar CODE:822C", "0 50", "2 Space bar CODE:022C"}},
      {"auto-repeat of a held key records one press",
       DelayMode::kNoDelay,
       {Down(K::kh_A), Down(K::kh_A), Down(K::kh_A), Up(K::kh_A)},
       {"00", "1 A CODE:8204", "2 A CODE:0204"}},
      {"modifier keys are modifier steps",
       DelayMode::kNoDelay,
       {Down(K::kh_Control), Down(K::kh_RWIN), Up(K::kh_RWIN), Up(K::kh_Control), Down(K::kh_Alt),
        Down(K::kh_LWIN)},
       {"00", "1 Ctrl CODE:8101", "1 Right Windows CODE:8180", "2 Right Windows CODE:0180",
        "2 Ctrl CODE:0101", "1 Alt CODE:8104", "1 Left Windows CODE:8108"}},
      // Typing "AA" with Shift held: the second A is a new press, not a repeat.
      {"a key pressed again while another is held",
       DelayMode::kNoDelay,
       {Down(K::kh_Shift), Down(K::kh_A), Up(K::kh_A), Down(K::kh_A), Up(K::kh_A), Up(K::kh_Shift)},
       {"00", "1 Shift CODE:8102", "1 A CODE:8204", "2 A CODE:0204", "1 A CODE:8204",
        "2 A CODE:0204", "2 Shift CODE:0102"}},
      // Holding A while tapping B: A's repeats afterwards are still repeats.
      {"repeats of a held key after another key's release",
       DelayMode::kNoDelay,
       {Down(K::kh_A), Down(K::kh_B), Up(K::kh_B), Down(K::kh_A), Up(K::kh_A)},
       {"00", "1 A CODE:8204", "1 B CODE:8205", "2 B CODE:0205", "2 A CODE:0204"}},
      {"keys without a code are skipped",
       DelayMode::kRecordedDelay,
       {Down(K::kh_255, 0), Down(K::kh_None, 10), Down(K::kh_OEM_8, 20), Down(K::kh_1, 30),
        Up(K::kh_255, 40), Up(K::kh_1, 50)},
       {"10", "1 1 CODE:821E", "0 20", "2 1 CODE:021E"}},
      {"a release without its press is recorded",
       DelayMode::kNoDelay,
       {Up(K::kh_Return)},
       {"00", "2 Enter CODE:0228"}},
      {"clicks on the record button are not recorded, other clicks are",
       DelayMode::kNoDelay,
       {Hover(true), Buttons({B::kLeftDown}), Buttons({B::kRightDown}), Buttons({B::kRightUp}),
        Buttons({B::kLeftUp}), Hover(false), Buttons({B::kLeftDown})},
       {"00", "1 RightKey CODE:00A2", "2 RightKey CODE:0022", "1 LeftKey CODE:00A1"}},
      {"button events arriving together follow the fixed order",
       DelayMode::kNoDelay,
       {Buttons({B::kBackwardUp, B::kRightUp, B::kForwardDown, B::kMiddleDown, B::kLeftDown})},
       {"00", "1 LeftKey CODE:00A1", "2 RightKey CODE:0022", "1 MiddleKey CODE:00A4",
        "1 Forward CODE:00A8", "2 Backward CODE:0030"}},
      {"each button event gets its delay line",
       DelayMode::kRecordedDelay,
       {Down(K::kh_A, 100), Buttons({B::kMiddleDown, B::kMiddleUp}, 250)},
       {"10", "1 A CODE:8204", "0 150", "1 MiddleKey CODE:00A4", "0 0", "2 MiddleKey CODE:0024"}},
  };
  for (const RecordingCase& c : cases) {
    SCOPED_TRACE(c.name);
    MacroRecorder recorder;
    recorder.SetDelayMode(c.mode);
    recorder.Start();
    EXPECT_FALSE(Play(recorder, c.events));
    EXPECT_EQ(recorder.Stop(), c.expected);
    EXPECT_FALSE(recorder.Recording());
  }
}

TEST(MacroRecorderTest, RecordedAEncodesToItsBody) {
  MacroRecorder recorder;
  recorder.SetDelayMode(DelayMode::kNoDelay);
  recorder.SetMacroTotal(100);
  recorder.Start();
  Play(recorder, {Down(K::kh_A), Up(K::kh_A)});
  const EncodedMacro encoded = MemoToMacro(recorder.Stop());
  ASSERT_TRUE(encoded.ok());
  EXPECT_EQ(encoded.hexText, "8204020400");
  EXPECT_EQ(recorder.RecordCount(), 4);
  EXPECT_EQ(recorder.MacroTotal(), 104);
}

TEST(MacroRecorderTest, EventsOutsideARecordingAreIgnored) {
  MacroRecorder recorder;
  EXPECT_FALSE(recorder.Key(K::kh_A, true, 0).linesChanged);
  recorder.Start();
  Play(recorder, {Down(K::kh_A), Up(K::kh_A)});
  const MacroLines recorded = recorder.Stop();
  EXPECT_FALSE(recorder.Key(K::kh_B, true, 5).linesChanged);
  EXPECT_FALSE(recorder.Buttons({B::kRightDown}, 5).linesChanged);
  EXPECT_EQ(recorder.Lines(), recorded);
}

TEST(MacroRecorderTest, DelayFieldKeepsItsRange) {
  MacroRecorder recorder;
  EXPECT_EQ(recorder.Delay(), 50);
  EXPECT_EQ(recorder.SetDelayText("70000"), "65535");
  EXPECT_EQ(recorder.Delay(), 65535);
  EXPECT_EQ(recorder.SetDelayText("0"), "1");
  EXPECT_EQ(recorder.SetDelayText(""), "");
  EXPECT_EQ(recorder.Delay(), 1);  // the last number the field held
  EXPECT_EQ(recorder.SetDelayText("120"), "120");
  recorder.SetDelayMode(DelayMode::kDefaultDelay);
  recorder.Start();
  EXPECT_EQ(recorder.Lines(), MacroLines{"01120"});
}

// Distinct keys pressed and released in turn: 4 bytes a pair without delays.
std::vector<Ev> Pairs(int count) {
  const K keys[] = {K::kh_A, K::kh_B, K::kh_C};
  std::vector<Ev> events;
  for (int i = 0; i < count; ++i) {
    events.push_back(Down(keys[i % 3]));
    events.push_back(Up(keys[i % 3]));
  }
  return events;
}

TEST(MacroRecorderTest, TheLimitRefusesAndStops) {
  struct LimitCase {
    std::string name;
    std::vector<Ev> tail;  // after 244 bytes of pairs, without delays
    int expectedCount;
    bool expectedStop;
  };
  const LimitCase cases[] = {
      {"a press at 244 fits, its release at 246 too", {Down(K::kh_X), Up(K::kh_X)}, 248, false},
      {"a press at 246 is refused", {Down(K::kh_X), Down(K::kh_Y)}, 246, true},
      {"a button press at 246 is refused", {Down(K::kh_X), Buttons({B::kRightDown})}, 246, true},
      {"a release that ends above 248 stops",
       {Buttons({B::kLeftDown}), Down(K::kh_X), Up(K::kh_X)},
       249,
       true},
      {"nothing is taken once the recording asked to stop",
       {Down(K::kh_X), Down(K::kh_Y), Up(K::kh_X), Buttons({B::kRightUp})},
       246,
       true},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.name);
    MacroRecorder recorder;
    recorder.SetDelayMode(DelayMode::kNoDelay);
    recorder.Start();
    EXPECT_FALSE(Play(recorder, Pairs(61)));
    ASSERT_EQ(recorder.RecordCount(), 244);
    EXPECT_EQ(Play(recorder, c.tail), c.expectedStop);
    EXPECT_EQ(recorder.StopRequested(), c.expectedStop);
    EXPECT_EQ(recorder.RecordCount(), c.expectedCount);
    const EncodedMacro encoded = MemoToMacro(recorder.Stop());
    ASSERT_TRUE(encoded.ok());
    EXPECT_EQ(encoded.length, static_cast<std::size_t>(c.expectedCount) + 1);
  }
}

// Whatever arrives, the recorded macro fits its slot.
TEST(MacroRecorderTest, RandomInputNeverOutgrowsTheBody) {
  std::mt19937 random(14);
  const K keys[] = {K::kh_A, K::kh_Shift, K::kh_Space, K::kh_F5, K::kh_RWIN};
  for (DelayMode mode :
       {DelayMode::kNoDelay, DelayMode::kRecordedDelay, DelayMode::kDefaultDelay}) {
    for (int run = 0; run < 20; ++run) {
      MacroRecorder recorder;
      recorder.SetDelayMode(mode);
      recorder.Start();
      std::uint64_t time = 0;
      bool stopped = false;
      for (int i = 0; i < 2000 && !stopped; ++i) {
        time += random() % 70000;
        if (random() % 3 == 0) {
          ButtonEvents buttons;
          for (int b = 0; b < kButtonEventCount; ++b) {
            if (random() % 4 == 0) buttons.Add(static_cast<ButtonEvent>(b));
          }
          stopped = recorder.Buttons(buttons, time).stopRequested;
        } else {
          stopped = recorder.Key(keys[random() % 5], random() % 2 == 0, time).stopRequested;
        }
      }
      EXPECT_TRUE(stopped);
      const EncodedMacro encoded = MemoToMacro(recorder.Stop());
      ASSERT_TRUE(encoded.ok());
      EXPECT_EQ(encoded.length, static_cast<std::size_t>(recorder.RecordCount()) + 1);
      EXPECT_LE(encoded.length, 250u);
    }
  }
}

TEST(MacroRecorderTest, InsertModePlacesLinesAroundTheSelectedStep) {
  const MacroLines shown = {"10", "1 A CODE:8204", "0 50", "2 A CODE:0204"};
  struct InsertCase {
    std::string name;
    std::size_t selected;
    InsertPlacement placement;
    DelayMode mode;
    MacroLines expected;
    std::size_t expectedSelection;
  };
  const InsertCase cases[] = {
      {"before the first step",
       0,
       InsertPlacement::kBefore,
       DelayMode::kNoDelay,
       {"10", "1 B CODE:8205", "2 B CODE:0205", "1 A CODE:8204", "0 50", "2 A CODE:0204"},
       2},
      {"after the first step",
       0,
       InsertPlacement::kAfter,
       DelayMode::kNoDelay,
       {"10", "1 A CODE:8204", "1 B CODE:8205", "2 B CODE:0205", "0 50", "2 A CODE:0204"},
       2},
      {"after the last step, with recorded delays",
       2,
       InsertPlacement::kAfter,
       DelayMode::kRecordedDelay,
       {"10", "1 A CODE:8204", "0 50", "2 A CODE:0204", "1 B CODE:8205", "0 70", "2 B CODE:0205"},
       5},
  };
  for (const InsertCase& c : cases) {
    SCOPED_TRACE(c.name);
    MacroRecorder recorder;
    ASSERT_TRUE(recorder.StartInsert(shown, c.selected, c.placement, c.mode, 50));
    EXPECT_TRUE(recorder.InsertMode());
    EXPECT_EQ(recorder.RecordCount(), 7);  // the macro's own bytes
    Play(recorder, {Down(K::kh_B, 1000), Up(K::kh_B, 1070)});
    EXPECT_EQ(recorder.SelectedItem(), c.expectedSelection);
    EXPECT_EQ(recorder.Stop(), c.expected);
  }
}

TEST(MacroRecorderTest, InsertModeNeedsAStepAndRoom) {
  MacroRecorder recorder;
  const MacroLines one = {"00", "8 FC"};
  EXPECT_FALSE(recorder.StartInsert(one, 1, InsertPlacement::kBefore, DelayMode::kNoDelay, 50));
  EXPECT_FALSE(recorder.StartInsert({"00"}, 0, InsertPlacement::kBefore, DelayMode::kNoDelay, 50));

  // 246 bytes of steps leave no room for a press without delays; 245 leave room for one press and
  // its release, but not for a press with its delay.
  MacroLines full = {"00"};
  for (int i = 0; i < 81; ++i) full.push_back("0 50");
  full.push_back("7 FD02");
  full.push_back("8 FC");
  ASSERT_EQ(MemoToMacro(full).length, 247u);
  EXPECT_FALSE(recorder.StartInsert(full, 0, InsertPlacement::kAfter, DelayMode::kNoDelay, 50));
  full.erase(full.end() - 2);
  full.push_back("8 FC");
  ASSERT_EQ(MemoToMacro(full).length, 246u);
  EXPECT_FALSE(
      recorder.StartInsert(full, 0, InsertPlacement::kAfter, DelayMode::kRecordedDelay, 50));
  EXPECT_TRUE(recorder.StartInsert(full, 0, InsertPlacement::kAfter, DelayMode::kNoDelay, 50));
  EXPECT_TRUE(Play(recorder, {Down(K::kh_A), Up(K::kh_A), Down(K::kh_B)}));
  EXPECT_EQ(MemoToMacro(recorder.Stop()).length, 250u);
}

}  // namespace
}  // namespace corvid::macros
