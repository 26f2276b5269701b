#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>

#include "device/hid_bus.h"

namespace corvid::sim {

// One trace line: "set" or "get", the report bytes in upper-case hex, and " refused" when the
// device did not take or answer the report. A fetched report shows the bytes that came back.
std::string TraceLine(bool fetched, std::span<const std::uint8_t> report, bool accepted);

// Passes every call to another bus and writes each feature report to a stream, one line each.
// Works for the real mouse and the stand-in alike.
class TracingHidBus final : public device::HidBus {
 public:
  TracingHidBus(device::HidBus& inner, std::ostream& out) : inner_(inner), out_(out) {}

  std::vector<device::HidInterfaceInfo> ListInterfaces() override {
    return inner_.ListInterfaces();
  }
  device::OpenResult Open(const std::string& path) override { return inner_.Open(path); }
  bool SendFeatureReport(device::HidHandle handle, std::span<const std::uint8_t> report) override;
  bool GetFeatureReport(device::HidHandle handle, std::span<std::uint8_t> report) override;
  void Close(device::HidHandle handle) override { inner_.Close(handle); }
  std::string LastError(device::HidHandle handle) override { return inner_.LastError(handle); }

 private:
  device::HidBus& inner_;
  std::ostream& out_;
};

}  // namespace corvid::sim
