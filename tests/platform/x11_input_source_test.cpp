#include "platform/x11_input_source.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "macros/macro_recorder.h"

extern char** environ;

namespace corvid::platform {
namespace {

using K = model::TKeyboardHookKey;

TEST(X11InputSourceTest, KeysymsMapToKeyIdentities) {
  struct Case {
    std::uint32_t keysym;
    K key;
  };
  const Case cases[] = {
      {XK_a, K::kh_A},
      {XK_A, K::kh_A},
      {XK_z, K::kh_Z},
      {XK_0, K::kh_0},
      {XK_9, K::kh_9},
      {XK_F1, K::kh_F1},
      {XK_F24, K::kh_F24},
      {XK_Return, K::kh_Return},
      {XK_KP_Enter, K::kh_Return},
      {XK_space, K::kh_Space},
      // Both keys of a modifier give the key the mouse stores as that modifier.
      {XK_Shift_R, K::kh_Shift},
      {XK_Control_R, K::kh_Control},
      {XK_ISO_Level3_Shift, K::kh_Alt},
      {XK_Super_L, K::kh_LWIN},
      {XK_Super_R, K::kh_RWIN},
      // Keypad keys with Num Lock off are still the keypad keys.
      {XK_KP_1, K::kh_Numpad1},
      {XK_KP_End, K::kh_Numpad1},
      {XK_KP_Begin, K::kh_Numpad5},
      {XK_KP_Delete, K::kh_Decimal},
      {XK_semicolon, K::kh_OEM_1},
      {XK_grave, K::kh_OEM_3},
      {XK_apostrophe, K::kh_OEM_7},
      {XK_equal, K::kh_OEM_Plus},
      {XF86XK_AudioRaiseVolume, K::kh_Volume_Up},
      {XF86XK_Back, K::kh_Browser_Back},
      // Shifted symbols never come from the unshifted level; keys of other layouts have no name.
      {XK_exclam, K::kh_None},
      {XK_ssharp, K::kh_None},
      {0, K::kh_None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keysym);
    EXPECT_EQ(KeyOfKeysym(c.keysym), c.key);
  }
}

// Every key the mouse can store is reachable from some keysym, except the left/right variants of
// Shift, Ctrl and Alt, which the keyboard gives as the plain modifier keys.
TEST(X11InputSourceTest, EveryStorableKeyHasAKeysym) {
  std::set<K> reached;
  for (std::uint32_t keysym = 0; keysym <= 0xFFFF; ++keysym) reached.insert(KeyOfKeysym(keysym));
  for (std::uint32_t keysym = 0x1008FF00; keysym <= 0x1008FFFF; ++keysym) {
    reached.insert(KeyOfKeysym(keysym));
  }
  const std::set<K> plainModifiers = {K::kh_LShift,   K::kh_RShift, K::kh_LControl,
                                      K::kh_RControl, K::kh_LAlt,   K::kh_RAlt};
  for (int i = 0; i < model::kKeyboardHookKeyCount; ++i) {
    const auto key = static_cast<K>(i);
    if (model::UsageOfKey(key) == 0 || plainModifiers.contains(key)) continue;
    EXPECT_TRUE(reached.contains(key)) << model::NameOfKey(key);
  }
}

TEST(X11InputSourceTest, RawEventsDecode) {
  const auto keysymOf = [](int keycode) -> std::uint32_t {
    return keycode == 38 ? XK_a : keycode == 50 ? XK_Shift_L : XK_ssharp;
  };
  struct Case {
    RawEventType type;
    int detail;
    std::optional<InputEvent> expected;
  };
  const Case cases[] = {
      {RawEventType::kKeyPress, 38, InputEvent::Key(K::kh_A, true, 7)},
      {RawEventType::kKeyRelease, 50, InputEvent::Key(K::kh_Shift, false, 7)},
      {RawEventType::kKeyPress, 20, std::nullopt},
      {RawEventType::kButtonPress, 1, InputEvent::Button(InputButton::kLeft, true, 7)},
      {RawEventType::kButtonRelease, 2, InputEvent::Button(InputButton::kMiddle, false, 7)},
      {RawEventType::kButtonPress, 3, InputEvent::Button(InputButton::kRight, true, 7)},
      {RawEventType::kButtonPress, 4, std::nullopt},  // wheel
      {RawEventType::kButtonRelease, 7, std::nullopt},
      {RawEventType::kButtonPress, 8, InputEvent::Button(InputButton::kBackward, true, 7)},
      {RawEventType::kButtonPress, 9, InputEvent::Button(InputButton::kForward, true, 7)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.detail);
    EXPECT_EQ(DecodeRawEvent(c.type, c.detail, 7, keysymOf), c.expected);
  }
}

TEST(X11InputSourceTest, ServerTimeKeepsCountingAcrossItsWrap) {
  X11TimeExtender time;
  EXPECT_EQ(time.Extend(0xFFFFFF00u), 0xFFFFFF00ull);
  EXPECT_EQ(time.Extend(0x10u), 0x100000010ull);
  EXPECT_EQ(time.Extend(0x8u), 0x100000008ull);  // slightly out of order, no second wrap
}

TEST(X11InputSourceTest, OnlyAnX11SessionGivesTheWholeDesktop) {
  struct Case {
    const char* display;
    const char* wayland;
    const char* session;
    bool usable;
  };
  const Case cases[] = {
      {":0", nullptr, "x11", true},        {":1", nullptr, nullptr, true},
      {":0", "wayland-0", nullptr, false}, {":0", nullptr, "wayland", false},
      {nullptr, nullptr, "tty", false},    {"", nullptr, nullptr, false},
  };
  for (const Case& c : cases) {
    const std::string problem = X11SessionProblem(c.display, c.wayland, c.session);
    EXPECT_EQ(problem.empty(), c.usable) << problem;
  }
  X11InputSource source(":not-a-display");
  EXPECT_FALSE(source.Start([](const InputEvent&) {}));
  EXPECT_NE(source.UnavailableReason(), "");
}

// A private X server for one test, stopped at the end.
class PrivateXServer {
 public:
  PrivateXServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb",    "-displayfd", fd.c_str(),   "-nolisten", "tcp",
                          "-screen", "0",          "320x240x24", nullptr};
    if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
    }
    close(fds[1]);
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&wait, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
      number.push_back(c);
    }
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~PrivateXServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Display() const { return display_; }

  // Runs xdotool against this server; false when it could not run.
  bool Xdotool(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), "xdotool");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::string displayVariable = "DISPLAY=" + display_;
    char* envp[] = {displayVariable.data(), nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), envp) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

TEST(X11InputSourceTest, RecordsRealInputOfAnXServer) {
  PrivateXServer server;
  if (server.Display().empty()) GTEST_SKIP() << "Xvfb is not available";

  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<InputEvent> events;
  X11InputSource source(server.Display());
  ASSERT_TRUE(source.Start([&](const InputEvent& event) {
    std::lock_guard lock(mutex);
    events.push_back(event);
    arrived.notify_all();
  })) << source.UnavailableReason();
  if (!server.Xdotool({"key", "a"}) || !server.Xdotool({"click", "3"})) {
    GTEST_SKIP() << "xdotool is not available";
  }
  {
    std::unique_lock lock(mutex);
    arrived.wait_for(lock, std::chrono::seconds(10), [&] { return events.size() >= 4; });
  }
  source.Stop();

  // What reached the callback, played into the recorder as the window does on its own thread.
  macros::MacroRecorder recorder;
  recorder.SetDelayMode(macros::DelayMode::kNoDelay);
  recorder.Start();
  for (const InputEvent& event : events) recorder.Feed(event);
  EXPECT_EQ(recorder.Stop(), (macros::MacroLines{"00", "1 A CODE:8204", "2 A CODE:0204",
                                                 "1 RightKey CODE:00A2", "2 RightKey CODE:0022"}));
}

}  // namespace
}  // namespace corvid::platform
