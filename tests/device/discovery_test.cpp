#include "device/discovery.h"

#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace corvid::device {
namespace {

using sim::StandInMouseConfig;
using testing_support::SimFixture;

class DiscoveryTest : public SimFixture {};

TEST_F(DiscoveryTest, CountsEveryPresentInterfaceAndClosesWhatItOpened) {
  bus.PlugKeyboard();
  bus.PlugOtherMouse();  // two collections
  PlugMouse();
  EXPECT_EQ(CountHidInterfaces(traced), 4);

  // An interface the user may not open is still present.
  sim::StandInMouse lockedMouse({}, clock);
  bus.PlugDevice(lockedMouse, 0x1209, 0x0002, 1, /*accessible=*/false);
  EXPECT_EQ(CountHidInterfaces(traced), 5);

  bus.Unplug(mousePlug);
  EXPECT_EQ(CountHidInterfaces(traced), 4);
  EXPECT_EQ(bus.OpenHandleCount(), 0U);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(DiscoveryTest, OneCollectionTakesBothRolesAfterTheTwoProbes) {
  bus.PlugKeyboard();
  bus.PlugOtherMouse();
  PlugMouse();

  const OpenMouseResult result = Open();

  EXPECT_TRUE(result.matched);
  EXPECT_TRUE(result.inaccessiblePaths.empty());
  EXPECT_TRUE(link.IsConnected());
  EXPECT_EQ(link.CommandHandle, link.DataHandle);
  EXPECT_EQ(link.VendorId, 0x1209U);
  EXPECT_EQ(link.ProductId, 0x0001U);
  EXPECT_EQ(link.FeatureReportLength, 8);
  // The other mouse's vendor collection is never probed: its IDs differ.
  EXPECT_EQ(Reports(), (std::vector<std::string>{"set 40 0D 00 00 00 00 00 00",
                                                 "get 41 00 00 C0 04 00 00 00"}));
  EXPECT_EQ(bus.OpenHandleCount(), 1U);
}

class TwoCollectionDiscoveryTest : public SimFixture {
 protected:
  TwoCollectionDiscoveryTest() : SimFixture(TwoCollections()) {}
  static StandInMouseConfig TwoCollections() {
    StandInMouseConfig config;
    config.collections = 2;
    return config;
  }
};

TEST_F(TwoCollectionDiscoveryTest, RolesFallToTheCollectionThatAnswersEachProbe) {
  PlugMouse();
  ASSERT_TRUE(Open().matched);

  EXPECT_TRUE(link.IsConnected());
  EXPECT_NE(link.CommandHandle, link.DataHandle);
  EXPECT_EQ(bus.OpenHandleCount(), 2U);

  // Both handles are used: a read goes out on one and comes back on the other.
  std::array<std::uint8_t, 2> identity{};
  mouse.SetIdentityBytes(0x12, 0x34);
  ASSERT_TRUE(protocol.ReadMemory(249, identity));
  EXPECT_EQ(identity, (std::array<std::uint8_t, 2>{0x12, 0x34}));
}

TEST_F(DiscoveryTest, AMouseThatOnlyTakesCommandsKeepsOnlyTheCommandHandle) {
  mouse.SetRefuseReadBacks(true);
  PlugMouse();

  EXPECT_TRUE(Open().matched);
  EXPECT_NE(link.CommandHandle, kNoHandle);
  EXPECT_EQ(link.DataHandle, kNoHandle);
  EXPECT_FALSE(link.IsConnected());
  EXPECT_EQ(bus.OpenHandleCount(), 1U);
}

TEST_F(DiscoveryTest, InterfacesOfOtherLengthsOrIdsAreClosedAgain) {
  bus.Plug({{0x1209, 0x0001, 9, &mouse, 0, true}});  // right IDs, 9-byte feature reports
  bus.Plug({{0x1209, 0x0001, 0, &mouse, 0, true}});  // right IDs, no feature reports
  bus.PlugOtherMouse();

  const OpenMouseResult result = Open();

  EXPECT_FALSE(result.matched);
  EXPECT_FALSE(link.IsConnected());
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(bus.OpenHandleCount(), 0U);
}

TEST_F(DiscoveryTest, AMouseThatCannotBeOpenedIsRecordedNotSkipped) {
  bus.PlugKeyboard();
  PlugMouse(/*accessible=*/false);

  const OpenMouseResult result = Open();

  EXPECT_FALSE(result.matched);
  ASSERT_EQ(result.inaccessiblePaths.size(), 1U);
  EXPECT_EQ(result.inaccessiblePaths[0], bus.ListInterfaces().back().path);
  EXPECT_FALSE(link.IsConnected());
}

TEST_F(DiscoveryTest, ReplacedAndEmptiedHandlesAreClosedExactlyOnce) {
  PlugMouse();
  ASSERT_TRUE(Open().matched);
  const HidHandle first = link.CommandHandle;

  // A second search without emptying the link replaces both roles with the new handle.
  ASSERT_TRUE(Open().matched);
  EXPECT_NE(link.CommandHandle, first);
  EXPECT_EQ(bus.OpenHandleCount(), 1U);

  EmptyDeviceLink(traced, link);
  EXPECT_EQ(link.CommandHandle, kNoHandle);
  EXPECT_EQ(link.DataHandle, kNoHandle);
  EXPECT_EQ(link.VendorId, 0U);
  EXPECT_EQ(link.ProductId, 0U);
  EXPECT_EQ(link.FeatureReportLength, 8);  // kept
  EXPECT_EQ(bus.OpenHandleCount(), 0U);
  EXPECT_EQ(bus.StrayCloseCount(), 0);
}

TEST_F(TwoCollectionDiscoveryTest, EmptyingTheLinkClosesBothHandles) {
  PlugMouse();
  ASSERT_TRUE(Open().matched);
  ASSERT_TRUE(Open().matched);  // replaces both, closing the first pair
  EXPECT_EQ(bus.OpenHandleCount(), 2U);

  EmptyDeviceLink(traced, link);
  EXPECT_EQ(bus.OpenHandleCount(), 0U);
  EXPECT_EQ(bus.StrayCloseCount(), 0);
}

TEST_F(DiscoveryTest, AHandleThatStillHoldsTheOtherRoleIsNotClosed) {
  // First search: one collection takes both roles. Then the mouse stops answering read-backs and
  // a second search finds it again: the new handle takes only the command role, and the old one
  // must stay open because it still holds the data role.
  PlugMouse();
  ASSERT_TRUE(Open().matched);
  const HidHandle first = link.DataHandle;
  mouse.SetRefuseReadBacks(true);
  ASSERT_TRUE(Open().matched);

  EXPECT_NE(link.CommandHandle, first);
  EXPECT_EQ(link.DataHandle, first);
  EXPECT_EQ(bus.OpenHandleCount(), 2U);
  EmptyDeviceLink(traced, link);
  EXPECT_EQ(bus.OpenHandleCount(), 0U);
  EXPECT_EQ(bus.StrayCloseCount(), 0);
}

TEST(VidPidTableTest, EntryZeroComesFromTheDefaultImageHeader) {
  const std::uint8_t header[] = {0xE0, 0x00, 0x12, 0x09, 0xA0, 0x01};
  const VidPidTable table = VidPidTable::FromDefaultImage(header);
  EXPECT_EQ(table.entries[0].vendorId, 0x1209U);
  EXPECT_EQ(table.entries[0].productId, 0xA001U);
  EXPECT_FALSE(table.entries[0].IsEmpty());
  EXPECT_TRUE(table.entries[1].IsEmpty());

  EXPECT_TRUE(VidPidTable::FromDefaultImage(std::span(header, 5)).entries[0].IsEmpty());
  EXPECT_TRUE((VidPid{0x1209, 0}.IsEmpty()));
  EXPECT_TRUE((VidPid{0, 0x0001}.IsEmpty()));
}

}  // namespace
}  // namespace corvid::device
