#include "device/layout_identification.h"

#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace corvid::device {
namespace {

using testing_support::SimFixture;

class LayoutIdentificationTest : public SimFixture {};

TEST_F(LayoutIdentificationTest, ControllerByteAndMacroStorageBitsGiveTheLayout) {
  struct Case {
    std::uint8_t controller;
    std::uint8_t byte6;
    std::optional<MemoryLayout> layout;
    const char* controllerKind;
    const char* macroStorageKind;
    std::size_t reports;  // the device-info query is 2; the byte-6 read adds 2
  };
  const Case cases[] = {
      {0xC0, 0x00, MemoryLayout::LayoutI2C, "I2C", "", 2},  // byte 6 is not consulted
      {0x80, 0xBF, MemoryLayout::LayoutFlashI2C, "Flash", "I2C", 4},
      {0x80, 0xC0, MemoryLayout::LayoutFlashFlash, "Flash", "Flash", 4},
      {0x80, 0x3F, std::nullopt, "Flash", "", 4},
      {0x80, 0x40, std::nullopt, "Flash", "", 4},
      {0x55, 0xC0, std::nullopt, "", "", 2},
  };
  PlugMouse();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "controller " << int{c.controller} << " byte 6 " << int{c.byte6});
    sim::StandInMouseConfig config;
    config.controllerKind = c.controller;
    config.macroStorageBits = c.byte6 >> 6;
    sim::StandInMouse probed(config, clock);
    probed.Bank(0)[6] = c.byte6;
    bus.Unplug(mousePlug);
    EmptyDeviceLink(traced, link);
    mousePlug = bus.PlugDevice(probed, config.vendorId, config.productId, 1);
    ASSERT_TRUE(Open().matched);
    ClearLog();

    const Identification id = IdentifyLayout(protocol);
    EXPECT_EQ(id.layout, c.layout);
    EXPECT_EQ(StorageKindText(id.ControllerKind), c.controllerKind);
    EXPECT_EQ(StorageKindText(id.MacroStorageKind), c.macroStorageKind);
    EXPECT_EQ(Reports().size(), c.reports);
    bus.Unplug(mousePlug);
    EmptyDeviceLink(traced, link);
  }
}

class RefusingLayoutIdentificationTest : public SimFixture {
 protected:
  RefusingLayoutIdentificationTest()
      : SimFixture(sim::StandInMouseConfig::ForLayout(MemoryLayout::LayoutFlashFlash)) {}
};

TEST_F(RefusingLayoutIdentificationTest, RefusedCommandsIdentifyNothing) {
  Connect();
  mouse.RefuseNextCommand();
  EXPECT_FALSE(IdentifyLayout(protocol).info.has_value());

  // A refused byte-6 read must not pass for Flash macro storage (its buffer reads 0xFF).
  ASSERT_TRUE(protocol.DeviceInfoQuery().has_value());
  mouse.Bank(0)[6] = 0x3F;
  // The device-info command and its read-back go through; the mouse is gone for the bank read.
  mouse.LeaveBusAfterReports(2);
  const Identification id = IdentifyLayout(protocol);
  EXPECT_EQ(id.ControllerKind, StorageKind::Flash);
  EXPECT_FALSE(id.layout.has_value());
}

}  // namespace
}  // namespace corvid::device
