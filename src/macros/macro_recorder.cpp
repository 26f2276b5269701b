#include "macros/macro_recorder.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace corvid::macros {
namespace {

using model::TKeyboardHookKey;

// The keys recorded as modifier steps, with their masks.
std::uint8_t ModifierMaskOf(TKeyboardHookKey key) {
  switch (key) {
    case TKeyboardHookKey::kh_Shift:
      return kModifierShift;
    case TKeyboardHookKey::kh_Control:
      return kModifierCtrl;
    case TKeyboardHookKey::kh_Alt:
      return kModifierAlt;
    case TKeyboardHookKey::kh_LWIN:
      return kModifierLeftWindows;
    case TKeyboardHookKey::kh_RWIN:
      return kModifierRightWindows;
    default:
      return 0;
  }
}

// The button bit and whether it goes down, for each ButtonEvent in order.
constexpr std::uint8_t kButtonBits[] = {kButtonLeft, kButtonRight, kButtonMiddle, kButtonForward,
                                        kButtonBackward};
constexpr std::uint8_t kButtonUpBase = 0x20;
constexpr std::uint8_t kButtonDownFlag = 0x80;

// Room a press takes: the step and, unless delays are left out, the delay line before it.
int PressReserve(DelayMode mode) { return mode == DelayMode::kNoDelay ? 2 : 5; }

int RecordLimitOf(DelayMode mode) {
  return mode == DelayMode::kNoDelay ? kRecordLimitNoDelay : kRecordLimitWithDelays;
}

}  // namespace

std::optional<int> FieldNumber(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  long long value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec == std::errc::result_out_of_range || value > std::numeric_limits<int>::max()) {
    return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
  }
  return static_cast<int>(negative ? -value : value);
}

std::string ClampFieldText(std::string_view text, int minimum, int maximum) {
  const std::optional<int> number = FieldNumber(text);
  if (!number) return std::string(text);
  if (*number < minimum) return std::to_string(minimum);
  if (*number > maximum) return std::to_string(maximum);
  return std::string(text);
}

ButtonEvent ButtonEventOf(platform::InputButton button, bool down) {
  return static_cast<ButtonEvent>(static_cast<int>(button) * 2 + (down ? 0 : 1));
}

void MacroRecorder::SetDelayMode(DelayMode mode) {
  if (!recording_) delayMode_ = mode;
}

std::string MacroRecorder::SetDelayText(std::string_view text) {
  std::string shown = ClampFieldText(text, kMinimumDelay, kMaximumDelay);
  if (const std::optional<int> number = FieldNumber(shown)) {
    delay_ = static_cast<std::uint16_t>(*number);
  }
  return shown;
}

void MacroRecorder::Begin(DelayMode mode, std::uint16_t delay) {
  activeMode_ = mode;
  activeDelay_ = delay;
  recordLimit_ = RecordLimitOf(mode);
  stopRequest_ = false;
  limitReached_ = false;
  lastTick_.reset();
  // Keys held from before the start are not known to be down; a later down of one counts as a
  // press.
  keysDown_.clear();
  pressedKeyCount_ = 0;
  recording_ = true;
}

void MacroRecorder::Start() {
  if (recording_) return;
  Begin(delayMode_, delay_);
  insertMode_ = false;
  lines_ = {DelayModeLine(activeMode_, activeDelay_)};
  selectedItem_.reset();
  recordCount_ = 0;
}

bool MacroRecorder::StartInsert(MacroLines lines, std::size_t selectedItem,
                                InsertPlacement placement, DelayMode mode, std::uint16_t delay) {
  if (recording_ || selectedItem + 1 >= lines.size()) return false;
  const EncodedMacro encoded = MemoToMacro(lines);
  if (!encoded.ok()) return false;
  // The limit applies to the whole macro the recorded lines go into, so that its body stays within
  // its slot whatever was recorded before.
  const int count = static_cast<int>(encoded.length) - 1;
  if (count >= RecordLimitOf(mode) - PressReserve(mode)) return false;
  Begin(mode, delay);
  insertMode_ = true;
  placement_ = placement;
  insertPosition_ = selectedItem;
  lines_ = std::move(lines);
  selectedItem_ = selectedItem;
  recordCount_ = count;
  return true;
}

MacroLines MacroRecorder::Stop() {
  recording_ = false;
  insertMode_ = false;
  stopRequest_ = false;
  lastTick_.reset();
  return lines_;
}

bool MacroRecorder::Admit(bool press) {
  if (press) {
    if (recordLimit_ - PressReserve(activeMode_) <= recordCount_) {
      limitReached_ = true;
      stopRequest_ = true;
      return false;
    }
    return true;
  }
  if (recordCount_ >= recordLimit_) {
    stopRequest_ = true;
    return false;
  }
  return true;
}

void MacroRecorder::WriteLine(std::string line, int cost) {
  if (insertMode_) {
    const std::size_t at =
        std::min(insertPosition_ + (placement_ == InsertPlacement::kBefore ? 1 : 2), lines_.size());
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    ++insertPosition_;
    selectedItem_ = insertPosition_;
  } else {
    lines_.push_back(std::move(line));
    selectedItem_ = lines_.size() - 2;
  }
  recordCount_ += cost;
  macroTotal_ += cost;
}

void MacroRecorder::WriteDelayLine(std::uint64_t nowMs) {
  if (activeMode_ == DelayMode::kNoDelay) return;
  if (lastTick_) {
    std::uint16_t delay = activeDelay_;
    if (activeMode_ == DelayMode::kRecordedDelay) {
      // A clock that went back gives no wait rather than a huge one.
      const std::uint64_t elapsed = nowMs >= *lastTick_ ? nowMs - *lastTick_ : 0;
      delay = static_cast<std::uint16_t>(std::min<std::uint64_t>(elapsed, kMaximumDelay));
    }
    WriteLine(DelayStepLine(delay), 3);
  }
  lastTick_ = nowMs;
}

RecorderUpdate MacroRecorder::Finish(bool changed) {
  if (recordCount_ > recordLimit_) stopRequest_ = true;
  return {changed, stopRequest_};
}

RecorderUpdate MacroRecorder::Key(TKeyboardHookKey key, bool down, std::uint64_t nowMs) {
  if (!recording_ || stopRequest_) return {};
  if (model::NameOfKey(key) == "255") return {};
  const std::uint8_t mask = ModifierMaskOf(key);
  const std::uint8_t usage = model::UsageOfKey(key);
  // A key the mouse has no code for would play as nothing.
  if (mask == 0 && usage == 0) return {};

  bool accepted = false;
  if (down) {
    // The key is already down: an auto-repeat, whatever came in between.
    if (!keysDown_.insert(key).second) return {};
    accepted = Admit(true);
    ++pressedKeyCount_;
  } else {
    keysDown_.erase(key);
    accepted = Admit(false);
    pressedKeyCount_ = std::max(0, pressedKeyCount_ - 1);
  }
  if (accepted) {
    WriteDelayLine(nowMs);
    WriteLine(
        mask != 0 ? ModifierStepLine(down, mask) : KeyStepLine(down, model::NameOfKey(key), usage),
        2);
  }
  return Finish(accepted);
}

RecorderUpdate MacroRecorder::Buttons(ButtonEvents events, std::uint64_t nowMs) {
  if (!recording_ || stopRequest_) return {};
  bool changed = false;
  for (int i = 0; i < kButtonEventCount; ++i) {
    const auto event = static_cast<ButtonEvent>(i);
    if (!events.Has(event)) continue;
    const bool left = event == ButtonEvent::kLeftDown || event == ButtonEvent::kLeftUp;
    if (left && recordButtonHover_) continue;
    const bool down = i % 2 == 0;
    if (!Admit(down)) continue;
    const std::uint8_t typeByte = static_cast<std::uint8_t>(kButtonUpBase | kButtonBits[i / 2] |
                                                            (down ? kButtonDownFlag : 0));
    WriteDelayLine(nowMs);
    WriteLine(std::string(MouseButtonLine(typeByte)), 1);
    changed = true;
  }
  return Finish(changed);
}

RecorderUpdate MacroRecorder::Feed(const platform::InputEvent& event) {
  if (event.kind == platform::InputEvent::Kind::kKey) {
    return Key(event.key, event.down, event.timeMs);
  }
  return Buttons({ButtonEventOf(event.button, event.down)}, event.timeMs);
}

}  // namespace corvid::macros
