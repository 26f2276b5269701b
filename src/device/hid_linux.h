#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/hid_bus.h"
#include "device/report_descriptor.h"

struct hid_device_;

namespace corvid::device {

// The report descriptor of a hidraw node ("/dev/hidraw3") as the kernel publishes it under
// `sysfsRoot` (normally "/sys"); nullopt when the path is not a hidraw node or the file cannot be
// read.
std::optional<std::vector<std::uint8_t>> ReadHidrawReportDescriptor(
    const std::filesystem::path& sysfsRoot, const std::string& devicePath);

// The feature report length to list for one top-level collection of an interface: that of the
// collection with the given usage page and usage, or the interface's largest when no collection
// matches (a hidraw node carries every collection of its interface, so that length is always
// usable on it).
int FeatureReportLengthOfCollection(const ReportDescriptorSummary& summary, std::uint16_t usagePage,
                                    std::uint16_t usage);

// The HID bus of a Linux system, through hidapi's hidraw backend. hidraw does not give the feature
// report length, so it is computed from the report descriptor in sysfs.
class LinuxHidBus final : public HidBus {
 public:
  explicit LinuxHidBus(std::filesystem::path sysfsRoot = "/sys");
  ~LinuxHidBus() override;

  LinuxHidBus(const LinuxHidBus&) = delete;
  LinuxHidBus& operator=(const LinuxHidBus&) = delete;

  std::vector<HidInterfaceInfo> ListInterfaces() override;
  OpenResult Open(const std::string& path) override;
  bool SendFeatureReport(HidHandle handle, std::span<const std::uint8_t> report) override;
  bool GetFeatureReport(HidHandle handle, std::span<std::uint8_t> report) override;
  void Close(HidHandle handle) override;
  std::string LastError(HidHandle handle) override;

 private:
  hid_device_* Device(HidHandle handle) const;
  void RememberError(HidHandle handle, hid_device_* device);

  std::filesystem::path sysfsRoot_;
  bool initialized_ = false;
  std::map<HidHandle, hid_device_*> devices_;
  std::map<HidHandle, std::string> lastErrors_;
  HidHandle nextHandle_ = 1;
};

}  // namespace corvid::device
