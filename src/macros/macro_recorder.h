#pragma once

// The macro recorder: turns key and mouse-button events into the step lines of a library macro,
// either into an emptied macro (a normal recording) or into the middle of a shown macro (recording
// from the insert box, before or after its selected step).
//
// It is fed on the window's thread, one event at a time, in the order the events happened; the
// input source's own thread never calls it. Timestamps are milliseconds of the caller's clock.
//
// Size: the steps it records cost 2 bytes per key line, 1 per mouse-button line and 3 per delay
// line. A press (key or button) is refused once the recorded bytes reach the limit less the room a
// press with its delay takes, and a release once they reach the limit itself; a refusal asks for
// the recording to stop. So the encoded body, terminator included, stays within 250 bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "macros/step_codec.h"
#include "model/key_tables.h"
#include "platform/input_event.h"

namespace corvid::macros {

// The limit on recorded bytes: in no-delay mode a press costs at most 2 bytes, otherwise 5.
inline constexpr int kRecordLimitNoDelay = 248;
inline constexpr int kRecordLimitWithDelays = 244;

// The delay fields: 1..65535 ms, 50 at first.
inline constexpr int kMinimumDelay = 1;
inline constexpr int kMaximumDelay = 65535;
inline constexpr std::uint16_t kInitialDelay = 50;

// What a numeric field shows after the user typed `text`: a number outside minimum..maximum
// becomes the nearest bound ("300" in 1..255 gives "255"); a text that is no number (empty, "-",
// "1-2") stays as it is, so the user can go on typing.
std::string ClampFieldText(std::string_view text, int minimum, int maximum);
// The number a field text holds, when it is one ("-12", "007").
std::optional<int> FieldNumber(std::string_view text);

// Where recording from the insert box puts its lines.
enum class InsertPlacement { kBefore, kAfter };

// The ten mouse-button events, in the fixed order in which events that arrive together are
// written.
enum class ButtonEvent : std::uint8_t {
  kLeftDown,
  kLeftUp,
  kRightDown,
  kRightUp,
  kMiddleDown,
  kMiddleUp,
  kForwardDown,
  kForwardUp,
  kBackwardDown,
  kBackwardUp,
};
inline constexpr int kButtonEventCount = 10;
ButtonEvent ButtonEventOf(platform::InputButton button, bool down);

// A set of button events that arrived together.
class ButtonEvents {
 public:
  ButtonEvents() = default;
  ButtonEvents(std::initializer_list<ButtonEvent> events) {
    for (ButtonEvent event : events) Add(event);
  }
  void Add(ButtonEvent event) { bits_ |= static_cast<std::uint16_t>(1u << Index(event)); }
  bool Has(ButtonEvent event) const { return (bits_ >> Index(event)) & 1u; }

 private:
  static unsigned Index(ButtonEvent event) { return static_cast<unsigned>(event); }
  std::uint16_t bits_ = 0;
};

// What an event did.
struct RecorderUpdate {
  bool linesChanged = false;
  // The recording has ended itself (the limit was reached): the caller finishes it with Stop()
  // exactly as if the Stop button had been clicked.
  bool stopRequested = false;
};

class MacroRecorder {
 public:
  // The delay mode of the page and its delay field (Edt_Delay); fixed while a recording runs.
  void SetDelayMode(DelayMode mode);
  DelayMode GetDelayMode() const { return delayMode_; }
  // Takes what the user typed into the delay field and returns what the field shows
  // (ClampFieldText over 1..65535). The delay used is the last number the field held.
  std::string SetDelayText(std::string_view text);
  std::uint16_t Delay() const { return delay_; }

  // Starts a normal recording into an emptied macro: line 0 is the page's delay-mode line and
  // RecordCount starts at 0. Does nothing while a recording runs.
  void Start();

  // Starts recording into `lines` (line 0 and the steps of the shown macro) before or after step
  // `selectedItem` (item i is line i + 1), with the insert box's delay mode and delay. Refused
  // (false) while recording, when no step is selected, or when the macro has no room left for a
  // key press. RecordCount then counts the bytes of the whole macro.
  bool StartInsert(MacroLines lines, std::size_t selectedItem, InsertPlacement placement,
                   DelayMode mode, std::uint16_t delay);

  // A key went down or up. A down of a key already down is its auto-repeat and records nothing.
  RecorderUpdate Key(model::TKeyboardHookKey key, bool down, std::uint64_t nowMs);
  // Button events that arrived together, written in the fixed order of ButtonEvent.
  RecorderUpdate Buttons(ButtonEvents events, std::uint64_t nowMs);
  RecorderUpdate Feed(const platform::InputEvent& event);

  // Set while the pointer is over a record button: left-button events are then not recorded, so
  // the click on Stop does not end up in the macro.
  void SetRecordButtonHover(bool over) { recordButtonHover_ = over; }

  // Ends the recording (normal or insert) and hands over the lines: the caller encodes them into
  // the library macro. The recorder keeps them too, until the next start.
  MacroLines Stop();

  bool Recording() const { return recording_; }
  bool InsertMode() const { return insertMode_; }
  bool StopRequested() const { return stopRequest_; }
  // A press was refused because the macro is full.
  bool LimitReached() const { return limitReached_; }
  const MacroLines& Lines() const { return lines_; }
  // The step selected in the list after the last line was written.
  std::optional<std::size_t> SelectedItem() const { return selectedItem_; }

  int RecordLimit() const { return recordLimit_; }
  int RecordCount() const { return recordCount_; }
  // The running total of macro bytes; every recorded line adds its size to it.
  int MacroTotal() const { return macroTotal_; }
  void SetMacroTotal(int total) { macroTotal_ = total; }
  int PressedKeyCount() const { return pressedKeyCount_; }

 private:
  void Begin(DelayMode mode, std::uint16_t delay);
  void WriteLine(std::string line, int cost);
  void WriteDelayLine(std::uint64_t nowMs);
  // Whether a press (true) or a release may be written now; sets the limit flags when not.
  bool Admit(bool press);
  RecorderUpdate Finish(bool changed);

  DelayMode delayMode_ = DelayMode::kRecordedDelay;
  std::uint16_t delay_ = kInitialDelay;

  // The mode and delay of the running recording (the page's or the insert box's).
  DelayMode activeMode_ = DelayMode::kRecordedDelay;
  std::uint16_t activeDelay_ = kInitialDelay;

  MacroLines lines_;
  std::optional<std::size_t> selectedItem_;
  bool recording_ = false;
  bool insertMode_ = false;
  InsertPlacement placement_ = InsertPlacement::kBefore;
  std::size_t insertPosition_ = 0;
  bool recordButtonHover_ = false;

  int recordLimit_ = kRecordLimitWithDelays;
  int recordCount_ = 0;
  int macroTotal_ = 0;
  bool stopRequest_ = false;
  bool limitReached_ = false;
  int pressedKeyCount_ = 0;
  std::set<model::TKeyboardHookKey> keysDown_;
  std::optional<std::uint64_t> lastTick_;
};

}  // namespace corvid::macros
