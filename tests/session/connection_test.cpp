#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "device/clock.h"
#include "session/session.h"
#include "shell/language_file.h"
#include "shell/resources.h"
#include "sim/simulated_bus.h"
#include "sim/stand_in_mouse.h"
#include "sim/trace.h"
#include "support/recording_busy_window.h"
#include "support/recording_observer.h"

namespace corvid::session {
namespace {

using device::MemoryLayout;
using sim::StandInMouseConfig;
using Keys = std::vector<std::string>;

// Hides the mouse from the interface list on the calls a script names, so that the counts of the
// poll can flicker as they do while a device enumerates.
class FlickeringBus final : public device::HidBus {
 public:
  explicit FlickeringBus(device::HidBus& inner) : inner_(inner) {}

  std::deque<bool> mouseVisible;  // one entry per listing; visible once the script has run out

  std::vector<device::HidInterfaceInfo> ListInterfaces() override {
    std::vector<device::HidInterfaceInfo> list = inner_.ListInterfaces();
    if (!mouseVisible.empty()) {
      const bool visible = mouseVisible.front();
      mouseVisible.pop_front();
      if (!visible) {
        std::erase_if(list, [](const auto& info) { return info.vendorId == CORVID_VENDOR_ID; });
      }
    }
    return list;
  }
  device::OpenResult Open(const std::string& path) override { return inner_.Open(path); }
  bool SendFeatureReport(device::HidHandle h, std::span<const std::uint8_t> r) override {
    return inner_.SendFeatureReport(h, r);
  }
  bool GetFeatureReport(device::HidHandle h, std::span<std::uint8_t> r) override {
    return inner_.GetFeatureReport(h, r);
  }
  void Close(device::HidHandle h) override { inner_.Close(h); }
  std::string LastError(device::HidHandle h) override { return inner_.LastError(h); }

 private:
  device::HidBus& inner_;
};

class ConnectionTest : public ::testing::Test {
 protected:
  explicit ConnectionTest(StandInMouseConfig config = {}) : mouse(config, clock) {
    const auto image = *shell::ResourceBytes("Corvid88Data");
    mouse.SetBank(0, image.subspan(0, 104));
    mouse.SetBank(1, image.subspan(104, 145));
    session.InitNoDevice();
    observer.Clear();
  }

  void PlugMouse(bool accessible = true) {
    mousePlug = simulated.PlugDevice(mouse, mouse.Config().vendorId, mouse.Config().productId,
                                     mouse.Config().collections, accessible);
  }

  // Plugs the mouse, lets the poll find it, and starts a fresh record.
  void ConnectMouse() {
    PlugMouse();
    session.DevTimerTimer();
    ASSERT_EQ(session.State(), ConnectionState::kConnected) << observer.lastMessage.text;
    observer.Clear();
    trace.str({});
  }

  device::FakeClock clock;
  sim::StandInMouse mouse;
  sim::SimulatedBus simulated;
  std::ostringstream trace;
  sim::TracingHidBus traced{simulated, trace};
  FlickeringBus bus{traced};
  testing_support::RecordingBusyWindow busy{trace};
  testing_support::RecordingObserver observer;
  SessionSetup setup = BuiltInSetup();
  Session session{bus, clock, busy, observer, setup};
  int mousePlug = 0;
};

TEST_F(ConnectionTest, StartingWithoutAMouseSaysSoOnce) {
  simulated.PlugKeyboard();
  session.DevTimerTimer();
  EXPECT_EQ(observer.messages, Keys{"Str100"});
  EXPECT_EQ(observer.lastMessage.text,
            "No Device Found\rPlease check your device is attached to USB port");
  EXPECT_EQ(session.State(), ConnectionState::kNoMouse);
  EXPECT_TRUE(session.ErrorState());

  session.DevTimerTimer();
  session.DevTimerTimer();
  EXPECT_EQ(observer.messages.size(), 1U);
}

TEST_F(ConnectionTest, AnArrivingMouseIsOpenedIdentifiedAndReadInFull) {
  simulated.PlugKeyboard();
  PlugMouse();
  mouse.Bank(0)[38] = 0x21;
  session.DevTimerTimer();

  EXPECT_EQ(session.State(), ConnectionState::kConnected);
  EXPECT_TRUE(observer.messages.empty());
  EXPECT_GE(clock.NowMicroseconds(), 2'100'000U);  // the new device had time to settle
  EXPECT_EQ(session.Layout(), MemoryLayout::LayoutI2C);
  EXPECT_EQ(session.DataBuf().Parameter().DpiLevelByte(), 0x21);
  EXPECT_TRUE(std::ranges::equal(session.DeviceImage().sections.profile.Data(), mouse.Bank(1)));
  EXPECT_FALSE(session.WriteLock());
  EXPECT_FALSE(session.ErrorState());
  EXPECT_TRUE(observer.devTimerEnabled);
  EXPECT_FALSE(observer.overlayShown);
  EXPECT_FALSE(observer.updatePageAvailable);
  EXPECT_TRUE(observer.macroBindingOffered);
  EXPECT_EQ(observer.pageRefreshes, 1);
  // The busy window heard the share of the whole read: both sections and the macro memory,
  // rising to the end.
  ASSERT_FALSE(busy.progress.empty());
  EXPECT_EQ(busy.progress.back(), std::make_pair(104 + 145 + 512, 104 + 145 + 512));
  EXPECT_TRUE(std::ranges::is_sorted(busy.progress));
  // The observer heard each step of the connection once.
  EXPECT_EQ(observer.states, (std::vector<ConnectionState>{ConnectionState::kOpenedUnidentified,
                                                           ConnectionState::kConnected}));
}

TEST_F(ConnectionTest, ALanguageSwitchIsToldOnceAndTheRulesSpeakIt) {
  session.SetCurrentLanguage(2);
  session.SetCurrentLanguage(2);
  EXPECT_EQ(observer.languageChanges, 1);
  EXPECT_EQ(session.Text("Str210"), shell::LanguageText(2, "Str210"));
}

TEST_F(ConnectionTest, TwoEqualPairsOfFiveAreEnoughToActOneIsNot) {
  PlugMouse();
  // Pairs: four unequal and one equal pair; the count is not believed and stays 0.
  bus.mouseVisible = {false, true, false, true, false, true, false, true, true, true};
  session.DevTimerTimer();
  EXPECT_TRUE(observer.messages.empty());
  EXPECT_EQ(session.State(), ConnectionState::kNoMouse);
  EXPECT_FALSE(session.IsConnected());

  // Three unequal and two equal pairs: the count of the fifth pair is taken.
  bus.mouseVisible = {false, true, false, true, false, true, true, true, true, true};
  session.DevTimerTimer();
  EXPECT_EQ(session.State(), ConnectionState::kConnected);
}

TEST_F(ConnectionTest, AnotherDeviceArrivingReadsTheMouseAgainSilently) {
  ConnectMouse();
  simulated.PlugKeyboard();
  mouse.Bank(0)[38] = 0x43;  // changed on the mouse meanwhile
  session.DevTimerTimer();

  EXPECT_TRUE(observer.messages.empty());
  EXPECT_EQ(session.State(), ConnectionState::kConnected);
  EXPECT_EQ(observer.pageRefreshes, 1);
  EXPECT_EQ(session.DataBuf().Parameter().DpiLevelByte(), 0x43);
  EXPECT_EQ(simulated.OpenHandleCount(), 1U);  // the replaced handle was closed
}

TEST_F(ConnectionTest, AnotherDeviceLeavingKeepsTheMouse) {
  const int keyboard = simulated.PlugKeyboard();
  ConnectMouse();
  simulated.Unplug(keyboard);
  session.DevTimerTimer();

  EXPECT_TRUE(observer.messages.empty());
  EXPECT_EQ(session.State(), ConnectionState::kConnected);
  EXPECT_TRUE(session.IsConnected());

  // The lower count is now the reference: unplugging the mouse is still seen.
  simulated.Unplug(mousePlug);
  session.DevTimerTimer();
  EXPECT_EQ(observer.messages, Keys{"Str100"});
}

TEST_F(ConnectionTest, TheMouseLeavingResetsThePagesAndClosesItsHandles) {
  ConnectMouse();
  simulated.Unplug(mousePlug);
  session.DevTimerTimer();

  EXPECT_EQ(observer.messages, Keys{"Str100"});
  EXPECT_EQ(observer.noDeviceResets, 1);
  EXPECT_EQ(session.State(), ConnectionState::kNoMouse);
  EXPECT_FALSE(session.IsConnected());
  EXPECT_EQ(session.ControllerKind(), device::StorageKind::Unknown);
  EXPECT_EQ(simulated.OpenHandleCount(), 0U);
  EXPECT_EQ(simulated.StrayCloseCount(), 0);
}

TEST_F(ConnectionTest, IdentityBytesAreCheckedAgainstTheImageAndTheProductSettings) {
  struct Case {
    std::uint8_t manufacturer, product;
    ConnectionState state;
    Keys messages;
  };
  const Case cases[] = {
      {0xFF, 0xFF, ConnectionState::kConnected, {}},  // the shipped image's identity
      {0x00, 0x00, ConnectionState::kConnected, {}},  // Rev_Manu_ID and Rev_Pro_ID of 0
      {0x12, 0x34, ConnectionState::kIdentityRefused, {"Str107"}},
  };
  PlugMouse();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.manufacturer} << " " << int{c.product});
    mouse.SetIdentityBytes(c.manufacturer, c.product);
    observer.Clear();
    session.ReFindDev();
    EXPECT_EQ(session.State(), c.state);
    EXPECT_EQ(observer.messages, c.messages);
    EXPECT_EQ(session.DeviceImage().IdentityBytes,
              (std::array<std::uint8_t, 2>{c.manufacturer, c.product}));
  }
  // Refused: the pages stay usable but write nothing, and the poll runs again.
  EXPECT_TRUE(observer.lastMessage.emptyCaption);
  EXPECT_TRUE(session.WriteLock());
  EXPECT_FALSE(session.CanWrite());
  EXPECT_TRUE(observer.devTimerEnabled);
}

TEST_F(ConnectionTest, ARefusedIdentityReadIsNotTakenForTheShippedIdentity) {
  PlugMouse();
  mouse.RefuseCommandAfter(2);  // the open probe, the device-info query, then the identity read
  session.ReFindDev();
  EXPECT_EQ(session.State(), ConnectionState::kOpenedUnidentified);
  EXPECT_TRUE(observer.messages.empty());
  EXPECT_EQ(observer.pageRefreshes, 0);
}

TEST_F(ConnectionTest, AFullReadTheMouseRefusesIsReportedAndKeepsThePagesFromWriting) {
  PlugMouse();
  mouse.RefuseCommandAfter(3);  // the open probe, device info, identity, then the first section
  session.DevTimerTimer();

  EXPECT_EQ(session.State(), ConnectionState::kReadFailed);
  ASSERT_EQ(observer.messages.size(), 1U);
  EXPECT_NE(observer.lastMessage.text.find("refused"), std::string::npos)
      << observer.lastMessage.text;
  // What did arrive is shown, but nothing half-read is written back until the mouse is repaired
  // or read again.
  EXPECT_EQ(observer.pageRefreshes, 1);
  EXPECT_TRUE(session.WriteLock());
  EXPECT_FALSE(session.CanWrite());
  EXPECT_TRUE(observer.devTimerEnabled);
  EXPECT_FALSE(observer.overlayShown);

  observer.Clear();
  session.ReFindDev();
  EXPECT_EQ(session.State(), ConnectionState::kConnected);
  EXPECT_FALSE(session.WriteLock());
  EXPECT_TRUE(observer.messages.empty());
}

TEST_F(ConnectionTest, DeviceTypeSaysWhetherMacroBindingIsOffered) {
  struct Case {
    std::uint8_t type;
    std::optional<bool> offered;  // nothing: left as it was
  };
  bool expected = true;
  for (const Case& c : {Case{1, false}, Case{5, {}}, Case{4, true}, Case{16, true}, Case{17, true},
                        Case{22, true}, Case{5, {}}}) {
    SCOPED_TRACE(int{c.type});
    StandInMouseConfig config;
    config.deviceType = c.type;
    sim::StandInMouse typed(config, clock);
    const int plug = simulated.PlugDevice(typed, config.vendorId, config.productId, 1);
    observer.Clear();
    session.ReFindDev();
    EXPECT_EQ(observer.macroBindingOfferedChanged, c.offered);
    expected = c.offered.value_or(expected);
    EXPECT_EQ(session.MacroBindingOffered(), expected);
    simulated.Unplug(plug);
  }
}

TEST_F(ConnectionTest, AnInaccessibleMouseIsReportedWithTheFix) {
  PlugMouse(/*accessible=*/false);
  session.DevTimerTimer();
  EXPECT_EQ(observer.messages, Keys{"Str108"});
  EXPECT_NE(observer.lastMessage.text.find("udev"), std::string::npos);
  EXPECT_EQ(session.State(), ConnectionState::kNoMouse);
  EXPECT_EQ(session.InaccessiblePaths().size(), 1U);
}

TEST_F(ConnectionTest, AnInaccessibleMouseLeavingSaysNoDeviceFound) {
  simulated.PlugKeyboard();
  PlugMouse(/*accessible=*/false);
  session.DevTimerTimer();
  ASSERT_EQ(observer.messages, Keys{"Str108"});
  observer.Clear();

  simulated.Unplug(mousePlug);
  session.DevTimerTimer();
  EXPECT_EQ(observer.messages, Keys{"Str100"});
  EXPECT_TRUE(session.InaccessiblePaths().empty());
}

TEST_F(ConnectionTest, RestartFindsTheMouseAgain) {
  ConnectMouse();
  session.RestartAndReconnect();

  EXPECT_EQ(mouse.RestartCount(), 1);
  EXPECT_EQ(observer.messages, Keys{"Str100"});  // shown while the mouse re-enumerates
  EXPECT_TRUE(observer.lastMessage.whileRestarting);
  EXPECT_EQ(session.State(), ConnectionState::kConnected);
  EXPECT_TRUE(observer.devTimerEnabled);
  EXPECT_EQ(simulated.OpenHandleCount(), 1U);

  // The poll does not take the restart for an arrival or a removal.
  observer.Clear();
  session.DevTimerTimer();
  EXPECT_TRUE(observer.messages.empty());
  EXPECT_EQ(observer.pageRefreshes, 0);
}

class SlowRestartTest : public ConnectionTest {
 protected:
  SlowRestartTest() : ConnectionTest(SlowConfig()) {}
  static StandInMouseConfig SlowConfig() {
    StandInMouseConfig config;
    config.restartMilliseconds = 20'000;
    return config;
  }
};

TEST_F(SlowRestartTest, AMouseThatDoesNotComeBackInTimeIsFoundByThePollLater) {
  ConnectMouse();
  session.RestartAndReconnect();
  EXPECT_EQ(session.State(), ConnectionState::kNoMouse);
  EXPECT_TRUE(observer.devTimerEnabled);

  clock.SleepMilliseconds(20'000);
  observer.Clear();
  session.DevTimerTimer();
  EXPECT_EQ(session.State(), ConnectionState::kConnected);
  EXPECT_TRUE(observer.messages.empty());
}

class FlashMouseWithI2CBuildTest : public ConnectionTest {
 protected:
  FlashMouseWithI2CBuildTest()
      : ConnectionTest(StandInMouseConfig::ForLayout(MemoryLayout::LayoutFlashFlash)) {}
};

TEST_F(FlashMouseWithI2CBuildTest, TheStorageMismatchIsShownAndThePagesLocked) {
  ASSERT_EQ(session.ImageStorageKind(), device::StorageKind::I2C);
  PlugMouse();
  session.DevTimerTimer();
  EXPECT_EQ(observer.messages, Keys{"Str102"});
  EXPECT_EQ(session.State(), ConnectionState::kWrongStorage);
  EXPECT_TRUE(session.ErrorState());
  EXPECT_EQ(observer.pageRefreshes, 0);
}

TEST_F(ConnectionTest, ATickDuringThePollReturnsAtOnce) {
  PlugMouse();
  int nestedTicks = 0;
  busy.onEvents = [&] {
    ++nestedTicks;
    session.DevTimerTimer();
  };
  session.DevTimerTimer();
  EXPECT_GT(nestedTicks, 0);
  EXPECT_EQ(observer.pageRefreshes, 1);
  EXPECT_EQ(mouse.RestartCount(), 0);
}

TEST_F(ConnectionTest, ClosingSendsNothingAndClosesTheHandles) {
  ConnectMouse();
  session.FormCloseQuery();
  EXPECT_TRUE(trace.str().empty());
  EXPECT_FALSE(session.IsConnected());
  EXPECT_EQ(simulated.OpenHandleCount(), 0U);
}

}  // namespace
}  // namespace corvid::session
