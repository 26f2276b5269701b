#include "sim/stand_in_mouse.h"

#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace corvid::sim {
namespace {

using device::MemoryLayout;
using testing_support::SimFixture;

TEST(StandInMouseConfigTest, EachLayoutAnswersWithItsControllerAndMacroStorage) {
  struct Case {
    MemoryLayout layout;
    std::uint8_t controllerKind;
    std::uint8_t byte6Bits;  // bits 7..6 after any bank write
  };
  const Case cases[] = {
      {MemoryLayout::LayoutI2C, 0xC0, 0b00},  // free on an I2C controller
      {MemoryLayout::LayoutFlashI2C, 0x80, 0b10},
      {MemoryLayout::LayoutFlashFlash, 0x80, 0b11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.layout));
    device::FakeClock clock;
    StandInMouse mouse(StandInMouseConfig::ForLayout(c.layout), clock);
    EXPECT_EQ(mouse.Config().Layout(), c.layout);

    // The device-info answer.
    const std::array<std::uint8_t, 8> query = {0x40, 0x0D, 0, 0, 0, 0, 0, 0};
    std::array<std::uint8_t, 8> answer = {0x41};
    ASSERT_TRUE(mouse.SetFeature(0, query));
    ASSERT_TRUE(mouse.GetFeature(0, answer));
    EXPECT_EQ(answer[3], c.controllerKind);
    EXPECT_EQ(answer[4], 4);  // device type

    // Writing 0x00 to bank 0 byte 6 keeps the firmware's macro storage bits.
    const std::array<std::uint8_t, 8> write = {0x40, 0x05, 0x00, 0x06, 0x00, 0, 0, 1};
    ASSERT_TRUE(mouse.SetFeature(0, write));
    EXPECT_EQ(mouse.Bank(0)[6] >> 6, c.byte6Bits);
  }
}

TEST(StandInMouseConfigTest, UnservedKindsHaveNoLayout) {
  StandInMouseConfig config = StandInMouseConfig::ForLayout(MemoryLayout::LayoutFlashI2C);
  config.macroStorageBits = 0b00;
  EXPECT_FALSE(config.Layout().has_value());
  config.controllerKind = 0x55;
  EXPECT_FALSE(config.Layout().has_value());
}

TEST(StandInMouseConfigTest, IdentityBytesSitAtTheLayoutsAddress) {
  device::FakeClock clock;
  StandInMouse i2c(StandInMouseConfig::ForLayout(MemoryLayout::LayoutI2C), clock);
  StandInMouse flash(StandInMouseConfig::ForLayout(MemoryLayout::LayoutFlashFlash), clock);
  i2c.SetIdentityBytes(0x12, 0x34);
  flash.SetIdentityBytes(0x56, 0x78);
  EXPECT_EQ(i2c.Memory()[249], 0x12);
  EXPECT_EQ(i2c.Memory()[250], 0x34);
  EXPECT_EQ(flash.Memory()[0x6000], 0x56);
  EXPECT_EQ(flash.Memory()[0x6001], 0x78);
}

class StandInMouseBusTest : public SimFixture {};

TEST_F(StandInMouseBusTest, ARestartLeavesTheBusAndComesBackWithNewHandlesOnly) {
  Connect();
  const std::size_t interfaces = bus.ListInterfaces().size();

  protocol.RestartDevice();
  EXPECT_EQ(mouse.RestartCount(), 1);
  EXPECT_EQ(bus.ListInterfaces().size(), interfaces - 1);

  clock.SleepMilliseconds(mouse.Config().restartMilliseconds);
  EXPECT_EQ(bus.ListInterfaces().size(), interfaces);
  // The old handle belongs to the previous enumeration.
  EXPECT_FALSE(protocol.DeviceInfoQuery().has_value());

  device::EmptyDeviceLink(traced, link);
  ASSERT_TRUE(Open().matched);
  EXPECT_TRUE(protocol.DeviceInfoQuery().has_value());
}

TEST_F(StandInMouseBusTest, LeavingAfterNReportsCutsATransferShort) {
  Connect();
  mouse.LeaveBusAfterReports(3);  // the command and two read-backs
  std::vector<std::uint8_t> dest(28, 0);
  EXPECT_TRUE(protocol.ReadSection(0, 0, dest));
  EXPECT_EQ(Reports(), (std::vector<std::string>{
                           "set 40 06 00 00 00 1C 00 00", "get 41 FF FF FF FF FF FF FF",
                           "get 41 FF FF FF FF FF FF FF", "get 41 00 00 00 00 00 00 00 refused",
                           "get 41 00 00 00 00 00 00 00 refused"}));
  EXPECT_TRUE(bus.ListInterfaces().empty());
  mouse.ComeBack();
  EXPECT_EQ(bus.ListInterfaces().size(), 1U);
}

TEST_F(StandInMouseBusTest, MemoryWritesStopAtTheDeclaredLength) {
  Connect();
  const std::uint8_t data[] = {1, 2, 3};
  ASSERT_TRUE(protocol.WriteMemory(0xFFFE, data));  // wraps at 64 KiB
  EXPECT_EQ(mouse.Memory()[0xFFFE], 1);
  EXPECT_EQ(mouse.Memory()[0xFFFF], 2);
  EXPECT_EQ(mouse.Memory()[0x0000], 3);
  EXPECT_EQ(mouse.Memory()[0x0001], 0xFF);  // padding of the data report is not written
}

}  // namespace
}  // namespace corvid::sim
