#include "device/hid_linux.h"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

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

// One open node. A transfer thread shares it with the bus, so a node whose call is still blocked
// outlives its handle and is closed by that thread when the call returns.
struct LinuxHidBus::OpenDevice {
  explicit OpenDevice(hid_device* opened) : device(opened) {}

  hid_device* const device;
  std::mutex mutex;
  std::condition_variable done;
  bool busy = false;           // a transfer thread is inside a call on `device`
  bool closeWhenDone = false;  // the handle was closed while it was
  bool lastFailed = false;
  std::string lastError;
};

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

LinuxHidBus::LinuxHidBus(std::filesystem::path sysfsRoot, std::chrono::milliseconds transferTimeout)
    : sysfsRoot_(std::move(sysfsRoot)),
      transferTimeout_(transferTimeout),
      initialized_(AcquireHidapi()) {}

LinuxHidBus::~LinuxHidBus() {
  while (!devices_.empty()) Close(devices_.begin()->first);
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
  devices_.emplace(handle, std::make_shared<OpenDevice>(device));
  return {OpenStatus::kOpened, handle};
}

bool LinuxHidBus::SendFeatureReport(HidHandle handle, std::span<const std::uint8_t> report) {
  if (report.empty()) return false;
  // The call reads a copy: it may still run after its time-out, when the caller's buffer is gone.
  auto sent = std::make_shared<std::vector<std::uint8_t>>(report.begin(), report.end());
  return Transfer(
      handle,
      [sent](hid_device* device) {
        return hid_send_feature_report(device, sent->data(), sent->size());
      },
      0);
}

bool LinuxHidBus::GetFeatureReport(HidHandle handle, std::span<std::uint8_t> report) {
  if (report.empty()) return false;
  // Byte 0 holds the ID of the report asked for; the answer overwrites the buffer from byte 0. The
  // call writes into a copy, so one that returns after its time-out touches nothing of the
  // caller's.
  auto answer = std::make_shared<std::vector<std::uint8_t>>(report.begin(), report.end());
  const bool answered = Transfer(
      handle,
      [answer](hid_device* device) {
        return hid_get_feature_report(device, answer->data(), answer->size());
      },
      1);
  if (answered) std::ranges::copy(*answer, report.begin());
  return answered;
}

bool LinuxHidBus::Transfer(HidHandle handle, const std::function<int(hid_device*)>& call,
                           int minimum) {
  const auto it = devices_.find(handle);
  if (it == devices_.end()) return false;
  const std::shared_ptr<OpenDevice> open = it->second;
  std::unique_lock lock(open->mutex);
  if (open->busy) {
    lastErrors_[handle] = "the device has not answered an earlier report yet";
    return false;
  }
  open->busy = true;
  open->lastFailed = false;
  // The thread holds its own copies: it may outlive this call, the handle and the bus.
  const auto work = [open, call, minimum] {
    const int result = call(open->device);
    std::string reason;
    if (result < minimum) {
      const wchar_t* const text = hid_error(open->device);
      reason = text != nullptr ? Utf8OfWide(text) : std::string();
      if (reason.empty()) reason = "the device did not take the report";
    }
    std::lock_guard workLock(open->mutex);
    open->busy = false;
    open->lastFailed = result < minimum;
    open->lastError = std::move(reason);
    if (open->closeWhenDone) hid_close(open->device);
    open->done.notify_all();
  };
  try {
    std::thread(work).detach();
  } catch (const std::system_error& error) {
    open->busy = false;
    lastErrors_[handle] = std::string("cannot start the transfer: ") + error.what();
    return false;
  }
  if (!open->done.wait_for(lock, transferTimeout_, [&open] { return !open->busy; })) {
    lastErrors_[handle] =
        "the device did not answer within " + std::to_string(transferTimeout_.count()) + " ms";
    return false;
  }
  if (!open->lastFailed) return true;
  lastErrors_[handle] = open->lastError;
  return false;
}

void LinuxHidBus::Close(HidHandle handle) {
  lastErrors_.erase(handle);
  const auto it = devices_.find(handle);
  if (it == devices_.end()) return;
  const std::shared_ptr<OpenDevice> open = it->second;
  devices_.erase(it);
  std::lock_guard lock(open->mutex);
  // A call still blocked on the node keeps it open; its thread closes it when the call returns.
  if (open->busy) {
    open->closeWhenDone = true;
  } else {
    hid_close(open->device);
  }
}

std::string LinuxHidBus::LastError(HidHandle handle) {
  if (!devices_.contains(handle)) return "the device is not open";
  const auto it = lastErrors_.find(handle);
  return it == lastErrors_.end() ? std::string() : it->second;
}

}  // namespace corvid::device
