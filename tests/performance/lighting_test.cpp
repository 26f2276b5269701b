#include "performance/lighting.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>

#include "performance/page_fixture.h"
#include "session/whole_image_operations.h"

namespace corvid::performance {
namespace {

using model::ColourChannels;
using model::LedFamilyKind;

model::DataBuf WithLedModeByte(std::uint8_t ledModeByte) {
  model::DataBuf dataBuf;
  dataBuf.Parameter().SetLedModeByte(ledModeByte);
  return dataBuf;
}

TEST(LightingFillTest, TheFamilyDecidesTheModesAndColoursOnOffer) {
  struct Case {
    std::uint8_t ledModeByte;
    std::string_view family;
    std::vector<int> offered;
    bool colours;
  };
  const std::vector<Case> cases = {
      {0x00, "RGB", {0, 1, 2, 3, 4, 5}, true},
      {0x41, "Sync", {0, 1, 2}, false},
      {0x82, "NT", {0, 1, 2, 3, 5}, true},
      {0xF2, "NT", {0, 1, 2, 3, 5}, true},
  };
  for (const Case& c : cases) {
    LightingPageState state;
    FillLightingPage(WithLedModeByte(c.ledModeByte), state);
    EXPECT_EQ(LedFamilyText(state), c.family);
    EXPECT_EQ(state.coloursShown, c.colours) << c.family;
    std::vector<int> offered;
    for (int mode = 0; mode <= 6; ++mode) {
      if (IsLedModeOffered(state.LedFamily, mode)) offered.push_back(mode);
    }
    EXPECT_EQ(offered, c.offered) << c.family;
  }
}

TEST(LightingFillTest, AModeTheFamilyLacksLeavesThePageAsItWas) {
  LightingPageState state;
  FillLightingPage(WithLedModeByte(0x00), state);
  EXPECT_EQ(state.checkedMode, 0);
  EXPECT_FALSE(state.stepTimeEnabled);

  FillLightingPage(WithLedModeByte(0x43), state);  // "Sync" has no mode 3
  EXPECT_EQ(state.checkedMode, 0);
  EXPECT_FALSE(state.stepTimeEnabled);
  FillLightingPage(WithLedModeByte(0x84), state);  // nor "NT" mode 4
  EXPECT_EQ(state.checkedMode, 0);
  FillLightingPage(WithLedModeByte(0x85), state);
  EXPECT_EQ(state.checkedMode, 5);
  EXPECT_TRUE(state.stepTimeEnabled);

  ResetLightingPageForNoDevice(state);
  EXPECT_EQ(LedFamilyText(state), "");
}

TEST(LightingFillTest, AnyStepTimeByteShowsAStepFromOneToTen) {
  const std::vector<std::pair<std::uint8_t, int>> cases = {
      {0, 1}, {5, 1}, {6, 2}, {14, 3}, {35, 7}, {45, 9}, {46, 10}, {50, 10}, {255, 10}};
  for (const auto& [stepTime, step] : cases) {
    model::DataBuf dataBuf;
    dataBuf.Parameter().Data()[model::kLedStepTimeOffset] = stepTime;
    LightingPageState state;
    FillLightingPage(dataBuf, state);
    EXPECT_EQ(state.LedStepIndex, step) << int{stepTime};
  }
}

TEST(LightingReadBackTest, TheModeByteIsRebuiltByFamily) {
  struct Case {
    std::uint8_t filled;
    std::optional<int> checked;
    std::uint8_t expected;
  };
  const std::vector<Case> cases = {
      {0x34, 4, 0x04},             // "RGB": the mode is the whole byte
      {0x41, 2, 0x42},             // "Sync"
      {0x71, 0, 0x40},             // "Sync" drops the firmware's bits as well
      {0xF2, 5, 0xF5},             // "NT" keeps bits 7..4
      {0xB2, 0, 0xB0},             //
      {0x34, std::nullopt, 0x34},  // nothing checked
  };
  for (const Case& c : cases) {
    model::DataBuf dataBuf = WithLedModeByte(c.filled);
    LightingPageState state;
    FillLightingPage(dataBuf, state);
    state.checkedMode = c.checked;
    LightingPageToDataBuf(state, dataBuf);
    EXPECT_EQ(dataBuf.Parameter().LedModeByte(), c.expected) << int{c.filled};
  }

  // Before any fill the family is unknown and the byte stays.
  model::DataBuf dataBuf = WithLedModeByte(0x34);
  LightingPageState unfilled;
  unfilled.checkedMode = 1;
  LightingPageToDataBuf(unfilled, dataBuf);
  EXPECT_EQ(dataBuf.Parameter().LedModeByte(), 0x34);
}

TEST(LightingReadBackTest, ColoursAndStepTimePassThroughEvenWithoutColourControls) {
  model::DataBuf dataBuf = WithLedModeByte(0x41);
  auto bytes = dataBuf.Parameter().Data();
  std::iota(bytes.begin() + 54, bytes.begin() + 75, 10);  // channels above 15 included
  bytes[model::kLedStepTimeCopyOffset] = 3;
  bytes[model::kLedStepTimeOffset] = 14;
  const model::ParameterSection before = dataBuf.Parameter();

  LightingPageState state;
  FillLightingPage(dataBuf, state);
  LightingPageToDataBuf(state, dataBuf);
  for (std::size_t i = 54; i < 75; ++i) EXPECT_EQ(bytes[i], before.Data()[i]) << "byte " << i;
  EXPECT_EQ(bytes[model::kLedStepTimeCopyOffset], 15);
  EXPECT_EQ(bytes[model::kLedStepTimeOffset], 15);
}

// The default image holds an "NT" mouse in mode 2 (byte 37 = 0xF2), step time 12.
class LightingTest : public PageTest {
 protected:
  void Refind(std::uint8_t ledModeByte) {
    mouse.Bank(0)[model::kLedModeByteOffset] = ledModeByte;
    session.ReFindDev();
    StartRecord();
  }
};

TEST_F(LightingTest, AModeClickWritesTheModeIntoTheByteAsRead) {
  Connect();
  struct Case {
    std::uint8_t ledModeByte;
    int mode;
    PageResult result;
    Lines reports;
  };
  const std::vector<Case> cases = {
      {0xF2, 5, PageResult::kWritten, {ByteWrite(37, 0xF5)}},
      {0xF2, 0, PageResult::kWritten, {ByteWrite(37, 0xF0)}},
      {0xF2, 4, PageResult::kNotOffered, {}},
      {0x41, 2, PageResult::kWritten, {ByteWrite(37, 0x42)}},
      {0x41, 3, PageResult::kNotOffered, {}},
      {0x34, 5, PageResult::kWritten, {ByteWrite(37, 0x35)}},
      {0x34, 6, PageResult::kInvalidArgument, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "byte " << int{c.ledModeByte} << ", mode " << c.mode);
    Refind(c.ledModeByte);
    EXPECT_EQ(SetLedMode(session, lighting, c.mode), c.result);
    EXPECT_EQ(Reports(), c.reports);
    EXPECT_EQ(DataBufByte(model::kLedModeByteOffset), c.ledModeByte);
    if (c.result == PageResult::kWritten) {
      EXPECT_EQ(lighting.checkedMode, c.mode);
    }
  }
}

TEST_F(LightingTest, TheStepTimeIsChosenOnlyWhileALightIsOn) {
  Connect();
  ASSERT_EQ(SetLedMode(session, lighting, 0), PageResult::kWritten);
  StartRecord();
  EXPECT_EQ(SetLedStepTime(session, lighting, 7), PageResult::kNotOffered);
  EXPECT_EQ(lighting.LedStepIndex, 3);
  EXPECT_TRUE(Reports().empty());

  ASSERT_EQ(SetLedMode(session, lighting, 1), PageResult::kWritten);
  StartRecord();
  EXPECT_EQ(SetLedStepTime(session, lighting, 7), PageResult::kWritten);
  EXPECT_EQ(Reports(), Lines{ParameterWrite(52, 35, 35, 0, 2)});
  EXPECT_EQ(lighting.LedStepIndex, 7);
  EXPECT_EQ(DataBufByte(model::kLedStepTimeOffset), 35);
  EXPECT_EQ(DataBufByte(model::kLedStepTimeCopyOffset), 12);  // set by the read-back
  EXPECT_EQ(SetLedStepTime(session, lighting, 11), PageResult::kInvalidArgument);
}

TEST_F(LightingTest, AChosenColourIsWrittenAsThreeFourBitBytes) {
  Connect();
  EXPECT_EQ(SetLedColour(session, lighting, 3, {255, 255, 255}), PageResult::kWritten);
  EXPECT_EQ(SetLedColour(session, lighting, 7, {16, 254, 17}), PageResult::kWritten);
  EXPECT_EQ(Reports(), (Lines{ParameterWrite(60, 15, 15, 15, 3), ParameterWrite(72, 0, 14, 1, 3)}));
  EXPECT_EQ(lighting.ledColour[6], (ColourChannels{0, 14, 1}));
  EXPECT_EQ(SetLedColour(session, lighting, 8, {0, 0, 0}), PageResult::kInvalidArgument);

  Refind(0x41);
  EXPECT_EQ(SetLedColour(session, lighting, 1, {255, 0, 0}), PageResult::kNotOffered);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(LightingTest, AProfileSaveHoldsAColourChosenWhileTheMouseWasLocked) {
  mouse.SetIdentityBytes(0x12, 0x34);
  PlugAndFind();
  ASSERT_EQ(session.State(), session::ConnectionState::kIdentityRefused);
  ASSERT_EQ(SetLedColour(session, lighting, 3, {255, 255, 255}), PageResult::kLocked);

  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) /
      ("lighting_save_" + std::to_string(::getpid()) + "_" +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::create_directories(folder);
  ASSERT_TRUE(session::SaveProfile(session, folder / "locked"));
  std::ifstream file(folder / "locked.bin", std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  std::filesystem::remove_all(folder);
  ASSERT_EQ(bytes.size(), 768U);
  EXPECT_EQ(bytes[60], 15);
  EXPECT_EQ(bytes[61], 15);
  EXPECT_EQ(bytes[62], 15);
}

}  // namespace
}  // namespace corvid::performance
