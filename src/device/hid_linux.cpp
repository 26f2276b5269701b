#include "device/hid_linux.h"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <mutex>

namespace corvid::device {
namespace {

// The kernel keeps report descriptors to 4 KiB; anything far beyond that is not one.
constexpr std::size_t kMaxDescriptorBytes = 64 * 1024;

// hidapi's global state is shared by every bus object of the process.
std::mutex hidapiMutex;
int hidapiUsers = 0;

bool AcquireHidapi() {
  std::lock_guard lock(hidapiMutex);
  if (hidapiUsers == 0 && hid_init() != 0) return false;
  ++hidapiUsers;
  return true;
}

void ReleaseHidapi() {
  std::lock_guard lock(hidapiMutex);
  if (--hidapiUsers == 0) hid_exit();
}

// hid_open_path does not say why it failed; opening the node ourselves tells a missing udev rule
// from a device that went away.
bool IsPermissionDenied(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return errno == EACCES || errno == EPERM;
}

// hidapi words its errors in wide characters (UTF-32 on Linux).
std::string Utf8OfWide(const wchar_t* text) {
  std::string utf8;
  for (; *text != L'\0'; ++text) {
    auto code = static_cast<std::uint32_t>(*text);
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (code >> 18));
      utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadHidrawReportDescriptor(
    const std::filesystem::path& sysfsRoot, const std::string& devicePath) {
  // Only the kernel's own node name may be used under sysfs, never a path that climbs out of it.
  const std::string node = std::filesystem::path(devicePath).filename().string();
  if (node.size() <= 6 || node.compare(0, 6, "hidraw") != 0 ||
      !std::all_of(node.begin() + 6, node.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  std::ifstream file(sysfsRoot / "class" / "hidraw" / node / "device" / "report_descriptor",
                     std::ios::binary);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> descriptor(kMaxDescriptorBytes + 1);
  file.read(reinterpret_cast<char*>(descriptor.data()),
            static_cast<std::streamsize>(descriptor.size()));
  if (file.bad()) return std::nullopt;
  const auto length = static_cast<std::size_t>(file.gcount());
  if (length > kMaxDescriptorBytes) return std::nullopt;
  descriptor.resize(length);
  return descriptor;
}

int FeatureReportLengthOfCollection(const ReportDescriptorSummary& summary, std::uint16_t usagePage,
                                    std::uint16_t usage) {
  // Collections that share a usage cannot be told apart by it; the largest of them is the one
  // length all of them can carry.
  int length = 0;
  bool matched = false;
  for (const TopLevelCollection& collection : summary.collections) {
    if (collection.usagePage == usagePage && collection.usage == usage) {
      length = std::max(length, collection.featureReportLength);
      matched = true;
    }
  }
  return matched ? length : summary.largestFeatureReportLength;
}

LinuxHidBus::LinuxHidBus(std::filesystem::path sysfsRoot)
    : sysfsRoot_(std::move(sysfsRoot)), initialized_(AcquireHidapi()) {}

LinuxHidBus::~LinuxHidBus() {
  for (const auto& [handle, device] : devices_) hid_close(device);
  devices_.clear();
  if (initialized_) ReleaseHidapi();
}

std::vector<HidInterfaceInfo> LinuxHidBus::ListInterfaces() {
  std::vector<HidInterfaceInfo> interfaces;
  if (!initialized_) return interfaces;
  hid_device_info* const all = hid_enumerate(0, 0);
  // hidapi lists one entry per top-level collection, all with the node's path; read each node's
  // descriptor once.
  std::map<std::string, std::optional<ReportDescriptorSummary>> summaries;
  for (const hid_device_info* entry = all; entry != nullptr; entry = entry->next) {
    if (entry->path == nullptr) continue;
    const std::string path = entry->path;
    auto [it, inserted] = summaries.try_emplace(path);
    if (inserted) {
      if (const auto descriptor = ReadHidrawReportDescriptor(sysfsRoot_, path)) {
        ReportDescriptorResult parsed = ParseReportDescriptor(*descriptor);
        if (parsed.ok) it->second = std::move(parsed.summary);
      }
    }
    HidInterfaceInfo info;
    info.path = path;
    info.vendorId = entry->vendor_id;
    info.productId = entry->product_id;
    // An unreadable or broken descriptor lists the interface with no feature reports, so it is
    // counted but never taken for the mouse.
    if (it->second) {
      info.featureReportLength =
          FeatureReportLengthOfCollection(*it->second, entry->usage_page, entry->usage);
    }
    interfaces.push_back(std::move(info));
  }
  hid_free_enumeration(all);
  return interfaces;
}

OpenResult LinuxHidBus::Open(const std::string& path) {
  if (!initialized_) return {};
  hid_device* const device = hid_open_path(path.c_str());
  if (device == nullptr) {
    return {IsPermissionDenied(path) ? OpenStatus::kPermissionDenied : OpenStatus::kFailed,
            kNoHandle};
  }
  const HidHandle handle = nextHandle_++;
  devices_.emplace(handle, device);
  return {OpenStatus::kOpened, handle};
}

bool LinuxHidBus::SendFeatureReport(HidHandle handle, std::span<const std::uint8_t> report) {
  hid_device* const device = Device(handle);
  if (device == nullptr || report.empty()) return false;
  if (hid_send_feature_report(device, report.data(), report.size()) >= 0) return true;
  RememberError(handle, device);
  return false;
}

bool LinuxHidBus::GetFeatureReport(HidHandle handle, std::span<std::uint8_t> report) {
  hid_device* const device = Device(handle);
  if (device == nullptr || report.empty()) return false;
  // Byte 0 holds the ID of the report asked for; the answer overwrites the buffer from byte 0.
  if (hid_get_feature_report(device, report.data(), report.size()) >= 1) return true;
  RememberError(handle, device);
  return false;
}

void LinuxHidBus::Close(HidHandle handle) {
  lastErrors_.erase(handle);
  const auto it = devices_.find(handle);
  if (it == devices_.end()) return;
  hid_close(it->second);
  devices_.erase(it);
}

std::string LinuxHidBus::LastError(HidHandle handle) {
  if (Device(handle) == nullptr) return "the device is not open";
  const auto it = lastErrors_.find(handle);
  return it == lastErrors_.end() ? std::string() : it->second;
}

// hidapi forgets its error text at the next call; keep it until the next failure.
void LinuxHidBus::RememberError(HidHandle handle, hid_device* device) {
  const wchar_t* const text = hid_error(device);
  std::string reason = text != nullptr ? Utf8OfWide(text) : std::string();
  lastErrors_[handle] = reason.empty() ? "the device did not take the report" : std::move(reason);
}

hid_device* LinuxHidBus::Device(HidHandle handle) const {
  const auto it = devices_.find(handle);
  return it == devices_.end() ? nullptr : it->second;
}

}  // namespace corvid::device
