#pragma once

// Key and mouse-button events for the macro recorder, as every input source delivers them: the key
// identity of the key tables or one of the five recordable mouse buttons, down or up, and a
// millisecond timestamp of the source's own clock (only differences between timestamps matter).

#include <cstdint>
#include <functional>
#include <string>

#include "model/key_tables.h"

namespace corvid::platform {

enum class InputButton : std::uint8_t { kLeft, kRight, kMiddle, kForward, kBackward };

struct InputEvent {
  enum class Kind : std::uint8_t { kKey, kButton };

  Kind kind = Kind::kKey;
  bool down = false;
  model::TKeyboardHookKey key = model::TKeyboardHookKey::kh_None;  // kKey only
  InputButton button = InputButton::kLeft;                         // kButton only
  std::uint64_t timeMs = 0;

  static InputEvent Key(model::TKeyboardHookKey key, bool down, std::uint64_t timeMs) {
    return {Kind::kKey, down, key, InputButton::kLeft, timeMs};
  }
  static InputEvent Button(InputButton button, bool down, std::uint64_t timeMs) {
    return {Kind::kButton, down, model::TKeyboardHookKey::kh_None, button, timeMs};
  }
  bool operator==(const InputEvent&) const = default;
};

// Called on the source's own thread; the window queues each event to its thread before it reaches
// the recorder.
using InputEventCallback = std::function<void(const InputEvent&)>;

// A source of key and button events for the whole desktop session.
class MacroInputSource {
 public:
  virtual ~MacroInputSource() = default;
  // Starts delivering events to `callback`; false when the source cannot run here, with the reason
  // in UnavailableReason().
  virtual bool Start(InputEventCallback callback) = 0;
  // Stops delivering; no callback runs once this returns. Safe to call when not started.
  virtual void Stop() = 0;
  virtual std::string UnavailableReason() const = 0;
};

}  // namespace corvid::platform
