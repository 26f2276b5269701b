#include "device/protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "support/sim_fixture.h"

namespace corvid::device {
namespace {

using testing_support::SimFixture;
using Lines = std::vector<std::string>;

std::vector<std::uint8_t> Sequence(std::size_t length, std::uint8_t first = 1) {
  std::vector<std::uint8_t> bytes(length);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

class ProtocolTest : public SimFixture {
 protected:
  void SetUp() override { Connect(); }
};

TEST_F(ProtocolTest, CommandReportsCarryTheirBytesInPlace) {
  struct Case {
    const char* name;
    std::function<void(Protocol&)> run;
    Lines reports;
  };
  std::array<std::uint8_t, 2> two{};
  const std::uint8_t identity[] = {0xAB, 0xCD};
  const Case cases[] = {
      {"one bank-0 byte",
       [](Protocol& p) { p.WriteParameterBytes(40, 0x65, 0, 0, 1); },
       {"set 40 05 00 28 65 00 00 01"}},
      {"three bank-0 bytes",
       [](Protocol& p) { p.WriteParameterBytes(54, 0x11, 0x22, 0x33, 3); },
       {"set 40 05 00 36 11 22 33 03"}},
      {"one key code",
       [](Protocol& p) { p.WriteProfileBytes(8, 0x02, 0x08, 0x07, 0x00); },
       {"set 40 05 01 08 02 08 07 00"}},
      {"identity write at 249",
       [&](Protocol& p) { p.WriteMemory(249, identity); },
       {"set 40 07 00 F9 00 02 00 00", "set 41 AB CD 00 00 00 00 00"}},
      {"identity read at 0x6000",
       [&](Protocol& p) { p.ReadMemory(0x6000, two); },
       {"set 40 09 60 00 00 02 00 00", "get 41 FF FF 00 00 00 00 00"}},
      {"device info",
       [](Protocol& p) { p.DeviceInfoQuery(); },
       {"set 40 0D 00 00 00 00 00 00", "get 41 00 00 C0 04 00 00 00"}},
      {"restart", [](Protocol& p) { p.RestartDevice(); }, {"set 40 0E 00 00 00 00 00 00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearLog();
    mouse.ComeBack();
    clock.Advance(10'000'000);  // past any restart
    c.run(protocol);
    EXPECT_EQ(Reports(), c.reports);
  }
}

TEST_F(ProtocolTest, TransfersAreCutIntoTheRightNumberOfReports) {
  struct Case {
    const char* name;
    std::function<bool(Protocol&)> run;
    std::size_t reports;  // command included
    std::string last;
  };
  const auto params = Sequence(104);
  const auto profile = Sequence(145);
  const auto block = Sequence(256);
  std::vector<std::uint8_t> dest(256);
  const Case cases[] = {
      {"read ParameterSection",
       [&](Protocol& p) {
         return p.ReadSection(0, 0, {dest.data(), 104});
       },
       1 + 15, ""},
      {"read ProfileSection",
       [&](Protocol& p) {
         return p.ReadSection(1, 0, {dest.data(), 145});
       },
       1 + 21, ""},
      {"read 14 bytes",
       [&](Protocol& p) {
         return p.ReadSection(0, 0, {dest.data(), 14});
       },
       1 + 2, ""},
      {"read 0 bytes", [&](Protocol& p) { return p.ReadSection(0, 0, {}); }, 1,
       "set 40 06 00 00 00 00 00 00"},
      {"read 512-byte name table",
       [&](Protocol& p) {
         std::vector<std::uint8_t> names(512);
         return p.ReadMemoryBlock(0x3000, names);
       },
       1 + 74, ""},
      {"write ParameterSection", [&](Protocol& p) { return p.WriteSection(0, 0, params); }, 35,
       "set 40 05 00 66 67 68 00 02"},
      {"write ProfileSection", [&](Protocol& p) { return p.WriteSection(1, 0, profile); }, 37,
       "set 40 05 01 90 91 00 00 00"},
      {"write one bank-0 byte",
       [&](Protocol& p) { return p.WriteSection(0, 10, std::span(params).first(1)); }, 1,
       "set 40 05 00 0A 01 00 00 01"},
      {"write five bank-1 bytes",
       [&](Protocol& p) { return p.WriteSection(1, 4, std::span(params).first(5)); }, 2,
       "set 40 05 01 08 05 00 00 00"},
      {"write macro block", [&](Protocol& p) { return p.WriteMemory(0x0200, block); }, 1 + 37,
       "set 41 FD FE FF 00 00 00 00"},
      {"write 14 bytes",
       [&](Protocol& p) { return p.WriteMemory(0x0200, std::span(block).first(14)); }, 1 + 2,
       "set 41 08 09 0A 0B 0C 0D 0E"},
      {"write 0 bytes", [&](Protocol& p) { return p.WriteMemory(0x0200, {}); }, 1,
       "set 40 07 02 00 00 00 00 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClearLog();
    EXPECT_TRUE(c.run(protocol));
    const Lines reports = Reports();
    EXPECT_EQ(reports.size(), c.reports);
    if (!c.last.empty() && !reports.empty()) {
      EXPECT_EQ(reports.back(), c.last);
    }
  }
}

TEST_F(ProtocolTest, MacroBlockWriteStartsWithItsCommand) {
  const auto block = Sequence(256, 0);
  ASSERT_TRUE(protocol.WriteMemory(0x0200, block));
  EXPECT_EQ(Reports().front(), "set 40 07 02 00 01 00 00 00");
  EXPECT_TRUE(std::equal(block.begin(), block.end(), mouse.Memory().begin() + 0x0200));
}

TEST_F(ProtocolTest, SectionsAndMemoryRoundTripThroughTheMouse) {
  const auto params = Sequence(104, 0x10);
  const auto profile = Sequence(145, 0x80);
  ASSERT_TRUE(protocol.WriteSection(0, 0, params));
  ASSERT_TRUE(protocol.WriteSection(1, 0, profile));
  EXPECT_TRUE(std::ranges::equal(mouse.Bank(0), params));
  EXPECT_TRUE(std::ranges::equal(mouse.Bank(1), profile));

  std::vector<std::uint8_t> readParams(104);
  std::vector<std::uint8_t> readProfile(145);
  ClearLog();
  ASSERT_TRUE(protocol.ReadSection(0, 0, readParams));
  // The 15th read-back supplies bytes 98..103 (0x72..0x77 here).
  EXPECT_EQ(Reports()[15], "get 41 72 73 74 75 76 77 00");
  ASSERT_TRUE(protocol.ReadSection(1, 0, readProfile));
  EXPECT_EQ(readParams, params);
  EXPECT_EQ(readProfile, profile);

  const auto memory = Sequence(300, 7);
  ASSERT_TRUE(protocol.WriteMemory(0x4100, memory));
  std::vector<std::uint8_t> readMemory(300);
  ASSERT_TRUE(protocol.ReadMemoryBlock(0x4100, readMemory));
  EXPECT_EQ(readMemory, memory);
}

TEST_F(ProtocolTest, BusyWindowIsShownAndEventsProcessedBeforeEachReport) {
  protocol.WriteParameterBytes(38, 0x21, 0, 0, 1);
  EXPECT_EQ(LogLines(),
            (Lines{"busy show", "events", "set 40 05 00 26 21 00 00 01", "busy hide", "events"}));
  EXPECT_EQ(clock.NowMicroseconds(), 100'000U);  // the mouse gets 100 ms after a single write

  ClearLog();
  std::array<std::uint8_t, 10> dest{};
  protocol.ReadSection(0, 0, dest);
  EXPECT_EQ(LogLines(), (Lines{"set 40 06 00 00 00 0A 00 00", "busy show", "events",
                               "get 41 FF FF FF FF FF FF FF", "busy show", "events",
                               "get 41 FF FF FF 00 00 00 00"}));  // left shown for the caller

  ClearLog();
  protocol.ReadBankBytes(0, 6, std::span(dest).first(1));
  protocol.ReadMemory(0, std::span(dest).first(1));
  for (const std::string& line : LogLines())
    EXPECT_TRUE(line.starts_with("set") || line.starts_with("get"));

  ClearLog();
  const std::uint8_t bytes[] = {1, 2, 3, 4};
  protocol.WriteSection(0, 0, bytes);
  EXPECT_EQ(LogLines(), (Lines{"busy show", "events", "set 40 05 00 00 01 02 03 03", "busy show",
                               "events", "set 40 05 00 03 04 00 00 01"}));
}

TEST_F(ProtocolTest, TheMouseGetsHalfAMillisecondAfterEachGoodReadBackOnly) {
  std::vector<std::uint8_t> dest(104);
  protocol.ReadSection(0, 0, dest);
  EXPECT_EQ(clock.NowMicroseconds(), 15U * 500U);

  mouse.SetRefuseReadBacks(true);
  const std::uint64_t before = clock.NowMicroseconds();
  EXPECT_TRUE(protocol.ReadSection(0, 0, dest));
  EXPECT_EQ(clock.NowMicroseconds(), before);
  EXPECT_TRUE(std::ranges::all_of(dest, [](std::uint8_t b) { return b == 0xFF; }));
}

TEST_F(ProtocolTest, ARefusedCommandEndsTheTransferAtOnce) {
  std::vector<std::uint8_t> dest(20, 0x55);
  const std::uint8_t data[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};

  mouse.RefuseNextCommand();
  EXPECT_FALSE(protocol.ReadSection(0, 0, dest));
  EXPECT_TRUE(std::ranges::all_of(dest, [](std::uint8_t b) { return b == 0xFF; }));

  mouse.RefuseNextCommand();
  EXPECT_FALSE(protocol.WriteMemory(0x200, data));

  std::fill(dest.begin(), dest.end(), 0x55);
  mouse.RefuseNextCommand();
  EXPECT_FALSE(protocol.ReadMemoryBlock(0x4000, dest));
  EXPECT_TRUE(std::ranges::all_of(dest, [](std::uint8_t b) { return b == 0x55; }));  // kept

  mouse.RefuseNextCommand();
  EXPECT_FALSE(protocol.DeviceInfoQuery().has_value());

  EXPECT_EQ(Reports(),
            (Lines{"set 40 06 00 00 00 14 00 00 refused", "set 40 07 02 00 00 09 00 00 refused",
                   "set 40 09 40 00 00 14 00 00 refused", "set 40 0D 00 00 00 00 00 00 refused"}));

  // A single write still pays its pause and hides the busy window.
  ClearLog();
  mouse.RefuseNextCommand();
  EXPECT_FALSE(protocol.WriteParameterBytes(38, 1, 0, 0, 1));
  EXPECT_EQ(LogLines().back(), "events");
  EXPECT_EQ(LogLines()[LogLines().size() - 2], "busy hide");
}

TEST_F(ProtocolTest, ABankOtherThanZeroOrOneIsNotWritten) {
  const std::uint8_t data[] = {1, 2, 3};
  EXPECT_TRUE(protocol.WriteSection(2, 0, data));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ProtocolTest, ATransferStartedWhileAnotherRunsIsRefusedWithoutTraffic) {
  bool nestedResult = true;
  busy.onEvents = [&] {
    busy.onEvents = nullptr;
    nestedResult = protocol.WriteParameterBytes(38, 0x99, 0, 0, 1);
  };
  std::vector<std::uint8_t> dest(14);
  ASSERT_TRUE(protocol.ReadSection(0, 0, dest));
  EXPECT_FALSE(nestedResult);
  EXPECT_EQ(Reports().size(), 3U);  // the read command and its two read-backs only
}

class ClosedHandleProtocolTest : public SimFixture {};

TEST_F(ClosedHandleProtocolTest, WithNoHandlesNothingIsSentAndNothingShown) {
  PlugMouse();
  std::vector<std::uint8_t> dest(10, 0x55);
  const std::uint8_t data[] = {1, 2};

  EXPECT_FALSE(protocol.WriteParameterBytes(38, 1, 0, 0, 1));
  EXPECT_FALSE(protocol.WriteProfileBytes(0, 1, 2, 3, 4));
  EXPECT_FALSE(protocol.ReadSection(0, 0, dest));
  EXPECT_TRUE(std::ranges::all_of(dest, [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_FALSE(protocol.ReadBankBytes(0, 0, dest));
  EXPECT_FALSE(protocol.WriteSection(0, 0, data));
  EXPECT_FALSE(protocol.ReadMemory(0, dest));
  EXPECT_FALSE(protocol.ReadMemoryBlock(0, dest));
  EXPECT_FALSE(protocol.WriteMemory(0, data));
  EXPECT_FALSE(protocol.DeviceInfoQuery().has_value());
  EXPECT_FALSE(protocol.SendData({}));
  protocol.ReadBack();
  EXPECT_EQ(protocol.ReadBackData(), (ReadBackBuffer{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

  EXPECT_TRUE(LogLines().empty());
  EXPECT_EQ(clock.NowMicroseconds(), 0U);
}

TEST_F(ClosedHandleProtocolTest, WithoutADataHandleReadsSendTheirCommandAndYieldFF) {
  PlugMouse();
  ASSERT_TRUE(Open().matched);
  link.DataHandle = kNoHandle;  // the same handle still carries commands
  ClearLog();

  std::vector<std::uint8_t> dest(14, 0x55);
  EXPECT_TRUE(protocol.ReadSection(1, 0, dest));
  EXPECT_TRUE(std::ranges::all_of(dest, [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(Reports(), (Lines{"set 40 06 01 00 00 0E 00 00"}));
}

}  // namespace
}  // namespace corvid::device
