#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/busy_window.h"
#include "device/clock.h"
#include "device/discovery.h"
#include "device/feature_report.h"
#include "device/hid_bus.h"

namespace corvid::device {

// The device-info answer: payload byte 2 is the controller kind, byte 3 the device type.
struct DeviceInfo {
  ReadBackBuffer payload{};

  std::uint8_t ControllerKindByte() const { return payload[2]; }
  std::uint8_t DeviceType() const { return payload[3]; }
};

// The feature-report protocol: every read is a command report followed by a fixed number of
// read-backs, every write a command report (and data reports for memory). No retries and no
// time-outs of our own; a failed read-back reads as 0xFF bytes.
//
// Transfers never interleave: the busy window lets the window handle events between two reports,
// and an operation started from such an event while another runs is refused without traffic.
class Protocol {
 public:
  Protocol(HidBus& bus, const DeviceLink& link, Clock& clock, BusyWindow& busyWindow);

  // Primitives.
  bool SendCommand(std::uint8_t command, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                   std::uint8_t p4);
  bool SendData(const ReadBackBuffer& data);
  void ReadBack();
  const ReadBackBuffer& ReadBackData() const { return readBackBuffer_; }
  void DelayMicroseconds(std::uint32_t microseconds) { clock_.DelayMicroseconds(microseconds); }

  // One group of up to three bank-0 bytes, inside the busy window, followed by the 100 ms the
  // mouse needs after a single write.
  bool WriteParameterBytes(std::uint8_t address, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                           std::uint8_t count);
  // One group of four bank-1 bytes (one key function code), likewise.
  bool WriteProfileBytes(std::uint8_t address, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                         std::uint8_t b3);

  // Bank reads of dest.size() bytes (at most 255). ReadSection shows the busy window before each
  // read-back and leaves it shown; ReadBankBytes never shows it.
  bool ReadSection(std::uint8_t bank, std::uint8_t address, std::span<std::uint8_t> dest);
  bool ReadBankBytes(std::uint8_t bank, std::uint8_t address, std::span<std::uint8_t> dest);
  // Bulk bank write without pauses: groups of three for bank 0, four for bank 1. Leaves the busy
  // window shown.
  bool WriteSection(std::uint8_t bank, std::uint8_t address, std::span<const std::uint8_t> src);

  // Memory reads and writes of up to 65535 bytes.
  bool ReadMemory(std::uint16_t address, std::span<std::uint8_t> dest);
  bool ReadMemoryBlock(std::uint16_t address, std::span<std::uint8_t> dest);
  bool WriteMemory(std::uint16_t address, std::span<const std::uint8_t> src);

  std::optional<DeviceInfo> DeviceInfoQuery();
  // The mouse leaves the bus and enumerates again; the caller re-searches for it.
  bool RestartDevice();

  // Why the last report that failed did, as the HID layer said; empty when none failed since the
  // last ClearLastFailure. Lets an operation that runs many reports to their end say why one
  // failed.
  const std::string& LastFailure() const { return lastFailure_; }
  void ClearLastFailure() { lastFailure_.clear(); }

  // A transfer of several blocks says how many payload bytes it moves in all, so that the busy
  // window shows the share of the whole; without such a plan each block counts on its own.
  void BeginProgress(std::size_t totalBytes);
  void EndProgress() { progressTotal_ = 0; }

 private:
  class TransferScope;

  bool Send(HidHandle handle, const FeatureReport& report);
  void NoteFailure(HidHandle handle);
  void ShowBusyAndProcessEvents();
  // `moved` more payload bytes of a block of `blockBytes` have gone.
  void Advance(std::size_t moved, std::size_t blockDone, std::size_t blockBytes);
  bool ReadBank(std::uint8_t bank, std::uint8_t address, std::span<std::uint8_t> dest,
                bool showBusy);
  bool ReadMemoryChunks(std::uint16_t address, std::span<std::uint8_t> dest, bool showBusy);
  void ReadBacksInto(std::span<std::uint8_t> dest, bool showBusy);
  bool WriteSingleGroup(std::uint8_t bank, std::uint8_t address,
                        const std::array<std::uint8_t, 4>& bytes);

  HidBus& bus_;
  const DeviceLink& link_;
  Clock& clock_;
  BusyWindow& busyWindow_;
  ReadBackBuffer readBackBuffer_{};
  bool transferRunning_ = false;
  std::string lastFailure_;
  std::size_t progressTotal_ = 0;
  std::size_t progressDone_ = 0;
};

// The plan of a multi-block transfer for as long as it lives.
class ProgressPlan {
 public:
  ProgressPlan(Protocol& protocol, std::size_t totalBytes) : protocol_(protocol) {
    protocol_.BeginProgress(totalBytes);
  }
  ~ProgressPlan() { protocol_.EndProgress(); }
  ProgressPlan(const ProgressPlan&) = delete;
  ProgressPlan& operator=(const ProgressPlan&) = delete;

 private:
  Protocol& protocol_;
};

}  // namespace corvid::device
