#include "sim/simulated_bus.h"

#include <algorithm>

namespace corvid::sim {

using device::HidHandle;

int SimulatedBus::Plug(const std::vector<SimulatedInterface>& interfaces) {
  const int plug = nextPlug_++;
  for (const SimulatedInterface& interface : interfaces) {
    entries_.push_back({plug, "sim:hidraw" + std::to_string(nextPathNumber_++), interface});
  }
  return plug;
}

int SimulatedBus::PlugDevice(SimulatedDevice& device, std::uint32_t vendorId,
                             std::uint32_t productId, int collections, bool accessible) {
  std::vector<SimulatedInterface> interfaces;
  for (int collection = 0; collection < std::max(collections, 1); ++collection) {
    interfaces.push_back({vendorId, productId, 8, &device, collection, accessible});
  }
  return Plug(interfaces);
}

int SimulatedBus::PlugKeyboard() { return Plug({{0x046D, 0xC31C, 0, nullptr, 0, true}}); }

// Another vendor's mouse with a vendor collection of its own, also 8-byte feature reports.
int SimulatedBus::PlugOtherMouse() {
  return Plug({{0x1532, 0x0084, 0, nullptr, 0, true}, {0x1532, 0x0084, 8, nullptr, 1, true}});
}

void SimulatedBus::Unplug(int plug) {
  std::erase_if(entries_, [plug](const Entry& entry) { return entry.plug == plug; });
}

bool SimulatedBus::IsPresent(const Entry& entry) const {
  return entry.interface.device == nullptr || entry.interface.device->IsPresent();
}

std::vector<device::HidInterfaceInfo> SimulatedBus::ListInterfaces() {
  std::vector<device::HidInterfaceInfo> list;
  for (const Entry& entry : entries_) {
    if (!IsPresent(entry)) continue;
    list.push_back({entry.path, entry.interface.vendorId, entry.interface.productId,
                    entry.interface.featureReportLength});
  }
  return list;
}

device::OpenResult SimulatedBus::Open(const std::string& path) {
  const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                  [&path](const Entry& e) { return e.path == path; });
  if (entry == entries_.end() || !IsPresent(*entry)) return {device::OpenStatus::kFailed};
  if (!entry->interface.accessible) return {device::OpenStatus::kPermissionDenied};
  const HidHandle handle = nextHandle_++;
  const SimulatedDevice* device = entry->interface.device;
  handles_[handle] = {entry->interface, device != nullptr ? device->Generation() : 0, {}};
  return {device::OpenStatus::kOpened, handle};
}

const SimulatedBus::OpenInterface* SimulatedBus::Reachable(HidHandle handle) const {
  const auto open = handles_.find(handle);
  if (open == handles_.end()) return nullptr;
  SimulatedDevice* device = open->second.interface.device;
  if (device == nullptr || !device->IsPresent() ||
      device->Generation() != open->second.generation) {
    return nullptr;
  }
  return &open->second;
}

const SimulatedBus::OpenInterface* SimulatedBus::Deliverable(HidHandle handle,
                                                             std::size_t reportLength) {
  const OpenInterface* open = Reachable(handle);
  if (open == nullptr) {
    NoteRefusal(handle, "No such device");
    return nullptr;
  }
  if (static_cast<int>(reportLength) != open->interface.featureReportLength) {
    NoteRefusal(handle, "Invalid argument: the report length does not match the interface");
    return nullptr;
  }
  return open;
}

void SimulatedBus::NoteRefusal(HidHandle handle, const char* reason) {
  const auto open = handles_.find(handle);
  if (open != handles_.end()) open->second.lastError = reason;
}

bool SimulatedBus::SendFeatureReport(HidHandle handle, std::span<const std::uint8_t> report) {
  const OpenInterface* open = Deliverable(handle, report.size());
  if (open == nullptr) return false;
  if (open->interface.device->SetFeature(open->interface.collection, report)) return true;
  NoteRefusal(handle, "Broken pipe: the device refused the report");
  return false;
}

bool SimulatedBus::GetFeatureReport(HidHandle handle, std::span<std::uint8_t> report) {
  const OpenInterface* open = Deliverable(handle, report.size());
  if (open == nullptr) return false;
  if (open->interface.device->GetFeature(open->interface.collection, report)) return true;
  NoteRefusal(handle, "Broken pipe: the device did not answer the report");
  return false;
}

void SimulatedBus::Close(HidHandle handle) {
  if (handles_.erase(handle) == 0) ++strayCloses_;
}

std::string SimulatedBus::LastError(HidHandle handle) {
  const auto open = handles_.find(handle);
  return open == handles_.end() ? "the device is not open" : open->second.lastError;
}

}  // namespace corvid::sim
