#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/hid_bus.h"
#include "sim/simulated_device.h"

namespace corvid::sim {

// One interface to plug into the simulated bus. `device` may be null for a device that refuses
// every feature report (a keyboard, another mouse).
struct SimulatedInterface {
  std::uint32_t vendorId = 0;
  std::uint32_t productId = 0;
  int featureReportLength = 0;
  SimulatedDevice* device = nullptr;
  int collection = 0;
  bool accessible = true;  // false: present, but opening it is refused for lack of permission
};

// A bus of simulated HID interfaces that tests and the demo plug and unplug. Handles stay valid
// until closed, but stop reaching a device that left the bus (restart, unplug).
class SimulatedBus final : public device::HidBus {
 public:
  // Plugs the interfaces of one device; returns the plug number for Unplug.
  int Plug(const std::vector<SimulatedInterface>& interfaces);
  // A device with one or two collections, as its configuration says.
  int PlugDevice(SimulatedDevice& device, std::uint32_t vendorId, std::uint32_t productId,
                 int collections, bool accessible = true);
  int PlugKeyboard();
  int PlugOtherMouse();
  void Unplug(int plug);

  std::size_t OpenHandleCount() const { return handles_.size(); }
  // Closes of handles that were not open (closed twice, or never opened): always a fault.
  int StrayCloseCount() const { return strayCloses_; }

  std::vector<device::HidInterfaceInfo> ListInterfaces() override;
  device::OpenResult Open(const std::string& path) override;
  bool SendFeatureReport(device::HidHandle handle, std::span<const std::uint8_t> report) override;
  bool GetFeatureReport(device::HidHandle handle, std::span<std::uint8_t> report) override;
  void Close(device::HidHandle handle) override;
  std::string LastError(device::HidHandle handle) override;

 private:
  struct Entry {
    int plug = 0;
    std::string path;
    SimulatedInterface interface;
  };
  struct OpenInterface {
    SimulatedInterface interface;
    std::uint64_t generation = 0;
    std::string lastError;
  };

  bool IsPresent(const Entry& entry) const;
  const OpenInterface* Reachable(device::HidHandle handle) const;
  // Checks that the report can reach a device through the handle, noting why not.
  const OpenInterface* Deliverable(device::HidHandle handle, std::size_t reportLength);
  void NoteRefusal(device::HidHandle handle, const char* reason);

  std::vector<Entry> entries_;
  std::map<device::HidHandle, OpenInterface> handles_;
  int nextPlug_ = 1;
  int nextPathNumber_ = 0;
  device::HidHandle nextHandle_ = 3;
  int strayCloses_ = 0;
};

}  // namespace corvid::sim
