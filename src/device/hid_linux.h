#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
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

// The longest a healthy mouse takes to answer a feature report is a few milliseconds; the kernel
// gives up on a USB control transfer after five seconds, but other transports may block for good.
inline constexpr std::chrono::milliseconds kFeatureReportTimeout{2000};

// The HID bus of a Linux system, through hidapi's hidraw backend. hidraw does not give the feature
// report length, so it is computed from the report descriptor in sysfs.
//
// A wedged node can block a feature report call in the kernel, and the window must not freeze with
// it: each transfer runs on a thread of its own and is given `transferTimeout`. A transfer that
// has not returned by then counts as failed; its handle refuses further reports until that call
// has returned, and is closed only then.
class LinuxHidBus final : public HidBus {
 public:
  explicit LinuxHidBus(std::filesystem::path sysfsRoot = "/sys",
                       std::chrono::milliseconds transferTimeout = kFeatureReportTimeout);
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
  struct OpenDevice;

  // Runs `call` on the handle's device within the time-out; true when it returned at least
  // `minimum`.
  bool Transfer(HidHandle handle, const std::function<int(hid_device_*)>& call, int minimum);

  std::filesystem::path sysfsRoot_;
  std::chrono::milliseconds transferTimeout_;
  bool initialized_ = false;
  std::map<HidHandle, std::shared_ptr<OpenDevice>> devices_;
  std::map<HidHandle, std::string> lastErrors_;
  HidHandle nextHandle_ = 1;
};

}  // namespace corvid::device
