#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "device/clock.h"
#include "device/memory_layout.h"
#include "sim/simulated_device.h"

namespace corvid::sim {

struct StandInMouseConfig {
  std::uint16_t vendorId = CORVID_VENDOR_ID;
  std::uint16_t productId = CORVID_PRODUCT_ID;
  // Controller kind byte of the device-info answer: 0xC0 I2C, 0x80 Flash; any other value is a
  // controller the tool does not serve.
  std::uint8_t controllerKind = device::kControllerI2C;
  // Bits 7..6 of bank 0 byte 6 on a Flash controller: 10 macros in I2C memory, 11 in Flash. The
  // firmware owns them; bank writes do not change them.
  std::uint8_t macroStorageBits = device::kMacroStorageI2CBits;
  std::uint8_t deviceType = 4;
  // 1: one collection answers everything. 2: collection 0 takes only command reports, collection 1
  // only data reports and read-backs.
  int collections = 1;
  // How long the mouse stays off the bus after a restart command.
  std::uint32_t restartMilliseconds = 1500;

  static StandInMouseConfig ForLayout(device::MemoryLayout layout);
  // The layout the tool would identify, if any.
  std::optional<device::MemoryLayout> Layout() const;
};

// The firmware's protocol side: two configuration banks, a 64 KiB memory, the device-info answer
// and restart. It answers every command over the memory map and knows nothing of what the bytes
// mean. Fresh memory reads as 0xFF, like erased storage.
class StandInMouse final : public SimulatedDevice {
 public:
  StandInMouse(StandInMouseConfig config, device::Clock& clock);

  const StandInMouseConfig& Config() const { return config_; }

  std::span<std::uint8_t> Bank(int bank);
  std::span<const std::uint8_t> Bank(int bank) const;
  // Takes over the start of `bytes` as the bank's content, as the firmware would store it.
  void SetBank(int bank, std::span<const std::uint8_t> bytes);
  std::span<std::uint8_t> Memory() { return memory_; }
  std::span<const std::uint8_t> Memory() const { return memory_; }
  std::array<std::uint8_t, 2> IdentityBytes() const;
  void SetIdentityBytes(std::uint8_t manufacturer, std::uint8_t product);

  // Faults on demand.
  void RefuseNextCommand() { RefuseCommandAfter(0); }
  // Accepts `commands` more command reports, then refuses one.
  void RefuseCommandAfter(int commands) { commandsUntilRefusal_ = commands; }
  void SetRefuseReadBacks(bool refuse) { refuseReadBacks_ = refuse; }
  // Leaves the bus (as if unplugged) after `reports` more feature reports.
  void LeaveBusAfterReports(int reports) { reportsUntilLeaving_ = reports; }
  // Unplugging and plugging in again.
  void LeaveBus();
  void ComeBack();

  bool IsPresent() override;
  std::uint64_t Generation() const override { return generation_; }
  bool SetFeature(int collection, std::span<const std::uint8_t> report) override;
  bool GetFeature(int collection, std::span<std::uint8_t> report) override;

  int RestartCount() const { return restartCount_; }

 private:
  bool CountReport();
  void HandleCommand(std::span<const std::uint8_t> report);
  void WriteBankGroup(std::span<const std::uint8_t> report);
  void KeepFirmwareBits();
  void StartRead(std::vector<std::uint8_t> bytes);

  StandInMouseConfig config_;
  device::Clock& clock_;
  std::array<std::uint8_t, device::kParameterSectionSize> bank0_{};
  std::array<std::uint8_t, device::kProfileSectionSize> bank1_{};
  std::vector<std::uint8_t> memory_;

  // What the next read-backs return, and where the next data reports go.
  std::vector<std::uint8_t> pendingRead_;
  std::size_t pendingReadPosition_ = 0;
  std::uint16_t writeAddress_ = 0;
  std::uint32_t writeRemaining_ = 0;

  std::optional<int> commandsUntilRefusal_;
  bool refuseReadBacks_ = false;
  std::optional<int> reportsUntilLeaving_;
  bool unplugged_ = false;
  std::optional<std::uint64_t> backAtMilliseconds_;
  std::uint64_t generation_ = 1;
  int restartCount_ = 0;
};

}  // namespace corvid::sim
