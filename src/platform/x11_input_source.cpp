#include "platform/x11_input_source.h"

#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <utility>

namespace corvid::platform {
namespace {

using K = model::TKeyboardHookKey;

struct KeysymEntry {
  std::uint32_t keysym;
  K key;
};

// Keysyms that are no letter, digit or function key. The punctuation keys are those of the US
// layout, where the key tables' OEM names come from.
constexpr KeysymEntry kKeysyms[] = {
    {XK_BackSpace, K::kh_Back},
    {XK_Tab, K::kh_Tab},
    {XK_ISO_Left_Tab, K::kh_Tab},
    {XK_Clear, K::kh_Clear},
    {XK_Return, K::kh_Return},
    {XK_KP_Enter, K::kh_Return},
    {XK_Shift_L, K::kh_Shift},
    {XK_Shift_R, K::kh_Shift},
    {XK_Control_L, K::kh_Control},
    {XK_Control_R, K::kh_Control},
    {XK_Alt_L, K::kh_Alt},
    {XK_Alt_R, K::kh_Alt},
    {XK_ISO_Level3_Shift, K::kh_Alt},  // AltGr
    {XK_Pause, K::kh_Pause},
    {XK_Caps_Lock, K::kh_Capital},
    {XK_Escape, K::kh_Escape},
    {XK_space, K::kh_Space},
    {XK_Prior, K::kh_Prior},
    {XK_Next, K::kh_Next},
    {XK_End, K::kh_End},
    {XK_Home, K::kh_Home},
    {XK_Left, K::kh_Left},
    {XK_Up, K::kh_Up},
    {XK_Right, K::kh_Right},
    {XK_Down, K::kh_Down},
    {XK_Select, K::kh_Select},
    {XK_Print, K::kh_Snapshot},
    {XK_Insert, K::kh_Insert},
    {XK_Delete, K::kh_Delete},
    {XK_Help, K::kh_Help},
    {XK_Super_L, K::kh_LWIN},
    {XK_Super_R, K::kh_RWIN},
    {XK_Menu, K::kh_APPS},
    // Keypad keys, with Num Lock on and off.
    {XK_KP_0, K::kh_Numpad0},
    {XK_KP_Insert, K::kh_Numpad0},
    {XK_KP_1, K::kh_Numpad1},
    {XK_KP_End, K::kh_Numpad1},
    {XK_KP_2, K::kh_Numpad2},
    {XK_KP_Down, K::kh_Numpad2},
    {XK_KP_3, K::kh_Numpad3},
    {XK_KP_Next, K::kh_Numpad3},
    {XK_KP_4, K::kh_Numpad4},
    {XK_KP_Left, K::kh_Numpad4},
    {XK_KP_5, K::kh_Numpad5},
    {XK_KP_Begin, K::kh_Numpad5},
    {XK_KP_6, K::kh_Numpad6},
    {XK_KP_Right, K::kh_Numpad6},
    {XK_KP_7, K::kh_Numpad7},
    {XK_KP_Home, K::kh_Numpad7},
    {XK_KP_8, K::kh_Numpad8},
    {XK_KP_Up, K::kh_Numpad8},
    {XK_KP_9, K::kh_Numpad9},
    {XK_KP_Prior, K::kh_Numpad9},
    {XK_KP_Multiply, K::kh_Multiply},
    {XK_KP_Add, K::kh_Add},
    {XK_KP_Separator, K::kh_Separator},
    {XK_KP_Subtract, K::kh_Subtract},
    {XK_KP_Decimal, K::kh_Decimal},
    {XK_KP_Delete, K::kh_Decimal},
    {XK_KP_Divide, K::kh_Divide},
    {XK_Num_Lock, K::kh_Numlock},
    {XK_Scroll_Lock, K::kh_Scroll},
    {XK_semicolon, K::kh_OEM_1},
    {XK_slash, K::kh_OEM_2},
    {XK_grave, K::kh_OEM_3},
    {XK_bracketleft, K::kh_OEM_4},
    {XK_backslash, K::kh_OEM_5},
    {XK_bracketright, K::kh_OEM_6},
    {XK_apostrophe, K::kh_OEM_7},
    {XK_equal, K::kh_OEM_Plus},
    {XK_comma, K::kh_OEM_Comma},
    {XK_minus, K::kh_OEM_Minus},
    {XK_period, K::kh_OEM_Period},
    // Browser and media keys.
    {XF86XK_Back, K::kh_Browser_Back},
    {XF86XK_Forward, K::kh_Browser_Forward},
    {XF86XK_Refresh, K::kh_Browser_Refresh},
    {XF86XK_Reload, K::kh_Browser_Refresh},
    {XF86XK_Stop, K::kh_Browser_Stop},
    {XF86XK_Search, K::kh_Browser_Search},
    {XF86XK_Favorites, K::kh_Browser_Favorites},
    {XF86XK_HomePage, K::kh_Browser_Home},
    {XF86XK_AudioMute, K::kh_Volume_Mute},
    {XF86XK_AudioLowerVolume, K::kh_Volume_Down},
    {XF86XK_AudioRaiseVolume, K::kh_Volume_Up},
    {XF86XK_AudioNext, K::kh_Media_Next_Track},
    {XF86XK_AudioPrev, K::kh_Media_Prev_Track},
    {XF86XK_AudioStop, K::kh_Media_Stop},
    {XF86XK_AudioPlay, K::kh_Media_Play_Pause},
    {XF86XK_AudioPause, K::kh_Media_Play_Pause},
    {XF86XK_Mail, K::kh_Launch_Mail},
    {XF86XK_AudioMedia, K::kh_Launch_Media_Select},
    {XF86XK_MyComputer, K::kh_Launch_App1},
    {XF86XK_Calculator, K::kh_Launch_App2},
    {XF86XK_Launch0, K::kh_Launch_App1},
};

K Offset(K first, std::uint32_t steps) {
  return static_cast<K>(static_cast<int>(first) + static_cast<int>(steps));
}

}  // namespace

K KeyOfKeysym(std::uint32_t keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return Offset(K::kh_A, keysym - XK_a);
  if (keysym >= XK_A && keysym <= XK_Z) return Offset(K::kh_A, keysym - XK_A);
  if (keysym >= XK_0 && keysym <= XK_9) return Offset(K::kh_0, keysym - XK_0);
  if (keysym >= XK_F1 && keysym <= XK_F24) return Offset(K::kh_F1, keysym - XK_F1);
  for (const KeysymEntry& entry : kKeysyms) {
    if (entry.keysym == keysym) return entry.key;
  }
  return K::kh_None;
}

std::optional<InputButton> ButtonOfX11Button(int button) {
  switch (button) {
    case 1:
      return InputButton::kLeft;
    case 2:
      return InputButton::kMiddle;
    case 3:
      return InputButton::kRight;
    case 8:
      return InputButton::kBackward;
    case 9:
      return InputButton::kForward;
    default:
      return std::nullopt;
  }
}

std::optional<InputEvent> DecodeRawEvent(RawEventType type, int detail, std::uint64_t timeMs,
                                         const std::function<std::uint32_t(int)>& keysymOf) {
  switch (type) {
    case RawEventType::kKeyPress:
    case RawEventType::kKeyRelease: {
      const K key = KeyOfKeysym(keysymOf(detail));
      if (key == K::kh_None) return std::nullopt;
      return InputEvent::Key(key, type == RawEventType::kKeyPress, timeMs);
    }
    case RawEventType::kButtonPress:
    case RawEventType::kButtonRelease: {
      const std::optional<InputButton> button = ButtonOfX11Button(detail);
      if (!button) return std::nullopt;
      return InputEvent::Button(*button, type == RawEventType::kButtonPress, timeMs);
    }
  }
  return std::nullopt;
}

std::uint64_t X11TimeExtender::Extend(std::uint32_t serverTime) {
  if (last_ && serverTime<*last_&& * last_ - serverTime> 0x80000000u) base_ += 0x100000000ull;
  last_ = serverTime;
  return base_ + serverTime;
}

std::string X11SessionProblem(const char* display, const char* waylandDisplay,
                              const char* sessionType) {
  const auto set = [](const char* value) { return value != nullptr && *value != '\0'; };
  if ((set(sessionType) && std::string_view(sessionType) == "wayland") || set(waylandDisplay)) {
    return "the desktop session is Wayland, where a program sees only the input sent to its own "
           "window";
  }
  if (!set(display)) return "there is no X11 display (DISPLAY is not set)";
  return {};
}

struct X11InputSource::Connection {
  Display* display = nullptr;
  int opcode = 0;
  int wakeFd = -1;
  InputEventCallback callback;
  X11TimeExtender time;
  std::thread thread;

  ~Connection() {
    if (display != nullptr) XCloseDisplay(display);
    if (wakeFd >= 0) close(wakeFd);
  }
};

X11InputSource::X11InputSource(std::string displayName) : displayName_(std::move(displayName)) {}

X11InputSource::~X11InputSource() { Stop(); }

bool X11InputSource::Start(InputEventCallback callback) {
  if (connection_) return true;
  reason_.clear();
  if (displayName_.empty()) {
    reason_ = X11SessionProblem(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                                std::getenv("XDG_SESSION_TYPE"));
    if (!reason_.empty()) return false;
  }
  // The display is used by the reading thread while the window's own connection lives on.
  XInitThreads();
  auto connection = std::make_unique<Connection>();
  connection->display = XOpenDisplay(displayName_.empty() ? nullptr : displayName_.c_str());
  if (connection->display == nullptr) {
    reason_ = "the X11 display " +
              (displayName_.empty() ? std::string(XDisplayName(nullptr)) : displayName_) +
              " cannot be opened";
    return false;
  }
  Display* display = connection->display;
  int event = 0;
  int error = 0;
  int major = 2;
  int minor = 0;
  if (!XQueryExtension(display, "XInputExtension", &connection->opcode, &event, &error) ||
      XIQueryVersion(display, &major, &minor) != Success) {
    reason_ = "the X server does not offer XInput 2";
    return false;
  }
  std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> maskBits{};
  XISetMask(maskBits.data(), XI_RawKeyPress);
  XISetMask(maskBits.data(), XI_RawKeyRelease);
  XISetMask(maskBits.data(), XI_RawButtonPress);
  XISetMask(maskBits.data(), XI_RawButtonRelease);
  XIEventMask mask{XIAllMasterDevices, static_cast<int>(maskBits.size()), maskBits.data()};
  XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
  XSync(display, False);

  connection->wakeFd = eventfd(0, EFD_CLOEXEC);
  if (connection->wakeFd < 0) {
    reason_ = "no event descriptor to stop the input thread";
    return false;
  }
  connection->callback = std::move(callback);
  connection_ = std::move(connection);
  connection_->thread = std::thread([this] { Run(); });
  return true;
}

void X11InputSource::Stop() {
  if (!connection_) return;
  const std::uint64_t one = 1;
  if (write(connection_->wakeFd, &one, sizeof one) < 0) {
    // The descriptor is ours and open; a failed write leaves the thread waiting on X events only.
  }
  if (connection_->thread.joinable()) connection_->thread.join();
  connection_.reset();
}

void X11InputSource::Run() {
  Connection& c = *connection_;
  const auto keysymOf = [&c](int keycode) {
    return static_cast<std::uint32_t>(
        XkbKeycodeToKeysym(c.display, static_cast<KeyCode>(keycode), 0, 0));
  };
  for (;;) {
    while (XPending(c.display) > 0) {
      XEvent event;
      XNextEvent(c.display, &event);
      if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        continue;
      }
      XGenericEventCookie* cookie = &event.xcookie;
      if (event.type != GenericEvent || cookie->extension != c.opcode ||
          !XGetEventData(c.display, cookie)) {
        continue;
      }
      std::optional<RawEventType> type;
      switch (cookie->evtype) {
        case XI_RawKeyPress:
          type = RawEventType::kKeyPress;
          break;
        case XI_RawKeyRelease:
          type = RawEventType::kKeyRelease;
          break;
        case XI_RawButtonPress:
          type = RawEventType::kButtonPress;
          break;
        case XI_RawButtonRelease:
          type = RawEventType::kButtonRelease;
          break;
        default:
          break;
      }
      if (type) {
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        const std::uint64_t time = c.time.Extend(static_cast<std::uint32_t>(raw->time));
        if (const auto decoded = DecodeRawEvent(*type, raw->detail, time, keysymOf)) {
          c.callback(*decoded);
        }
      }
      XFreeEventData(c.display, cookie);
    }
    std::array<pollfd, 2> fds{{{ConnectionNumber(c.display), POLLIN, 0}, {c.wakeFd, POLLIN, 0}}};
    if (poll(fds.data(), fds.size(), -1) < 0) continue;
    if ((fds[1].revents & POLLIN) != 0) return;
    if ((fds[0].revents & (POLLERR | POLLHUP)) != 0) return;
  }
}

}  // namespace corvid::platform
