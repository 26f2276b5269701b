#pragma once

// The state that belongs to the main window, and the connection with the mouse: the device poll,
// arrival and removal, identification, the full read, the no-device defaults and the restart.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/busy_window.h"
#include "device/clock.h"
#include "device/discovery.h"
#include "device/hid_bus.h"
#include "device/memory_layout.h"
#include "device/protocol.h"
#include "device/storage_kind.h"
#include "macros/device_macros.h"
#include "macros/pc_macro_library.h"
#include "model/data_buf.h"
#include "model/default_image.h"
#include "model/device_image.h"
#include "session/connection_state.h"
#include "session/session_observer.h"
#include "shell/product_settings.h"

namespace corvid::session {

struct SessionSetup {
  // The built-in default image, or another one for tests. Must outlive the session.
  std::span<const std::uint8_t> defaultImage;
  shell::ProductSettings productSettings;
  int CurrentLanguage = 1;
};

// The built-in default image and product settings, language 1.
SessionSetup BuiltInSetup();

class Session {
 public:
  Session(device::HidBus& bus, device::Clock& clock, device::BusyWindow& busyWindow,
          SessionObserver& observer, SessionSetup setup);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Start-up without a mouse: the defaults fill the device mirror and the pages.
  void InitNoDevice();
  // The device poll, every 3.5 s.
  void DevTimerTimer();
  // A clean search: empties the link and walks the USB ID table.
  void ReFindDev();
  // Restarts the mouse and finds it again (after a report-rate change or a patch). The caller
  // has disabled the poll.
  void RestartAndReconnect();
  // Closing the window: the handles are closed, nothing is sent to the mouse.
  void FormCloseQuery();

  ConnectionState State() const { return state_; }
  bool IsConnected() const { return link_.IsConnected(); }
  // Paths of interfaces with the mouse's IDs that this user may not open, from the last search.
  const std::vector<std::string>& InaccessiblePaths() const { return inaccessiblePaths_; }

  bool WriteLock() const { return writeLock_; }
  bool ErrorState() const { return errorState_; }
  // Whether a page may write a setting to the mouse now.
  bool CanWrite() const { return link_.IsConnected() && !writeLock_; }

  device::StorageKind ControllerKind() const { return controllerKind_; }
  device::StorageKind MacroStorageKind() const { return macroStorageKind_; }
  device::StorageKind ImageStorageKind() const { return header_.imageStorageKind; }
  std::optional<device::MemoryLayout> Layout() const { return layout_; }
  std::optional<std::uint8_t> DeviceType() const { return deviceType_; }
  // Whether a button may be bound to a macro: not on a mouse of device type 1. Types the tool does
  // not know leave it as the last mouse set it; offered until a mouse says otherwise.
  bool MacroBindingOffered() const { return macroBindingOffered_; }

  const device::DeviceLink& Link() const { return link_; }
  const device::VidPidTable& IdTable() const { return vidPidTable_; }
  device::Protocol& Protocol() { return protocol_; }
  device::HidBus& Bus() { return bus_; }
  device::BusyWindow& Busy() { return busyWindow_; }
  SessionObserver& Observer() { return observer_; }
  model::DeviceImage& DeviceImage() { return deviceImage_; }
  model::DataBuf& DataBuf() { return dataBuf_; }
  // The mouse's macros as the macro page lists them, read from the device mirror; also the
  // catalog that names macro buttons.
  macros::DeviceMacros& Macros() { return deviceMacros_; }
  // The PC macro library, once a front end has opened it (OpenPcMacroLibrary); null before.
  macros::PcMacroLibrary* PcLibrary() { return pcLibrary_.get(); }
  void SetPcLibrary(std::unique_ptr<macros::PcMacroLibrary> library) {
    pcLibrary_ = std::move(library);
  }
  std::span<const std::uint8_t> DefaultImageBytes() const { return defaultImage_; }
  const model::DefaultImageHeader& DefaultHeader() const { return header_; }
  const shell::ProductSettings& ProductSettings() const { return productSettings_; }

  int CurrentLanguage() const { return currentLanguage_; }
  // A language switch: the texts and captions the rules compare are those of `language` from now
  // on, and the pages are told to take their captions again (LanguageChanged).
  void SetCurrentLanguage(int language);
  // The text of a language key in the current language.
  std::string Text(std::string_view key) const;
  void Show(std::string_view key, bool emptyCaption = false);

  // Shows the device mirror on the pages: copies it into DataBuf and refreshes them.
  void DataBufToUI();
  // Rebuilds the device macro lists from the macro memory of the device mirror: the mouse's
  // layout, or without a mouse the layout the build's default image is made for.
  void RefreshDeviceMacros();

 private:
  void DeviceLost();
  void RefreshErrorAP();
  void ReadDevInfo();
  void Btn_Read();
  bool MouseStillListed();
  void ForgetUnlistedInaccessiblePaths();
  bool OpenFromEntry(const device::VidPid& entry);
  void WaitWithEvents(int rounds);
  // Every change of the connection is told to the observer.
  void SetState(ConnectionState state);

  device::HidBus& bus_;
  device::Clock& clock_;
  device::BusyWindow& busyWindow_;
  SessionObserver& observer_;

  std::span<const std::uint8_t> defaultImage_;
  model::DefaultImageHeader header_;
  shell::ProductSettings productSettings_;
  int currentLanguage_ = 1;
  device::VidPidTable vidPidTable_;

  device::DeviceLink link_;
  device::Protocol protocol_;
  model::DeviceImage deviceImage_;
  model::DataBuf dataBuf_;
  macros::DeviceMacros deviceMacros_{deviceImage_};
  std::unique_ptr<macros::PcMacroLibrary> pcLibrary_;

  ConnectionState state_ = ConnectionState::kNoMouse;
  std::vector<std::string> inaccessiblePaths_;
  device::StorageKind controllerKind_ = device::StorageKind::Unknown;
  device::StorageKind macroStorageKind_ = device::StorageKind::Unknown;
  std::optional<device::MemoryLayout> layout_;
  std::optional<std::uint8_t> deviceType_;
  bool macroBindingOffered_ = true;
  bool writeLock_ = false;
  bool errorState_ = false;
  bool pollGuard_ = false;
  bool restarting_ = false;
  int lastDeviceCount_ = 0;
};

}  // namespace corvid::session
