#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvid::device {

// An open HID interface. -1 marks a handle that is not open.
using HidHandle = std::int64_t;
inline constexpr HidHandle kNoHandle = -1;

// One present HID interface (a top-level collection) as the operating system lists it.
struct HidInterfaceInfo {
  std::string path;
  std::uint32_t vendorId = 0;
  std::uint32_t productId = 0;
  // The largest feature report of the top-level collection, report ID byte included; 0 when the
  // collection has no feature reports.
  int featureReportLength = 0;
};

enum class OpenStatus {
  kOpened,
  kPermissionDenied,  // present, but the user may not open it (no udev rule, for example)
  kFailed,            // gone, or refused for another reason
};

struct OpenResult {
  OpenStatus status = OpenStatus::kFailed;
  HidHandle handle = kNoHandle;
};

// What discovery and the report protocol need from the operating system's HID layer. A backend is
// chosen once at start-up; the logic never asks which one it talks to.
class HidBus {
 public:
  virtual ~HidBus() = default;

  virtual std::vector<HidInterfaceInfo> ListInterfaces() = 0;
  virtual OpenResult Open(const std::string& path) = 0;
  // Both take the whole report, report ID in byte 0; the length passed is the report's length.
  // True when the device accepted the report / answered it.
  virtual bool SendFeatureReport(HidHandle handle, std::span<const std::uint8_t> report) = 0;
  virtual bool GetFeatureReport(HidHandle handle, std::span<std::uint8_t> report) = 0;
  virtual void Close(HidHandle handle) = 0;
  // Why the last failed report on this handle failed, in the system's words; empty when none has
  // failed since it was opened. Kept until the next failure, so a caller can still say why after
  // the reports that followed.
  virtual std::string LastError(HidHandle handle) = 0;
};

}  // namespace corvid::device
