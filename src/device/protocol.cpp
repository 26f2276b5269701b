#include "device/protocol.h"

#include <algorithm>

namespace corvid::device {
namespace {

constexpr std::uint32_t kReadBackPauseMicroseconds = 500;
constexpr std::uint32_t kSingleWritePauseMilliseconds = 100;
constexpr std::size_t kMaxBankLength = 255;
constexpr std::size_t kMaxMemoryLength = 0xFFFF;
constexpr int kBank0GroupSize = 3;
constexpr int kBank1GroupSize = 4;

constexpr std::uint8_t High(std::uint32_t value) { return static_cast<std::uint8_t>(value >> 8); }
constexpr std::uint8_t Low(std::uint32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

// Marks a transfer as running; a second one started meanwhile (from an event handled while the
// busy window is shown) sees `active()` false and must not touch the bus.
class Protocol::TransferScope {
 public:
  explicit TransferScope(Protocol& protocol)
      : protocol_(protocol), active_(!protocol.transferRunning_) {
    if (active_) {
      protocol_.transferRunning_ = true;
    } else {
      protocol_.lastFailure_ = "another transfer with the mouse is running";
    }
  }
  ~TransferScope() {
    if (active_) protocol_.transferRunning_ = false;
  }
  TransferScope(const TransferScope&) = delete;
  TransferScope& operator=(const TransferScope&) = delete;

  bool active() const { return active_; }

 private:
  Protocol& protocol_;
  bool active_;
};

Protocol::Protocol(HidBus& bus, const DeviceLink& link, Clock& clock, BusyWindow& busyWindow)
    : bus_(bus), link_(link), clock_(clock), busyWindow_(busyWindow) {
  readBackBuffer_.fill(0xFF);
}

bool Protocol::Send(HidHandle handle, const FeatureReport& report) {
  if (handle == kNoHandle) {
    lastFailure_ = "the mouse is not open";
    return false;
  }
  if (bus_.SendFeatureReport(handle, report)) return true;
  NoteFailure(handle);
  return false;
}

void Protocol::NoteFailure(HidHandle handle) {
  lastFailure_ = bus_.LastError(handle);
  if (lastFailure_.empty()) lastFailure_ = "the mouse did not take the report";
}

bool Protocol::SendCommand(std::uint8_t command, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                           std::uint8_t p4) {
  return Send(link_.CommandHandle, MakeCommandReport(command, p1, p2, p3, p4));
}

bool Protocol::SendData(const ReadBackBuffer& data) {
  FeatureReport report{};
  report[0] = kDataReportId;
  std::copy(data.begin(), data.end(), report.begin() + 1);
  return Send(link_.DataHandle, report);
}

void Protocol::ReadBack() {
  readBackBuffer_.fill(0xFF);
  if (link_.DataHandle == kNoHandle) return;
  FeatureReport report = MakeReadBackRequest();
  if (!bus_.GetFeatureReport(link_.DataHandle, report)) {
    NoteFailure(link_.DataHandle);
    return;
  }
  std::copy(report.begin() + 1, report.end(), readBackBuffer_.begin());
  clock_.DelayMicroseconds(kReadBackPauseMicroseconds);
}

void Protocol::ShowBusyAndProcessEvents() {
  busyWindow_.Show();
  busyWindow_.ProcessPendingEvents();
}

bool Protocol::WriteSingleGroup(std::uint8_t bank, std::uint8_t address,
                                const std::array<std::uint8_t, 4>& bytes) {
  TransferScope scope(*this);
  if (!scope.active() || link_.CommandHandle == kNoHandle) return false;
  ShowBusyAndProcessEvents();
  const bool sent = Send(link_.CommandHandle, {kCommandReportId, kCommandWriteBank, bank, address,
                                               bytes[0], bytes[1], bytes[2], bytes[3]});
  clock_.SleepMilliseconds(kSingleWritePauseMilliseconds);
  busyWindow_.Hide();
  busyWindow_.ProcessPendingEvents();
  return sent;
}

bool Protocol::WriteParameterBytes(std::uint8_t address, std::uint8_t b0, std::uint8_t b1,
                                   std::uint8_t b2, std::uint8_t count) {
  return WriteSingleGroup(0, address, {b0, b1, b2, count});
}

bool Protocol::WriteProfileBytes(std::uint8_t address, std::uint8_t b0, std::uint8_t b1,
                                 std::uint8_t b2, std::uint8_t b3) {
  return WriteSingleGroup(1, address, {b0, b1, b2, b3});
}

void Protocol::BeginProgress(std::size_t totalBytes) {
  progressTotal_ = totalBytes;
  progressDone_ = 0;
}

void Protocol::Advance(std::size_t moved, std::size_t blockDone, std::size_t blockBytes) {
  const auto share = [](std::size_t value) {
    return static_cast<int>(std::min<std::size_t>(value, 1U << 30));
  };
  if (progressTotal_ == 0) {
    busyWindow_.Progress(share(blockDone), share(blockBytes));
    return;
  }
  progressDone_ = std::min(progressDone_ + moved, progressTotal_);
  busyWindow_.Progress(share(progressDone_), share(progressTotal_));
}

void Protocol::ReadBacksInto(std::span<std::uint8_t> dest, bool showBusy) {
  for (std::size_t offset = 0; offset < dest.size(); offset += kPayloadSize) {
    if (showBusy) ShowBusyAndProcessEvents();
    ReadBack();
    const std::size_t piece = std::min<std::size_t>(kPayloadSize, dest.size() - offset);
    if (showBusy) Advance(piece, offset + piece, dest.size());
    std::copy_n(readBackBuffer_.begin(), piece, dest.begin() + static_cast<std::ptrdiff_t>(offset));
  }
}

bool Protocol::ReadBank(std::uint8_t bank, std::uint8_t address, std::span<std::uint8_t> dest,
                        bool showBusy) {
  TransferScope scope(*this);
  if (!scope.active() || dest.size() > kMaxBankLength) return false;
  std::fill(dest.begin(), dest.end(), 0xFF);
  readBackBuffer_.fill(0xFF);
  if (link_.CommandHandle == kNoHandle) return false;
  if (!SendCommand(kCommandReadBank, bank, address, 0x00, static_cast<std::uint8_t>(dest.size()))) {
    return false;
  }
  ReadBacksInto(dest, showBusy);
  return true;
}

bool Protocol::ReadSection(std::uint8_t bank, std::uint8_t address, std::span<std::uint8_t> dest) {
  return ReadBank(bank, address, dest, true);
}

bool Protocol::ReadBankBytes(std::uint8_t bank, std::uint8_t address,
                             std::span<std::uint8_t> dest) {
  return ReadBank(bank, address, dest, false);
}

bool Protocol::WriteSection(std::uint8_t bank, std::uint8_t address,
                            std::span<const std::uint8_t> src) {
  TransferScope scope(*this);
  if (!scope.active()) return false;
  readBackBuffer_.fill(0xFF);
  if (link_.CommandHandle == kNoHandle) return false;
  if (bank > 1) return true;

  // Every group is sent even after a refusal; the result says whether all were taken.
  bool accepted = true;
  const std::size_t groupSize = bank == 0 ? kBank0GroupSize : kBank1GroupSize;
  for (std::size_t offset = 0; offset < src.size(); offset += groupSize) {
    ShowBusyAndProcessEvents();
    const std::size_t piece = std::min(groupSize, src.size() - offset);
    std::array<std::uint8_t, 4> bytes{};
    std::copy_n(src.begin() + static_cast<std::ptrdiff_t>(offset), piece, bytes.begin());
    std::copy_n(bytes.begin(), 3, readBackBuffer_.begin());  // scratch copy of the group
    // Bank 0 carries three bytes and their count; bank 1 always four bytes, padded with 0x00.
    if (bank == 0) bytes[3] = static_cast<std::uint8_t>(piece);
    const auto groupAddress = static_cast<std::uint8_t>((address + offset) % 256);
    accepted &= Send(link_.CommandHandle, {kCommandReportId, kCommandWriteBank, bank, groupAddress,
                                           bytes[0], bytes[1], bytes[2], bytes[3]});
    Advance(piece, offset + piece, src.size());
  }
  return accepted;
}

bool Protocol::ReadMemoryChunks(std::uint16_t address, std::span<std::uint8_t> dest,
                                bool showBusy) {
  TransferScope scope(*this);
  if (!scope.active() || dest.size() > kMaxMemoryLength) return false;
  // ReadMemoryBlock keeps the destination until bytes arrive, so a refused command leaves the
  // caller's mirror as it was.
  if (!showBusy) std::fill(dest.begin(), dest.end(), 0xFF);
  readBackBuffer_.fill(0xFF);
  const auto length = static_cast<std::uint32_t>(dest.size());
  if (!SendCommand(kCommandReadMemory, High(address), Low(address), High(length), Low(length))) {
    return false;
  }
  ReadBacksInto(dest, showBusy);
  return true;
}

bool Protocol::ReadMemory(std::uint16_t address, std::span<std::uint8_t> dest) {
  return ReadMemoryChunks(address, dest, false);
}

bool Protocol::ReadMemoryBlock(std::uint16_t address, std::span<std::uint8_t> dest) {
  return ReadMemoryChunks(address, dest, true);
}

bool Protocol::WriteMemory(std::uint16_t address, std::span<const std::uint8_t> src) {
  TransferScope scope(*this);
  if (!scope.active() || src.size() > kMaxMemoryLength) return false;
  readBackBuffer_.fill(0xFF);
  const auto length = static_cast<std::uint32_t>(src.size());
  if (!SendCommand(kCommandWriteMemory, High(address), Low(address), High(length), Low(length))) {
    return false;
  }
  bool accepted = true;
  for (std::size_t offset = 0; offset < src.size(); offset += kPayloadSize) {
    ShowBusyAndProcessEvents();
    // The command declares the length, so the padding of the last piece carries nothing.
    ReadBackBuffer piece{};
    std::copy_n(src.begin() + static_cast<std::ptrdiff_t>(offset),
                std::min<std::size_t>(kPayloadSize, src.size() - offset), piece.begin());
    accepted &= SendData(piece);
    const std::size_t moved = std::min<std::size_t>(kPayloadSize, src.size() - offset);
    Advance(moved, offset + moved, src.size());
  }
  return accepted;
}

std::optional<DeviceInfo> Protocol::DeviceInfoQuery() {
  TransferScope scope(*this);
  if (!scope.active()) return std::nullopt;
  if (!SendCommand(kCommandDeviceInfo, 0, 0, 0, 0)) return std::nullopt;
  ReadBack();
  return DeviceInfo{readBackBuffer_};
}

bool Protocol::RestartDevice() {
  TransferScope scope(*this);
  if (!scope.active()) return false;
  return SendCommand(kCommandRestart, 0, 0, 0, 0);
}

}  // namespace corvid::device
