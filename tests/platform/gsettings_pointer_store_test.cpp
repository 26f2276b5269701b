#define G_SETTINGS_ENABLE_BACKEND
#include "platform/gsettings_pointer_store.h"

#include <gio/gio.h>
#include <gio/gsettingsbackend.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "performance/pointer_settings.h"

namespace corvid::platform {
namespace {

using performance::PointerClickResult;

using performance::PointerSettingsPageState;

TEST(PointerSpeedMappingTest, TheScaleSpansTheDesktopRangeWithTheDefaultInTheMiddle) {
  struct Case {
    int sensitivity;
    double speed;
  };
  const Case cases[] = {{1, -1.0}, {4, -2.0 / 3}, {10, 0.0}, {12, 0.25},
                        {18, 1.0}, {0, -1.0},     {25, 1.0}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(PointerSpeedOfSensitivity(c.sensitivity), c.speed) << c.sensitivity;
  }
  for (int s = 1; s <= 18; ++s) {
    EXPECT_EQ(SensitivityOfPointerSpeed(PointerSpeedOfSensitivity(s)), s);
  }
  // Finer speeds read as the nearest sensitivity; speeds outside the range as its ends.
  EXPECT_EQ(SensitivityOfPointerSpeed(0.3), 12);
  EXPECT_EQ(SensitivityOfPointerSpeed(-0.5), 6);  // 5.5, rounded up
  EXPECT_EQ(SensitivityOfPointerSpeed(-3.0), 1);
  EXPECT_EQ(SensitivityOfPointerSpeed(2.0), 18);
}

// Every store here keeps its settings in a memory backend of its own, so nothing reaches the
// settings of whoever runs the tests, and no test sees another's values.
class GSettingsPointerStoreTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Before the first GSettings call of the process: anything that falls back on the default
    // backend gets memory too.
    setenv("GSETTINGS_BACKEND", "memory", 1);
  }

  void SetUp() override {
    schemas_ = g_settings_schema_source_get_default();
    GSettingsSchema* schema = schemas_ ? g_settings_schema_source_lookup(
                                             schemas_, "org.gnome.desktop.peripherals.mouse", TRUE)
                                       : nullptr;
    ASSERT_NE(schema, nullptr) << "GNOME's desktop schemas are missing; run scripts/setup-deps";
    backend_ = g_memory_settings_backend_new();
    direct_ = g_settings_new_full(schema, backend_, nullptr);
    g_settings_schema_unref(schema);
  }
  void TearDown() override {
    if (direct_) g_object_unref(direct_);
    if (backend_) g_object_unref(backend_);
  }

  GSettingsPointerStore GnomeStore() { return {"ubuntu:GNOME", schemas_, backend_}; }

  GSettingsSchemaSource* schemas_ = nullptr;
  GSettingsBackend* backend_ = nullptr;
  GSettings* direct_ = nullptr;  // the same keys, as the desktop sees them
};

TEST_F(GSettingsPointerStoreTest, ReadsAndWritesGnomesMouseKeys) {
  GSettingsPointerStore store = GnomeStore();
  EXPECT_TRUE(store.Home(PointerSetting::kSpeed).available);
  EXPECT_TRUE(store.Home(PointerSetting::kDoubleClick).available);
  EXPECT_EQ(store.Read(PointerSetting::kSpeed), 10);  // the desktop's default speed 0
  EXPECT_EQ(store.Read(PointerSetting::kDoubleClick), g_settings_get_int(direct_, "double-click"));

  EXPECT_TRUE(store.Write(PointerSetting::kSpeed, 14));
  EXPECT_DOUBLE_EQ(g_settings_get_double(direct_, "speed"), 0.5);
  EXPECT_TRUE(store.Write(PointerSetting::kDoubleClick, 760));
  EXPECT_EQ(g_settings_get_int(direct_, "double-click"), 760);
  EXPECT_TRUE(store.ApplyPointerSpeed(14));
  EXPECT_TRUE(store.ApplyDoubleClickTime(760));
  EXPECT_FALSE(store.ApplyDoubleClickTime(900));

  // A finer speed set elsewhere stays as it is when its own sensitivity is written back.
  g_settings_set_double(direct_, "speed", 0.3);
  EXPECT_TRUE(store.Write(PointerSetting::kSpeed, 12));
  EXPECT_DOUBLE_EQ(g_settings_get_double(direct_, "speed"), 0.3);
}

TEST_F(GSettingsPointerStoreTest, GnomeHasNoHomeForWheelLines) {
  GSettingsPointerStore store = GnomeStore();
  const performance::PointerHome wheel = store.Home(PointerSetting::kWheel);
  EXPECT_FALSE(wheel.available);
  EXPECT_NE(wheel.reason.find("wheel"), std::string::npos) << wheel.reason;
  EXPECT_EQ(store.Read(PointerSetting::kWheel), std::nullopt);
  EXPECT_FALSE(store.Write(PointerSetting::kWheel, 3));
  EXPECT_EQ(store.ReadAcceleration(), std::nullopt);
}

TEST_F(GSettingsPointerStoreTest, ThePageRunsOnTheStore) {
  g_settings_set_double(direct_, "speed", 0.0);
  g_settings_set_int(direct_, "double-click", 500);
  GSettingsPointerStore store = GnomeStore();
  PointerSettingsPageState state;
  RefreshPointerSettings(store, state);
  EXPECT_EQ(state.PointerSpeedStep, 6);
  EXPECT_EQ(state.DoubleClickStep, 0);  // 500 ms is off the scale
  EXPECT_FALSE(PointerBarOf(state, PointerSetting::kWheel).enabled);

  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kWheel, 3), PointerClickResult::kRefused);
  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kSpeed, 9), PointerClickResult::kApplied);
  EXPECT_DOUBLE_EQ(g_settings_get_double(direct_, "speed"), 0.75);
  EXPECT_EQ(g_settings_get_int(direct_, "double-click"), 500);
  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kDoubleClick, 3),
            PointerClickResult::kApplied);
  EXPECT_EQ(g_settings_get_int(direct_, "double-click"), 760);
  EXPECT_DOUBLE_EQ(g_settings_get_double(direct_, "speed"), 0.75);
}

TEST_F(GSettingsPointerStoreTest, NothingHasAHomeOffGnomeOrWithoutTheSchema) {
  struct Case {
    const char* desktop;
    bool withSchemas;
    const char* inReason;
  };
  const Case cases[] = {
      {"KDE", true, "(KDE)"},
      {"", true, "names no desktop"},
      {"GNOME-Flashback", true, "(GNOME-Flashback)"},
      {"GNOME", false, "not installed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desktop);
    GSettingsPointerStore store(c.desktop, c.withSchemas ? schemas_ : nullptr, backend_);
    for (PointerSetting setting : performance::kPointerSettings) {
      EXPECT_FALSE(store.Home(setting).available);
      EXPECT_EQ(store.Read(setting), std::nullopt);
      EXPECT_FALSE(store.Write(setting, 10));
    }
    EXPECT_NE(store.Home(PointerSetting::kSpeed).reason.find(c.inReason), std::string::npos)
        << store.Home(PointerSetting::kSpeed).reason;
  }
  EXPECT_DOUBLE_EQ(g_settings_get_double(direct_, "speed"), 0.0);
}

TEST_F(GSettingsPointerStoreTest, TheSessionStoreUsesTheMemoryBackendUnderTest) {
  GSettingsBackend* fallback = g_settings_backend_get_default();
  ASSERT_STREQ(G_OBJECT_TYPE_NAME(fallback), "GMemorySettingsBackend");
  g_object_unref(fallback);
  const auto store = GSettingsPointerStore::ForThisSession();
  EXPECT_FALSE(store->Home(PointerSetting::kWheel).available);
}

}  // namespace
}  // namespace corvid::platform
