// The connection with the mouse: the device poll, arrival and removal, identification and the
// full read. Everything runs on the window's thread; the poll guard keeps a timer tick that
// arrives while events are processed from running the poll twice.

#include <algorithm>
#include <array>

#include "device/layout_identification.h"
#include "model/image_transfer.h"
#include "session/long_transfer.h"
#include "session/session.h"

namespace corvid::session {
namespace {

constexpr int kCountPairs = 5;
constexpr int kEqualPairsToAct = 2;
constexpr int kArrivalWaitRounds = 21;  // 2.1 s for the new device to settle
constexpr int kRestartWaitRounds = 51;  // 5.1 s for the mouse to enumerate again
constexpr std::uint32_t kWaitRoundMilliseconds = 100;

class GuardFlag {
 public:
  explicit GuardFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~GuardFlag() { flag_ = false; }
  GuardFlag(const GuardFlag&) = delete;
  GuardFlag& operator=(const GuardFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void Session::WaitWithEvents(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    clock_.SleepMilliseconds(kWaitRoundMilliseconds);
    busyWindow_.ProcessPendingEvents();
  }
}

void Session::DevTimerTimer() {
  if (pollGuard_) return;
  const GuardFlag guard(pollGuard_);

  // A count is believed only when it holds still: two of five pairs must agree.
  int equalPairs = 0;
  int current = 0;
  for (int pair = 0; pair < kCountPairs; ++pair) {
    const int first = device::CountHidInterfaces(bus_);
    const int second = device::CountHidInterfaces(bus_);
    if (first == second) ++equalPairs;
    current = first;
  }
  if (current == lastDeviceCount_ || equalPairs < kEqualPairsToAct) return;

  if (current < lastDeviceCount_) {
    // A mouse that could not be opened and has now left must not be reported again as one that
    // cannot be opened.
    ForgetUnlistedInaccessiblePaths();
    // Another HID device may have left while the mouse stays: only a mouse that is really gone
    // is declared lost.
    if (!(link_.IsConnected() && MouseStillListed())) {
      DeviceLost();
      device::EmptyDeviceLink(bus_, link_);
    }
  } else {
    WaitWithEvents(kArrivalWaitRounds);
    inaccessiblePaths_.clear();
    for (const device::VidPid& entry : vidPidTable_.entries) {
      if (entry.IsEmpty()) continue;
      if (OpenFromEntry(entry)) {
        ReadDevInfo();
        break;
      }
      DeviceLost();
    }
  }
  lastDeviceCount_ = current;
}

bool Session::MouseStillListed() {
  for (const device::HidInterfaceInfo& info : bus_.ListInterfaces()) {
    if (device::IsMouseInterface(info, link_.VendorId, link_.ProductId)) return true;
  }
  return false;
}

void Session::ForgetUnlistedInaccessiblePaths() {
  const std::vector<device::HidInterfaceInfo> listed = bus_.ListInterfaces();
  std::erase_if(inaccessiblePaths_, [&listed](const std::string& path) {
    return std::ranges::none_of(
        listed, [&path](const device::HidInterfaceInfo& i) { return i.path == path; });
  });
}

bool Session::OpenFromEntry(const device::VidPid& entry) {
  const device::OpenMouseResult opened =
      device::OpenMouse(bus_, link_, entry.vendorId, entry.productId);
  inaccessiblePaths_.insert(inaccessiblePaths_.end(), opened.inaccessiblePaths.begin(),
                            opened.inaccessiblePaths.end());
  if (!opened.matched) return false;
  link_.VendorId = entry.vendorId;
  link_.ProductId = entry.productId;
  return true;
}

void Session::ReFindDev() {
  device::EmptyDeviceLink(bus_, link_);
  inaccessiblePaths_.clear();
  for (const device::VidPid& entry : vidPidTable_.entries) {
    if (entry.IsEmpty()) {
      DeviceLost();
      continue;
    }
    if (OpenFromEntry(entry)) {
      ReadDevInfo();
      return;
    }
  }
}

void Session::ReadDevInfo() {
  SetState(ConnectionState::kOpenedUnidentified);
  const device::Identification id = device::IdentifyLayout(protocol_);
  if (!id.info) return;

  deviceType_ = id.info->DeviceType();
  switch (*deviceType_) {
    case 1:
      macroBindingOffered_ = false;
      observer_.SetMacroBindingOffered(false);
      break;
    case 4:
    case 16:
    case 17:
    case 22:
      macroBindingOffered_ = true;
      observer_.SetMacroBindingOffered(true);
      break;
    default:
      break;
  }
  controllerKind_ = id.ControllerKind;
  macroStorageKind_ = id.MacroStorageKind;
  layout_ = id.layout;
  if (!layout_) return;

  const device::StorageKind imageKind = header_.imageStorageKind;
  if (imageKind != device::StorageKind::Unknown &&
      device::EffectiveStorageKind(*layout_) != imageKind) {
    Show("Str102");
    RefreshErrorAP();
    SetState(ConnectionState::kWrongStorage);
    return;
  }

  // A refused identity read would leave 0xFF 0xFF, the shipped identity: it must not pass.
  const auto identity = model::ReadIdentityBytes(protocol_, *layout_);
  if (!identity) return;
  deviceImage_.IdentityBytes = *identity;
  const bool defaultIdentity = *identity == header_.identityBytes;
  const bool productIdentity =
      (*identity)[0] == productSettings_.revManuId && (*identity)[1] == productSettings_.revProId;
  if (defaultIdentity || productIdentity) {
    Btn_Read();
    return;
  }
  writeLock_ = true;
  SetState(ConnectionState::kIdentityRefused);
  observer_.SetDevTimerEnabled(false);
  Show("Str107", /*emptyCaption=*/true);
  observer_.SetDevTimerEnabled(true);
}

void Session::Btn_Read() {
  writeLock_ = true;
  bool read = false;
  {
    const LongTransfer transfer(*this);
    read = model::ReadEverything(protocol_, *layout_, deviceImage_);
    RefreshDeviceMacros();
    DataBufToUI();
    const bool flashFlash = *layout_ == device::MemoryLayout::LayoutFlashFlash;
    // The pages are open again before the layer on show is entered anew: a mouse plugged back in
    // after it was lost would otherwise find its key page still locked and covered.
    errorState_ = false;
    observer_.RestorePagesAfterRead(flashFlash);
  }
  if (!read) {
    // Bytes that did not arrive read 0xFF; writing them back would spoil the mouse.
    SetState(ConnectionState::kReadFailed);
    std::string text = "The mouse did not answer the whole read";
    if (!protocol_.LastFailure().empty()) text += " (" + protocol_.LastFailure() + ")";
    text +=
        "; its settings are shown as far as they arrived and are not written. Plug it in again, "
        "reset it or load a profile.";
    observer_.ShowMessage({"", text, false});
    return;
  }
  writeLock_ = false;
  SetState(ConnectionState::kConnected);
}

void Session::RefreshErrorAP() {
  errorState_ = true;
  observer_.ShowErrorPage();
}

void Session::DeviceLost() {
  observer_.ResetPagesForNoDevice();
  errorState_ = false;
  busyWindow_.ProcessPendingEvents();
  RefreshErrorAP();
  controllerKind_ = device::StorageKind::Unknown;
  macroStorageKind_ = device::StorageKind::Unknown;
  layout_.reset();
  deviceType_.reset();
  SetState(ConnectionState::kNoMouse);
  if (!inaccessiblePaths_.empty()) {
    // The mouse is there, but the system does not let this user open it: say so, and how to fix it.
    Show("Str108");
  } else {
    observer_.ShowMessage({"Str100", Text("Str100") + "\r" + Text("Str101"), false, restarting_});
  }
}

void Session::RestartAndReconnect() {
  clock_.SleepMilliseconds(kWaitRoundMilliseconds);
  protocol_.RestartDevice();
  restarting_ = true;
  DeviceLost();
  restarting_ = false;
  busyWindow_.ProcessPendingEvents();
  WaitWithEvents(kRestartWaitRounds);
  ReFindDev();
  // The re-search has seen every present device; the poll must not take the restart for a change.
  lastDeviceCount_ = device::CountHidInterfaces(bus_);
  // The count above no longer holds a mouse that left again during the read: the poll would never
  // see it go, and the pages would write into nothing.
  if (link_.IsConnected() && !MouseStillListed()) {
    DeviceLost();
    device::EmptyDeviceLink(bus_, link_);
  }
  // A mouse that did not come back must still be found when it is plugged in again.
  observer_.SetDevTimerEnabled(true);
}

}  // namespace corvid::session
