#pragma once

// Where the computer keeps its pointer settings (pointer speed, double-click time, wheel lines)
// and how the running desktop is told about them: the interface the pointer settings page works
// on, with a backend per desktop and an in-memory one for tests.

#include <array>
#include <optional>
#include <string>

namespace corvid::platform {

enum class PointerSetting { kSpeed, kDoubleClick, kWheel };
inline constexpr std::array<PointerSetting, 3> kPointerSettings = {
    PointerSetting::kSpeed, PointerSetting::kDoubleClick, PointerSetting::kWheel};

// The pointer acceleration that goes with the speed: two thresholds and the acceleration level.
// It is read with the speed and given back to the desktop unchanged after every click.
struct PointerAccelerationNumbers {
  int threshold1 = 0;
  int threshold2 = 0;
  int speed = 0;
  bool operator==(const PointerAccelerationNumbers&) const = default;
};

// Whether the running desktop keeps a setting; when it does not, `reason` says why, in words for a
// tooltip.
struct PointerHome {
  bool available = false;
  std::string reason;
};

// Where the computer keeps its pointer settings and how the running desktop is told about them.
// Reads give nothing for a value that is not there (skipped without a word). Writes and applies
// answer whether they took effect. The page only calls a setting's operations when its home is
// available.
class PointerSettingsStore {
 public:
  virtual ~PointerSettingsStore() = default;

  virtual PointerHome Home(PointerSetting setting) const = 0;

  // The stored value on its own scale: speed as sensitivity, double-click time in ms, wheel lines.
  // It may lie off the bar's scale (a speed of 3, a double-click time of 500, -1 wheel lines for
  // a screen per notch).
  virtual std::optional<int> Read(PointerSetting setting) = 0;
  virtual bool Write(PointerSetting setting, int value) = 0;
  // Read with the speed; nothing where the desktop keeps no such numbers.
  virtual std::optional<PointerAccelerationNumbers> ReadAcceleration() = 0;

  // Telling the running desktop, in the order the page calls them: speed, acceleration,
  // double-click time, wheel lines.
  virtual bool ApplyPointerSpeed(int sensitivity) = 0;
  virtual bool ApplyAcceleration(const PointerAccelerationNumbers& acceleration) = 0;
  virtual bool ApplyDoubleClickTime(int milliseconds) = 0;
  virtual bool ApplyWheelLines(int lines) = 0;
};

}  // namespace corvid::platform
