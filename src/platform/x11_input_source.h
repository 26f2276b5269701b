#pragma once

// Key and mouse-button input of the whole X11 session for the macro recorder, read as XInput 2 raw
// events on a thread of its own, so that keys typed into other programs are recorded too.
//
// Keys are identified by the keysym of their unshifted level, the way the key tables name them
// ("A" for the A key, "1" for the 1 key whatever Shift does); keypad keys count as keypad keys
// whether Num Lock is on or not, as the mouse sends the key's own code either way.
//
// Under Wayland a program sees only the input sent to its own windows: the source then reports
// itself unavailable and the window records the events that reach it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/key_tables.h"
#include "platform/input_event.h"

namespace corvid::platform {

// The key identity of an X keysym; kh_None for keysyms no key of the tables stands for.
model::TKeyboardHookKey KeyOfKeysym(std::uint32_t keysym);

// Buttons 1 left, 2 middle, 3 right, 8 backward, 9 forward; the wheel (4..7) and others give none.
std::optional<InputButton> ButtonOfX11Button(int button);

enum class RawEventType { kKeyPress, kKeyRelease, kButtonPress, kButtonRelease };

// One raw event as the recorder wants it: `detail` is the keycode or the button number,
// `keysymOf` gives the keysym of a keycode. None for keys and buttons the recorder has no use for.
std::optional<InputEvent> DecodeRawEvent(RawEventType type, int detail, std::uint64_t timeMs,
                                         const std::function<std::uint32_t(int)>& keysymOf);

// The X server's millisecond time wraps every 49.7 days; this keeps counting across the wrap.
class X11TimeExtender {
 public:
  std::uint64_t Extend(std::uint32_t serverTime);

 private:
  std::optional<std::uint32_t> last_;
  std::uint64_t base_ = 0;
};

// Whether this session can give the whole desktop's input through X11, from the values of
// DISPLAY, WAYLAND_DISPLAY and XDG_SESSION_TYPE (null when unset). Empty when it can, else why not.
std::string X11SessionProblem(const char* display, const char* waylandDisplay,
                              const char* sessionType);

class X11InputSource final : public MacroInputSource {
 public:
  // `displayName` empty: the session's own display (DISPLAY), after checking the session is X11.
  explicit X11InputSource(std::string displayName = {});
  ~X11InputSource() override;
  X11InputSource(const X11InputSource&) = delete;
  X11InputSource& operator=(const X11InputSource&) = delete;

  // Opens the display and selects the raw events before it returns, so no event after Start is
  // missed; the callback then runs on the source's thread.
  bool Start(InputEventCallback callback) override;
  void Stop() override;
  std::string UnavailableReason() const override { return reason_; }

 private:
  struct Connection;
  void Run();

  std::string displayName_;
  std::string reason_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace corvid::platform
