#include "performance/dpi.h"

#include <gtest/gtest.h>

#include "performance/lighting.h"
#include "performance/page_fixture.h"
#include "performance/report_rate.h"

namespace corvid::performance {
namespace {

using model::ColourChannels;

// The build's default image holds 8 levels with level 6 current (byte 38 = 0x75) and the steps
// 43 65 98 BA (levels 1..8: 3, 4, 5, 6, 8, 9, 10, 11).
class DpiTest : public PageTest {};

TEST_F(DpiTest, ChoosingAStepWritesThePairThenReappliesTheCurrentLevel) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::uint8_t>> bank0;
    int level;
    int segment;
    Lines reports;
  };
  const std::vector<Case> cases = {
      // Level 3 to "1600": the partner level 4 keeps its step 6; current index 5 steps to 4.
      {"third level, seventh segment",
       {},
       3,
       7,
       {ByteWrite(40, 0x66), ByteWrite(38, 0x74), ByteWrite(38, 0x75)}},
      {"even level with the first level current",
       {{38, 0x30}, {40, 0x02}},
       4,
       12,
       {ByteWrite(40, 0xB2), ByteWrite(38, 0x31), ByteWrite(38, 0x30)}},
      {"one level: the neighbour is level 2 even so",
       {{38, 0x00}},
       1,
       1,
       {ByteWrite(39, 0x40), ByteWrite(38, 0x01), ByteWrite(38, 0x00)}},
  };
  Connect();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mouse.SetBank(0, *shell::ResourceBytes("Corvid88Data"));
    for (const auto& [offset, value] : c.bank0) mouse.Bank(0)[offset] = value;
    session.ReFindDev();
    StartRecord();

    EXPECT_EQ(SetDpiLevelStep(session, dpi, c.level, c.segment), PageResult::kWritten);
    EXPECT_EQ(Reports(), c.reports);
    EXPECT_EQ(dpi.DpiLevelStep[c.level - 1], c.segment - 1);
  }
}

TEST_F(DpiTest, TheWorkedExampleLeavesTheMouseWithTheNewStep) {
  Connect();
  ASSERT_EQ(SetDpiLevelStep(session, dpi, 3, 7), PageResult::kWritten);
  EXPECT_EQ(mouse.Bank(0)[40], 0x66);
  EXPECT_EQ(mouse.Bank(0)[38], 0x75);
  // The click writes the mouse, not DataBuf: that catches up when the page is taken back.
  EXPECT_EQ(DataBufByte(40), 0x65);
  EXPECT_EQ(DpiLevelValueText(session, dpi, 3), "1600");
  EXPECT_EQ(DpiStepText(session, 11), "6000");
  EXPECT_EQ(DpiStepText(session, 12), "");
}

TEST_F(DpiTest, LevelCaptionsEnableTheNextLevelOrDisableTheLastOne) {
  Connect();
  struct Case {
    int count;
    int current;
    int level;
    PageResult result;
    int countAfter;
    int currentAfter;
    Lines reports;
  };
  const std::vector<Case> cases = {
      {1, 0, 1, PageResult::kUnchanged, 1, 0, {}},  // the only level stays
      {1, 0, 2, PageResult::kWritten, 2, 0, {ByteWrite(38, 0x10)}},
      {3, 1, 5, PageResult::kWritten, 3, 1, {ByteWrite(38, 0x21)}},  // no change, still written
      {3, 1, 2, PageResult::kWritten, 3, 1, {ByteWrite(38, 0x21)}},  // not the last one
      {3, 2, 3, PageResult::kWritten, 2, 1, {ByteWrite(38, 0x11)}},  // current moves down
      {3, 0, 3, PageResult::kWritten, 2, 0, {ByteWrite(38, 0x10)}},
      {8, 7, 8, PageResult::kWritten, 7, 6, {ByteWrite(38, 0x66)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.count << " levels, current " << c.current << ", click " << c.level);
    dpi.DpiLevelCount = c.count;
    dpi.CurrentDpiLevel = c.current;
    StartRecord();
    EXPECT_EQ(ToggleDpiLevel(session, dpi, c.level), c.result);
    EXPECT_EQ(dpi.DpiLevelCount, c.countAfter);
    EXPECT_EQ(dpi.CurrentDpiLevel, c.currentAfter);
    EXPECT_EQ(Reports(), c.reports);
  }
}

TEST_F(DpiTest, OnlyEnabledLevelsTakeCurrentStepAndColourClicks) {
  Connect({{38, 0x21}});
  EXPECT_EQ(SelectCurrentDpiLevel(session, dpi, 3), PageResult::kWritten);
  EXPECT_EQ(dpi.CurrentDpiLevel, 2);
  EXPECT_EQ(Reports(), Lines{ByteWrite(38, 0x22)});

  StartRecord();
  EXPECT_EQ(SelectCurrentDpiLevel(session, dpi, 4), PageResult::kNotOffered);
  EXPECT_EQ(SetDpiLevelStep(session, dpi, 4, 1), PageResult::kNotOffered);
  EXPECT_EQ(SetDpiLevelColour(session, dpi, 4, {255, 255, 255}), PageResult::kNotOffered);
  EXPECT_EQ(SetDpiLevelStep(session, dpi, 9, 1), PageResult::kInvalidArgument);
  EXPECT_EQ(SetDpiLevelStep(session, dpi, 1, 13), PageResult::kInvalidArgument);
  EXPECT_EQ(SetDpiLevelStep(session, dpi, 1, 0), PageResult::kInvalidArgument);
  EXPECT_EQ(dpi.CurrentDpiLevel, 2);
  EXPECT_EQ(dpi.DpiLevelStep[3], 6);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(DpiTest, AChosenColourKeepsFourBitsPerChannelAndWritesTheWholePair) {
  EXPECT_EQ(FourBitChannels({255, 128, 16}), (ColourChannels{15, 7, 0}));
  EXPECT_EQ(FourBitChannels({254, 17, 0}), (ColourChannels{14, 1, 0}));
  EXPECT_EQ(SwatchColour({15, 7, 0}), (ColourChannels{255, 119, 0}));

  // Level 1 is red and level 2 green in the defaults.
  Connect();
  ASSERT_EQ(dpi.levelColour[0], (ColourChannels{15, 0, 0}));
  EXPECT_EQ(SetDpiLevelColour(session, dpi, 2, {255, 128, 16}), PageResult::kWritten);
  EXPECT_EQ(dpi.levelColour[1], (ColourChannels{15, 7, 0}));
  EXPECT_EQ(Reports(), Lines{ParameterWrite(75, 0xFF, 0x70, 0x00, 3)});
}

TEST_F(DpiTest, AMouseWithoutColouredLightsOffersNoLevelColours) {
  Connect({{37, 0x41}});
  EXPECT_FALSE(dpi.coloursShown);
  EXPECT_EQ(SetDpiLevelColour(session, dpi, 1, {255, 0, 0}), PageResult::kNotOffered);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(DpiTest, TheFillKeepsWhatAByteDoesNotNameAndTheReadBackKeepsTheStoredValue) {
  // Count nibble 9 and current index 10 name nothing; level 2 has no value, level 3 step 13.
  Connect({{38, 0x9A}, {39, 0xF3}, {40, 0x6D}});
  const model::DataBuf asRead = session.DataBuf();
  EXPECT_EQ(dpi.DpiLevelCount, 8);  // from the start-up fill with the defaults
  EXPECT_EQ(dpi.CurrentDpiLevel, 10);
  EXPECT_EQ(CurrentLevelShown(dpi), std::nullopt);
  EXPECT_EQ(dpi.DpiLevelStep[1], 4);  // level 2 still shows the default step
  EXPECT_EQ(DpiLevelValueText(session, dpi, 2), "1000");
  EXPECT_EQ(DpiLevelValueText(session, dpi, 3), "");

  DpiPageToDataBuf(dpi, session.DataBuf());
  EXPECT_EQ(DataBufByte(38), 0x7A);
  EXPECT_EQ(DataBufByte(39), 0x43);
  EXPECT_EQ(DataBufByte(40), 0x6D);  // step 13 passes through

  // A page that never showed level 2 keeps "no value" for it, and writes step 0 as its partner.
  DpiPageState fresh;
  FillDpiPage(asRead, fresh);
  model::DataBuf readBack = asRead;
  DpiPageToDataBuf(fresh, readBack);
  EXPECT_EQ(readBack.Parameter().Data()[38], 0x0A);
  EXPECT_EQ(readBack.Parameter().Data()[39], 0xF3);
  EXPECT_EQ(readBack.Parameter().Data()[40], 0x6D);

  StartRecord();
  EXPECT_EQ(SetDpiLevelStep(session, fresh, 1, 2), PageResult::kWritten);
  EXPECT_EQ(Reports(), (Lines{ByteWrite(39, 0x01), ByteWrite(38, 0x09), ByteWrite(38, 0x0A)}));
}

TEST_F(DpiTest, ThePageIsTakenBackIntoDataBufBeforeAProfileSave) {
  Connect();
  ASSERT_EQ(SetDpiLevelStep(session, dpi, 3, 7), PageResult::kWritten);
  ASSERT_EQ(ToggleDpiLevel(session, dpi, 8), PageResult::kWritten);
  ASSERT_EQ(SetDpiLevelColour(session, dpi, 1, {0, 0, 255}), PageResult::kWritten);
  ASSERT_EQ(DataBufByte(38), 0x75);

  const auto before = session.DataBuf().Parameter();
  DpiPageToDataBuf(dpi, session.DataBuf());
  const auto& after = session.DataBuf().Parameter();
  EXPECT_EQ(after.DpiLevelByte(), 0x65);
  EXPECT_EQ(after.Data()[40], 0x66);
  EXPECT_EQ(after.Data()[75], 0x00);
  EXPECT_EQ(after.Data()[76], 0xF0);
  EXPECT_EQ(after.Data()[77], 0x0F);
  // Everything else is as it was.
  for (std::size_t i = 0; i < model::kParameterSectionSize; ++i) {
    if (i == 38 || i == 40 || (i >= 75 && i <= 77)) continue;
    EXPECT_EQ(after.Data()[i], before.Data()[i]) << "byte " << i;
  }
}

TEST_F(DpiTest, TheAimBarHandsThePositionToTheAimKeysAndFallsBackWithoutOne) {
  Connect();
  std::vector<int> calls;
  PageResult answer = PageResult::kWritten;
  const AimKeySetter setter = [&](int position) {
    calls.push_back(position);
    return answer;
  };
  EXPECT_EQ(SetAimDpi(session, dpi, 5, setter), PageResult::kWritten);
  EXPECT_EQ(dpi.AimDpiStep, 5);

  answer = PageResult::kNotOffered;
  EXPECT_EQ(SetAimDpi(session, dpi, 9, setter), PageResult::kNotOffered);
  EXPECT_EQ(dpi.AimDpiStep, 1);
  EXPECT_EQ(calls, (std::vector<int>{5, 9}));
  EXPECT_EQ(SetAimDpi(session, dpi, 13, setter), PageResult::kInvalidArgument);
}

TEST_F(DpiTest, ARefusedWriteIsReportedAndTheRestStillSent) {
  Connect();
  mouse.RefuseNextCommand();
  EXPECT_EQ(SetDpiLevelStep(session, dpi, 3, 7), PageResult::kWriteFailed);
  EXPECT_EQ(dpi.DpiLevelStep[2], 6);
  const Lines reports = Reports();
  ASSERT_EQ(reports.size(), 3U);
  EXPECT_TRUE(reports[0].ends_with(" refused"));
  EXPECT_EQ(reports[2], ByteWrite(38, 0x75));
}

// Clicks of both pages while the mouse refuses our identity: the page moves, nothing is sent.
TEST_F(DpiTest, WhileWritesAreLockedClicksChangeOnlyThePage) {
  mouse.SetIdentityBytes(0x12, 0x34);
  PlugAndFind();
  ASSERT_TRUE(session.WriteLock());
  ASSERT_TRUE(session.IsConnected());
  StartRecord();
  const auto dataBufBefore = session.DataBuf().Parameter();
  bool aimKeysCalled = false;

  EXPECT_EQ(ToggleDpiLevel(session, dpi, 8), PageResult::kLocked);
  EXPECT_EQ(dpi.DpiLevelCount, 8);  // level captions ignore the click altogether
  EXPECT_EQ(SelectCurrentDpiLevel(session, dpi, 2), PageResult::kLocked);
  EXPECT_EQ(dpi.CurrentDpiLevel, 1);
  EXPECT_EQ(SetDpiLevelStep(session, dpi, 3, 7), PageResult::kLocked);
  EXPECT_EQ(dpi.DpiLevelStep[2], 6);
  EXPECT_EQ(SetDpiLevelColour(session, dpi, 3, {255, 255, 255}), PageResult::kLocked);
  EXPECT_EQ(dpi.levelColour[2], (ColourChannels{15, 15, 15}));
  EXPECT_EQ(SetAimDpi(session, dpi, 4,
                      [&](int) {
                        aimKeysCalled = true;
                        return PageResult::kWritten;
                      }),
            PageResult::kLocked);
  EXPECT_EQ(dpi.AimDpiStep, 4);
  EXPECT_FALSE(aimKeysCalled);
  EXPECT_EQ(SetReportRate(session, dpi, model::UsbReportRate::Hz125), PageResult::kLocked);
  EXPECT_EQ(dpi.checkedReportRate, model::UsbReportRate::Hz125);

  EXPECT_EQ(SetLedMode(session, lighting, 0), PageResult::kLocked);
  EXPECT_EQ(lighting.checkedMode, 0);
  EXPECT_EQ(SetLedMode(session, lighting, 1), PageResult::kLocked);
  EXPECT_EQ(SetLedStepTime(session, lighting, 7), PageResult::kLocked);
  EXPECT_EQ(lighting.LedStepIndex, 7);
  EXPECT_EQ(SetLedColour(session, lighting, 2, {255, 0, 0}), PageResult::kLocked);
  EXPECT_EQ(lighting.ledColour[1], (ColourChannels{15, 0, 0}));

  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(mouse.RestartCount(), 0);
  EXPECT_EQ(session.DataBuf().Parameter(), dataBufBefore);  // not even the rate or the step time
}

TEST_F(DpiTest, WithoutAMouseTheUserIsToldAndNothingChanges) {
  EXPECT_EQ(SetDpiLevelStep(session, dpi, 1, 12), PageResult::kNoMouse);
  EXPECT_EQ(SetLedMode(session, lighting, 1), PageResult::kNoMouse);
  EXPECT_EQ(observer.record.messages, (Keys{"Str022", "Str022"}));
  EXPECT_EQ(dpi.DpiLevelStep[0], 3);
  EXPECT_EQ(lighting.checkedMode, 2);
  EXPECT_TRUE(Reports().empty());
}

class WrongStorageTest : public PageTest {
 protected:
  WrongStorageTest()
      : PageTest(sim::StandInMouseConfig::ForLayout(device::MemoryLayout::LayoutFlashFlash)) {}
};

TEST_F(WrongStorageTest, LockedPagesIgnoreClicksSilently) {
  PlugAndFind();
  ASSERT_TRUE(session.ErrorState());
  StartRecord();
  EXPECT_EQ(SetDpiLevelStep(session, dpi, 1, 12), PageResult::kRefused);
  EXPECT_EQ(SetLedStepTime(session, lighting, 1), PageResult::kRefused);
  EXPECT_TRUE(observer.record.messages.empty());
  EXPECT_EQ(dpi.DpiLevelStep[0], 3);
  EXPECT_TRUE(Reports().empty());
}

}  // namespace
}  // namespace corvid::performance
