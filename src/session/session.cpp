#include "session/session.h"

#include <algorithm>
#include <memory>

#include "model/reset.h"
#include "shell/language_file.h"
#include "shell/resources.h"

namespace corvid::session {

std::string_view ConnectionStateText(ConnectionState state) {
  switch (state) {
    case ConnectionState::kNoMouse:
      return "no mouse";
    case ConnectionState::kOpenedUnidentified:
      return "opened, not identified";
    case ConnectionState::kWrongStorage:
      return "wrong macro storage for this build";
    case ConnectionState::kIdentityRefused:
      return "identity refused";
    case ConnectionState::kReadFailed:
      return "read failed";
    case ConnectionState::kConnected:
      return "connected";
  }
  return "";
}

SessionSetup BuiltInSetup() {
  SessionSetup setup;
  if (const auto image = shell::ResourceBytes("Corvid88Data")) setup.defaultImage = *image;
  setup.productSettings = shell::ReadProductSettings().settings;
  return setup;
}

Session::Session(device::HidBus& bus, device::Clock& clock, device::BusyWindow& busyWindow,
                 SessionObserver& observer, SessionSetup setup)
    : bus_(bus),
      clock_(clock),
      busyWindow_(busyWindow),
      observer_(observer),
      defaultImage_(setup.defaultImage),
      productSettings_(std::move(setup.productSettings)),
      currentLanguage_(setup.CurrentLanguage),
      vidPidTable_(device::VidPidTable::FromDefaultImage(setup.defaultImage)),
      protocol_(bus, link_, clock, busyWindow) {
  // The header of the default image says which USB IDs to look for, which macro storage this build
  // serves and which identity it accepts. An image without a header serves no mouse.
  if (const auto header = model::ReadDefaultImageHeader(defaultImage_)) {
    header_ = *header;
  } else {
    vidPidTable_ = {};
  }
}

Session::~Session() { device::EmptyDeviceLink(bus_, link_); }

std::string Session::Text(std::string_view key) const {
  return std::string(shell::LanguageText(currentLanguage_, key));
}

void Session::Show(std::string_view key, bool emptyCaption) {
  observer_.ShowMessage({std::string(key), Text(key), emptyCaption});
}

void Session::DataBufToUI() {
  dataBuf_.LoadSections(deviceImage_.sections);
  observer_.RefreshPages();
}

void Session::RefreshDeviceMacros() {
  if (layout_) {
    deviceMacros_.Refresh(*layout_);
  } else if (header_.imageStorageKind == device::StorageKind::Flash) {
    deviceMacros_.Refresh(device::MemoryLayout::LayoutFlashFlash);
  } else if (header_.imageStorageKind == device::StorageKind::I2C) {
    deviceMacros_.Refresh(device::MemoryLayout::LayoutI2C);
  }
}

void Session::InitNoDevice() {
  auto defaults = std::make_unique<model::DefaultBuffers>();
  model::LoadDefaultImage(defaultImage_, header_.imageStorageKind, *defaults);
  model::TakeDefaults(*defaults, header_.imageStorageKind, deviceImage_);
  RefreshDeviceMacros();
  DataBufToUI();
}

void Session::FormCloseQuery() {
  device::EmptyDeviceLink(bus_, link_);
  SetState(ConnectionState::kNoMouse);
}

void Session::SetState(ConnectionState state) {
  if (state == state_) return;
  state_ = state;
  observer_.ConnectionChanged(state);
}

void Session::SetCurrentLanguage(int language) {
  if (language == currentLanguage_) return;
  currentLanguage_ = language;
  observer_.LanguageChanged();
}

}  // namespace corvid::session
