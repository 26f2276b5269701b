#include "performance/pointer_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvid::performance {
namespace {

// The settings held in memory; every write and apply is logged in order, and any setting can be
// made homeless or refuse writes.
class FakePointerStore : public PointerSettingsStore {
 public:
  std::map<PointerSetting, int> stored;
  std::optional<PointerAccelerationNumbers> acceleration;
  std::map<PointerSetting, std::string> homeless;
  bool refuseWrites = false;
  std::vector<std::string> log;

  PointerHome Home(PointerSetting setting) const override {
    const auto it = homeless.find(setting);
    if (it == homeless.end()) return {true, ""};
    return {false, it->second};
  }
  std::optional<int> Read(PointerSetting setting) override {
    log.push_back("read " + Name(setting));
    const auto it = stored.find(setting);
    if (it == stored.end()) return std::nullopt;
    return it->second;
  }
  bool Write(PointerSetting setting, int value) override {
    log.push_back("write " + Name(setting) + " " + std::to_string(value));
    if (refuseWrites) return false;
    stored[setting] = value;
    return true;
  }
  std::optional<PointerAccelerationNumbers> ReadAcceleration() override {
    log.push_back("read acceleration");
    return acceleration;
  }
  bool ApplyPointerSpeed(int sensitivity) override {
    log.push_back("apply speed " + std::to_string(sensitivity));
    return true;
  }
  bool ApplyAcceleration(const PointerAccelerationNumbers& a) override {
    log.push_back("apply acceleration " + std::to_string(a.threshold1) + "," +
                  std::to_string(a.threshold2) + "," + std::to_string(a.speed));
    return true;
  }
  bool ApplyDoubleClickTime(int milliseconds) override {
    log.push_back("apply double-click " + std::to_string(milliseconds));
    return true;
  }
  bool ApplyWheelLines(int lines) override {
    log.push_back("apply wheel " + std::to_string(lines));
    return true;
  }

  static std::string Name(PointerSetting setting) {
    switch (setting) {
      case PointerSetting::kSpeed:
        return "speed";
      case PointerSetting::kDoubleClick:
        return "double-click";
      case PointerSetting::kWheel:
        break;
    }
    return "wheel";
  }
};

TEST(PointerScaleTest, StepsMapBothWaysOnTheThreeScales) {
  const std::vector<int> speed = {1, 2, 4, 6, 8, 10, 12, 14, 16, 18};
  const std::vector<int> doubleClick = {900, 830, 760, 690, 620, 550, 480, 410, 340, 270};
  for (int step = 1; step <= 10; ++step) {
    const auto i = static_cast<std::size_t>(step - 1);
    EXPECT_EQ(PointerScaleValue(PointerSetting::kSpeed, step), speed[i]);
    EXPECT_EQ(PointerScaleValue(PointerSetting::kDoubleClick, step), doubleClick[i]);
    EXPECT_EQ(PointerScaleValue(PointerSetting::kWheel, step), step);
    EXPECT_EQ(PointerScaleStep(PointerSetting::kSpeed, speed[i]), step);
    EXPECT_EQ(PointerScaleStep(PointerSetting::kDoubleClick, doubleClick[i]), step);
    EXPECT_EQ(PointerScaleStep(PointerSetting::kWheel, step), step);
  }
  for (int step : {0, 11, -1}) {
    EXPECT_EQ(PointerScaleValue(PointerSetting::kSpeed, step), std::nullopt) << step;
  }
}

// What one read-back makes of a stored value, from a page that showed `stepBefore`.
TEST(PointerRefreshTest, ValuesOnTheScaleSetTheStepOthersKeepThePreviousStep) {
  struct Case {
    PointerSetting setting;
    int storedValue;
    int stepBefore;
    int stepAfter;
  };
  const std::vector<Case> cases = {
      {PointerSetting::kSpeed, 10, 0, 6},
      {PointerSetting::kSpeed, 1, 4, 1},
      {PointerSetting::kSpeed, 3, 0, 0},  // off the scale at start-up: no segment filled
      {PointerSetting::kSpeed, 3, 8, 8},  // off the scale later: the previous step stays
      {PointerSetting::kSpeed, 20, 2, 2},
      {PointerSetting::kDoubleClick, 760, 0, 3},
      {PointerSetting::kDoubleClick, 500, 0, 0},
      {PointerSetting::kDoubleClick, 270, 1, 10},
      {PointerSetting::kWheel, 7, 0, 7},
      {PointerSetting::kWheel, -1, 5, 5},  // a screen per notch
      {PointerSetting::kWheel, 0, 5, 5},
      {PointerSetting::kWheel, 11, 5, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(FakePointerStore::Name(c.setting) + " " + std::to_string(c.storedValue));
    FakePointerStore store;
    store.stored[c.setting] = c.storedValue;
    PointerSettingsPageState state;
    PointerStep(state, c.setting) = c.stepBefore;
    RefreshPointerSettings(store, state);
    EXPECT_EQ(PointerStep(state, c.setting), c.stepAfter);
    const PointerBarView bar = PointerBarOf(state, c.setting);
    for (int segment = 1; segment <= 10; ++segment) {
      EXPECT_EQ(bar.filled[static_cast<std::size_t>(segment - 1)], segment <= c.stepAfter);
    }
    // The desktop's value follows the store, on the scale or not.
    const std::optional<int> held = c.setting == PointerSetting::kSpeed ? state.PointerSpeedValue
                                    : c.setting == PointerSetting::kDoubleClick
                                        ? state.DoubleClickTime
                                        : state.WheelLines;
    EXPECT_EQ(held, c.storedValue);
  }
}

TEST(PointerRefreshTest, ReadsInTheFixedOrderAndSkipsMissingValues) {
  FakePointerStore store;
  store.stored[PointerSetting::kDoubleClick] = 690;
  store.acceleration = PointerAccelerationNumbers{6, 10, 1};
  PointerSettingsPageState state;
  state.PointerSpeedStep = 2;
  RefreshPointerSettings(store, state);
  EXPECT_EQ(store.log, (std::vector<std::string>{"read speed", "read acceleration",
                                                 "read double-click", "read wheel"}));
  EXPECT_EQ(state.PointerSpeedStep, 2);
  EXPECT_EQ(state.PointerSpeedValue, std::nullopt);
  EXPECT_EQ(state.DoubleClickStep, 4);
  EXPECT_EQ(state.PointerAcceleration, (PointerAccelerationNumbers{6, 10, 1}));
  EXPECT_EQ(state.WheelLines, std::nullopt);
}

TEST(PointerClickTest, EveryClickRewritesAllThreeAndAppliesAllFourInOrder) {
  FakePointerStore store;
  store.stored = {{PointerSetting::kSpeed, 10},
                  {PointerSetting::kDoubleClick, 550},
                  {PointerSetting::kWheel, 3}};
  store.acceleration = PointerAccelerationNumbers{6, 10, 1};
  PointerSettingsPageState state;
  RefreshPointerSettings(store, state);
  store.log.clear();

  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kDoubleClick, 3),
            PointerClickResult::kApplied);
  EXPECT_EQ(store.log,
            (std::vector<std::string>{"write speed 10", "write double-click 760", "write wheel 3",
                                      "apply speed 10", "apply acceleration 6,10,1",
                                      "apply double-click 760", "apply wheel 3"}));
  EXPECT_EQ(store.stored[PointerSetting::kDoubleClick], 760);
  EXPECT_EQ(state.DoubleClickStep, 3);
  EXPECT_EQ(state.DoubleClickTime, 760);
}

TEST(PointerClickTest, ValuesOffTheScaleAreNotRewrittenButAppliedUnchanged) {
  FakePointerStore store;
  store.stored = {{PointerSetting::kSpeed, 3},
                  {PointerSetting::kDoubleClick, 500},
                  {PointerSetting::kWheel, 2}};
  PointerSettingsPageState state;
  RefreshPointerSettings(store, state);
  EXPECT_EQ(state.PointerSpeedStep, 0);
  EXPECT_EQ(state.DoubleClickStep, 0);
  store.log.clear();

  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kWheel, 9), PointerClickResult::kApplied);
  // No acceleration was read, so none is made up and given to the desktop.
  EXPECT_EQ(store.log, (std::vector<std::string>{"write wheel 9", "apply speed 3",
                                                 "apply double-click 500", "apply wheel 9"}));
  EXPECT_EQ(store.stored[PointerSetting::kSpeed], 3);
  EXPECT_EQ(store.stored[PointerSetting::kDoubleClick], 500);
  EXPECT_FALSE(PointerBarOf(state, PointerSetting::kDoubleClick).filled[0]);
}

TEST(PointerClickTest, NothingIsGivenToTheDesktopBeforeItWasReadOrWritten) {
  FakePointerStore store;  // a store that holds none of the values
  PointerSettingsPageState state;
  RefreshPointerSettings(store, state);
  store.log.clear();
  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kSpeed, 5), PointerClickResult::kApplied);
  EXPECT_EQ(store.log, (std::vector<std::string>{"write speed 8", "apply speed 8"}));
}

TEST(PointerClickTest, ABarWithoutAHomeIsDisabledAndLeftOutOfEveryClick) {
  FakePointerStore store;
  store.stored = {{PointerSetting::kSpeed, 10},
                  {PointerSetting::kDoubleClick, 550},
                  {PointerSetting::kWheel, 3}};
  store.homeless[PointerSetting::kWheel] = "This desktop keeps no wheel lines.";
  PointerSettingsPageState state;
  RefreshPointerSettings(store, state);

  const PointerBarView wheel = PointerBarOf(state, PointerSetting::kWheel);
  EXPECT_FALSE(wheel.enabled);
  EXPECT_EQ(wheel.tooltip, "This desktop keeps no wheel lines.");
  EXPECT_EQ(state.WheelStep, 0);
  EXPECT_EQ(wheel.captions.front(), "1");
  EXPECT_EQ(wheel.captions.back(), "10");
  const PointerBarView speed = PointerBarOf(state, PointerSetting::kSpeed);
  EXPECT_TRUE(speed.enabled);
  EXPECT_EQ(speed.tooltip, "");

  store.log.clear();
  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kWheel, 4), PointerClickResult::kRefused);
  EXPECT_TRUE(store.log.empty());
  EXPECT_EQ(state.WheelStep, 0);

  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kSpeed, 7), PointerClickResult::kApplied);
  for (const std::string& entry : store.log) {
    EXPECT_EQ(entry.find("wheel"), std::string::npos) << entry;
  }
}

TEST(PointerClickTest, SegmentsOutsideTheBarAreRefused) {
  FakePointerStore store;
  PointerSettingsPageState state;
  RefreshPointerSettings(store, state);
  store.log.clear();
  for (int segment : {0, 11, -3}) {
    EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kSpeed, segment),
              PointerClickResult::kRefused);
  }
  EXPECT_TRUE(store.log.empty());
  EXPECT_EQ(state.PointerSpeedStep, 0);
}

TEST(PointerClickTest, AWriteNotTakenIsReportedAndTheDesktopKeepsItsValue) {
  FakePointerStore store;
  store.stored = {{PointerSetting::kDoubleClick, 550}};
  PointerSettingsPageState state;
  RefreshPointerSettings(store, state);
  store.refuseWrites = true;
  store.log.clear();
  EXPECT_EQ(ClickPointerBar(store, state, PointerSetting::kDoubleClick, 1),
            PointerClickResult::kNotTaken);
  EXPECT_EQ(state.DoubleClickTime, 550);
  EXPECT_EQ(state.DoubleClickStep, 6);
  EXPECT_EQ(store.log,
            (std::vector<std::string>{"write double-click 900", "apply double-click 550"}));
}

}  // namespace
}  // namespace corvid::performance
