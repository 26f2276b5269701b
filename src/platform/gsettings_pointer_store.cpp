#include "platform/gsettings_pointer_store.h"

#include <gio/gio.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

namespace corvid::platform {

namespace {

constexpr const char* kMouseSchema = "org.gnome.desktop.peripherals.mouse";
constexpr const char* kSpeedKey = "speed";
constexpr const char* kDoubleClickKey = "double-click";

bool NamesGnome(std::string_view desktops) {
  while (!desktops.empty()) {
    const std::size_t colon = desktops.find(':');
    const std::string_view name = desktops.substr(0, colon);
    if (std::equal(name.begin(), name.end(), std::string_view("GNOME").begin(),
                   std::string_view("GNOME").end(), [](char a, char b) {
                     return std::toupper(static_cast<unsigned char>(a)) == b;
                   })) {
      return true;
    }
    if (colon == std::string_view::npos) break;
    desktops.remove_prefix(colon + 1);
  }
  return false;
}

PointerHome Available() { return {true, ""}; }
PointerHome Unavailable(std::string reason) { return {false, std::move(reason)}; }

}  // namespace

double PointerSpeedOfSensitivity(int sensitivity) {
  const int s = std::clamp(sensitivity, 1, 18);
  return s <= 10 ? (s - 10) / 9.0 : (s - 10) / 8.0;
}

int SensitivityOfPointerSpeed(double speed) {
  if (std::isnan(speed)) return 10;
  const double v = std::clamp(speed, -1.0, 1.0);
  return static_cast<int>(std::lround(v < 0 ? 10 + 9 * v : 10 + 8 * v));
}

std::unique_ptr<GSettingsPointerStore> GSettingsPointerStore::ForThisSession() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  return std::make_unique<GSettingsPointerStore>(desktop ? desktop : "",
                                                 g_settings_schema_source_get_default(), nullptr);
}

GSettingsPointerStore::GSettingsPointerStore(std::string_view currentDesktop,
                                             GSettingsSchemaSource* schemas,
                                             GSettingsBackend* backend) {
  wheelHome_ = Unavailable(
      "GNOME keeps no number of lines per wheel notch; each application chooses its own.");

  if (!NamesGnome(currentDesktop)) {
    const std::string shown = currentDesktop.empty()
                                  ? std::string("This session names no desktop")
                                  : "The running desktop (" + std::string(currentDesktop) + ")";
    const std::string reason = shown + " does not take this setting from GNOME's settings.";
    speedHome_ = Unavailable(reason);
    doubleClickHome_ = Unavailable(reason);
    return;
  }
  // Looked up first: creating settings for a schema that is not installed ends the process.
  GSettingsSchema* schema =
      schemas ? g_settings_schema_source_lookup(schemas, kMouseSchema, TRUE) : nullptr;
  if (!schema) {
    const std::string reason =
        std::string("GNOME's mouse settings (") + kMouseSchema + ") are not installed.";
    speedHome_ = Unavailable(reason);
    doubleClickHome_ = Unavailable(reason);
    return;
  }
  const bool hasSpeed = g_settings_schema_has_key(schema, kSpeedKey);
  const bool hasDoubleClick = g_settings_schema_has_key(schema, kDoubleClickKey);
  mouse_ = g_settings_new_full(schema, backend, nullptr);
  g_settings_schema_unref(schema);

  const auto homeOf = [this](bool hasKey, const char* key, const char* what) {
    if (!hasKey) {
      return Unavailable(std::string("GNOME's mouse settings have no ") + what + ".");
    }
    if (!g_settings_is_writable(mouse_, key)) {
      return Unavailable(std::string("The ") + what + " is locked on this computer.");
    }
    return Available();
  };
  speedHome_ = homeOf(hasSpeed, kSpeedKey, "pointer speed");
  doubleClickHome_ = homeOf(hasDoubleClick, kDoubleClickKey, "double-click time");
}

GSettingsPointerStore::~GSettingsPointerStore() {
  if (mouse_) g_object_unref(mouse_);
}

PointerHome GSettingsPointerStore::Home(PointerSetting setting) const {
  switch (setting) {
    case PointerSetting::kSpeed:
      return speedHome_;
    case PointerSetting::kDoubleClick:
      return doubleClickHome_;
    case PointerSetting::kWheel:
      break;
  }
  return wheelHome_;
}

std::optional<int> GSettingsPointerStore::Read(PointerSetting setting) {
  if (!Home(setting).available) return std::nullopt;
  switch (setting) {
    case PointerSetting::kSpeed:
      return SensitivityOfPointerSpeed(g_settings_get_double(mouse_, kSpeedKey));
    case PointerSetting::kDoubleClick:
      return g_settings_get_int(mouse_, kDoubleClickKey);
    case PointerSetting::kWheel:
      break;
  }
  return std::nullopt;
}

bool GSettingsPointerStore::Write(PointerSetting setting, int value) {
  if (!Home(setting).available) return false;
  bool taken = false;
  switch (setting) {
    case PointerSetting::kSpeed:
      if (Read(setting) == value) return true;
      taken = g_settings_set_double(mouse_, kSpeedKey, PointerSpeedOfSensitivity(value));
      break;
    case PointerSetting::kDoubleClick:
      if (value <= 0) return false;
      taken = g_settings_set_int(mouse_, kDoubleClickKey, value);
      break;
    case PointerSetting::kWheel:
      return false;
  }
  // The desktop sees the change once it has left this process.
  g_settings_sync();
  return taken;
}

std::optional<PointerAccelerationNumbers> GSettingsPointerStore::ReadAcceleration() {
  return std::nullopt;
}

bool GSettingsPointerStore::ApplyPointerSpeed(int sensitivity) {
  return Read(PointerSetting::kSpeed) == sensitivity;
}

bool GSettingsPointerStore::ApplyAcceleration(const PointerAccelerationNumbers&) { return false; }

bool GSettingsPointerStore::ApplyDoubleClickTime(int milliseconds) {
  return Read(PointerSetting::kDoubleClick) == milliseconds;
}

bool GSettingsPointerStore::ApplyWheelLines(int) { return false; }

}  // namespace corvid::platform
