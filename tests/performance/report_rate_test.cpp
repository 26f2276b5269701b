#include "performance/report_rate.h"

#include <gtest/gtest.h>

#include "performance/page_fixture.h"

namespace corvid::performance {
namespace {

using model::UsbReportRate;

TEST(ReconnectNeededTest, OnlyARateAboveTheLoadedOneNeedsARestart) {
  const std::array<int, 5> loaded = {0, 125, 250, 500, 1000};
  struct Row {
    UsbReportRate chosen;
    std::array<bool, 5> needed;  // for each loaded rate above
  };
  const std::vector<Row> rows = {
      {UsbReportRate::Hz125, {false, false, false, false, false}},
      {UsbReportRate::Hz250, {false, true, false, false, false}},
      {UsbReportRate::Hz500, {false, true, true, false, false}},
      {UsbReportRate::Hz1000, {true, true, true, true, false}},
  };
  for (const Row& row : rows) {
    for (std::size_t i = 0; i < loaded.size(); ++i) {
      EXPECT_EQ(ReconnectNeeded(row.chosen, loaded[i]), row.needed[i])
          << model::ReportRateHz(row.chosen) << " Hz after " << loaded[i];
    }
  }
}

// The default image holds 1000 Hz in a report-rate byte of 0xBF.
class ReportRateTest : public PageTest {
 protected:
  explicit ReportRateTest(sim::StandInMouseConfig config = {}) : PageTest(config) {}
};

TEST_F(ReportRateTest, ChangesAtOrBelowTheLoadedRateOnlyWriteTheByte) {
  Connect();
  ASSERT_EQ(dpi.LoadedReportRate, 1000);
  const std::vector<std::pair<UsbReportRate, std::uint8_t>> clicks = {
      {UsbReportRate::Hz1000, 0xBF}, {UsbReportRate::Hz250, 0x9F}, {UsbReportRate::Hz500, 0xAF}};
  for (const auto& [rate, byte] : clicks) {
    SCOPED_TRACE(model::ReportRateHz(rate));
    StartRecord();
    EXPECT_EQ(SetReportRate(session, dpi, rate), PageResult::kWritten);
    EXPECT_EQ(Reports(), Lines{ByteWrite(6, byte)});
    EXPECT_EQ(DataBufByte(6), byte);
    EXPECT_EQ(dpi.checkedReportRate, rate);
  }
  // Raising to 500 Hz after lowering to 250 compares with the 1000 Hz the page was filled with.
  EXPECT_EQ(mouse.RestartCount(), 0);
  EXPECT_EQ(dpi.LoadedReportRate, 1000);
}

TEST_F(ReportRateTest, RaisingTheRateRestartsTheMouseAndReadsItAgain) {
  Connect({{6, 0x8F}});
  ASSERT_EQ(dpi.LoadedReportRate, 125);

  EXPECT_EQ(SetReportRate(session, dpi, UsbReportRate::Hz500), PageResult::kWritten);
  const Lines reports = Reports();
  ASSERT_GE(reports.size(), 2U);
  EXPECT_EQ(reports[0], ByteWrite(6, 0xAF));
  EXPECT_TRUE(reports[1].starts_with("set 40 0E")) << reports[1];
  EXPECT_EQ(mouse.RestartCount(), 1);
  EXPECT_EQ(session.State(), session::ConnectionState::kConnected);
  // The refill after the new read takes the rate the mouse now holds.
  EXPECT_EQ(dpi.LoadedReportRate, 500);
  EXPECT_FALSE(dpi.ReconnectPending);
  EXPECT_TRUE(observer.record.devTimerEnabled);
  EXPECT_EQ(observer.record.messages, Keys{"Str100"});  // while the mouse is away
}

TEST_F(ReportRateTest, APageNotFilledFromAMouseRestartsItForTheHighestRate) {
  Connect();
  ResetDpiPageForNoDevice(dpi);
  EXPECT_EQ(SetReportRate(session, dpi, UsbReportRate::Hz1000), PageResult::kWritten);
  EXPECT_EQ(mouse.RestartCount(), 1);
  EXPECT_EQ(dpi.LoadedReportRate, 1000);
}

TEST_F(ReportRateTest, TheCheckedRateIsTakenBackKeepingTheOtherBits) {
  Connect();
  dpi.checkedReportRate = UsbReportRate::Hz500;
  DpiPageToDataBuf(dpi, session.DataBuf());
  EXPECT_EQ(DataBufByte(6), 0xAF);
}

class SlowComebackTest : public ReportRateTest {
 protected:
  SlowComebackTest() : ReportRateTest(SlowConfig()) {}
  static sim::StandInMouseConfig SlowConfig() {
    sim::StandInMouseConfig config;
    config.restartMilliseconds = 20'000;
    return config;
  }
};

TEST_F(SlowComebackTest, AMouseThatDoesNotComeBackIsReported) {
  Connect({{6, 0x8F}});
  EXPECT_EQ(SetReportRate(session, dpi, UsbReportRate::Hz1000), PageResult::kNoMouse);
  EXPECT_EQ(dpi.LoadedReportRate, 0);
  EXPECT_TRUE(observer.record.devTimerEnabled);  // the poll finds it later
}

}  // namespace
}  // namespace corvid::performance
