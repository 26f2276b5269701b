#pragma once

// The pointer settings where a GNOME desktop keeps them: GSettings schema
// org.gnome.desktop.peripherals.mouse, keys "speed" (a number from -1 to 1) and "double-click"
// (milliseconds). The desktop follows these keys as they change, so storing a value applies it.
// GNOME keeps no number of lines per wheel notch, so the wheel bar has no home here; nor has any
// setting on a desktop that does not read GNOME's keys, or on a machine without the schema.

#include <memory>
#include <string>
#include <string_view>

#include "platform/pointer_settings_store.h"

// GLib's own types, kept out of this header so that it mixes with any toolkit's headers.
struct _GSettings;
struct _GSettingsBackend;
struct _GSettingsSchemaSource;

namespace corvid::platform {

// The page's sensitivity 1..18 and GNOME's speed -1..1. The stock sensitivity 10 is the middle of
// both scales (speed 0, the desktop's default); below it a sensitivity step is 1/9 of the speed
// range's lower half, above it 1/8 of the upper half, so 1 reaches -1 and 18 reaches 1:
//   speed = (s - 10) / 9  for s <= 10,   speed = (s - 10) / 8  for s >= 10.
// Sensitivities outside 1..18 are taken as the nearest end.
double PointerSpeedOfSensitivity(int sensitivity);
// The reverse, rounded to the nearest whole sensitivity; speeds outside -1..1 are taken as the
// nearest end.
int SensitivityOfPointerSpeed(double speed);

class GSettingsPointerStore final : public PointerSettingsStore {
 public:
  // The running session's store: the installed schemas, the session's settings backend and the
  // desktop named by XDG_CURRENT_DESKTOP.
  static std::unique_ptr<GSettingsPointerStore> ForThisSession();

  // `currentDesktop` is a colon-separated list of desktop names as in XDG_CURRENT_DESKTOP; GNOME's
  // keys count only where it names GNOME. `schemas` is null where no schemas are installed;
  // `backend` null means the default settings backend. The store keeps its own references.
  GSettingsPointerStore(std::string_view currentDesktop, _GSettingsSchemaSource* schemas,
                        _GSettingsBackend* backend);
  ~GSettingsPointerStore() override;
  GSettingsPointerStore(const GSettingsPointerStore&) = delete;
  GSettingsPointerStore& operator=(const GSettingsPointerStore&) = delete;

  PointerHome Home(PointerSetting setting) const override;
  std::optional<int> Read(PointerSetting setting) override;
  // Writing the sensitivity the key already stands for leaves the key alone, so a finer speed set
  // elsewhere on the desktop is not rounded by a click on another bar.
  bool Write(PointerSetting setting, int value) override;
  // GNOME keeps no acceleration numbers: nothing is read, so nothing is ever given back.
  std::optional<PointerAccelerationNumbers> ReadAcceleration() override;
  // The desktop took each value when its key was written; these confirm that the key holds it.
  bool ApplyPointerSpeed(int sensitivity) override;
  bool ApplyAcceleration(const PointerAccelerationNumbers& acceleration) override;
  bool ApplyDoubleClickTime(int milliseconds) override;
  bool ApplyWheelLines(int lines) override;

 private:
  _GSettings* mouse_ = nullptr;  // null when GNOME's mouse settings are out of reach
  PointerHome speedHome_;
  PointerHome doubleClickHome_;
  PointerHome wheelHome_;
};

}  // namespace corvid::platform
