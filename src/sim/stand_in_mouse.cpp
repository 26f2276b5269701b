#include "sim/stand_in_mouse.h"

#include <algorithm>
#include <utility>

#include "device/feature_report.h"

namespace corvid::sim {

using device::MemoryLayout;

StandInMouseConfig StandInMouseConfig::ForLayout(MemoryLayout layout) {
  StandInMouseConfig config;
  switch (layout) {
    case MemoryLayout::LayoutI2C:
      config.controllerKind = device::kControllerI2C;
      config.macroStorageBits = device::kMacroStorageI2CBits;
      break;
    case MemoryLayout::LayoutFlashI2C:
      config.controllerKind = device::kControllerFlash;
      config.macroStorageBits = device::kMacroStorageI2CBits;
      break;
    case MemoryLayout::LayoutFlashFlash:
      config.controllerKind = device::kControllerFlash;
      config.macroStorageBits = device::kMacroStorageFlashBits;
      break;
  }
  return config;
}

std::optional<MemoryLayout> StandInMouseConfig::Layout() const {
  if (controllerKind == device::kControllerI2C) return MemoryLayout::LayoutI2C;
  if (controllerKind != device::kControllerFlash) return std::nullopt;
  if (macroStorageBits == device::kMacroStorageI2CBits) return MemoryLayout::LayoutFlashI2C;
  if (macroStorageBits == device::kMacroStorageFlashBits) return MemoryLayout::LayoutFlashFlash;
  return std::nullopt;
}

StandInMouse::StandInMouse(StandInMouseConfig config, device::Clock& clock)
    : config_(config), clock_(clock), memory_(device::kMemorySize, 0xFF) {
  config_.macroStorageBits &= 0b11;
  bank0_.fill(0xFF);
  bank1_.fill(0xFF);
  KeepFirmwareBits();
}

std::span<std::uint8_t> StandInMouse::Bank(int bank) {
  if (bank == 0) return bank0_;
  if (bank == 1) return bank1_;
  return {};
}

std::span<const std::uint8_t> StandInMouse::Bank(int bank) const {
  if (bank == 0) return bank0_;
  if (bank == 1) return bank1_;
  return {};
}

void StandInMouse::SetBank(int bank, std::span<const std::uint8_t> bytes) {
  const std::span<std::uint8_t> target = Bank(bank);
  std::copy_n(bytes.begin(), std::min(bytes.size(), target.size()), target.begin());
  KeepFirmwareBits();
}

static std::uint16_t IdentityAddressOf(const StandInMouseConfig& config) {
  return config.controllerKind == device::kControllerI2C ? device::kIdentityAddressI2C
                                                         : device::kIdentityAddressFlash;
}

std::array<std::uint8_t, 2> StandInMouse::IdentityBytes() const {
  const std::uint16_t address = IdentityAddressOf(config_);
  return {memory_[address], memory_[address + 1U]};
}

void StandInMouse::SetIdentityBytes(std::uint8_t manufacturer, std::uint8_t product) {
  const std::uint16_t address = IdentityAddressOf(config_);
  memory_[address] = manufacturer;
  memory_[address + 1U] = product;
}

void StandInMouse::LeaveBus() {
  unplugged_ = true;
  ++generation_;
  pendingRead_.clear();
  writeRemaining_ = 0;
}

void StandInMouse::ComeBack() {
  unplugged_ = false;
  reportsUntilLeaving_.reset();
}

bool StandInMouse::IsPresent() {
  if (unplugged_) return false;
  if (backAtMilliseconds_) {
    if (clock_.TickMilliseconds() < *backAtMilliseconds_) return false;
    backAtMilliseconds_.reset();
  }
  return true;
}

// Counts one report towards a planned departure; false once the mouse has left.
bool StandInMouse::CountReport() {
  if (!reportsUntilLeaving_) return true;
  if (*reportsUntilLeaving_ <= 0) {
    LeaveBus();
    return false;
  }
  --*reportsUntilLeaving_;
  return true;
}

// On a Flash controller the macro storage bits of bank 0 byte 6 describe the hardware.
void StandInMouse::KeepFirmwareBits() {
  if (config_.controllerKind != device::kControllerFlash) return;
  bank0_[6] = static_cast<std::uint8_t>((bank0_[6] & 0x3F) | (config_.macroStorageBits << 6));
}

void StandInMouse::StartRead(std::vector<std::uint8_t> bytes) {
  pendingRead_ = std::move(bytes);
  pendingReadPosition_ = 0;
}

void StandInMouse::WriteBankGroup(std::span<const std::uint8_t> report) {
  const std::span<std::uint8_t> bank = Bank(report[2]);
  const std::size_t address = report[3];
  // Bank 0 groups carry up to three bytes and their count; bank 1 groups always four bytes.
  const std::size_t count = report[2] == 0 ? std::min<std::size_t>(report[7], 3) : 4;
  for (std::size_t i = 0; i < count && address + i < bank.size(); ++i) {
    bank[address + i] = report[4 + i];
  }
  KeepFirmwareBits();
}

void StandInMouse::HandleCommand(std::span<const std::uint8_t> report) {
  pendingRead_.clear();
  writeRemaining_ = 0;
  switch (report[1]) {
    case device::kCommandWriteBank:
      WriteBankGroup(report);
      break;
    case device::kCommandReadBank: {
      const std::span<const std::uint8_t> bank = std::as_const(*this).Bank(report[2]);
      std::vector<std::uint8_t> bytes(report[5], 0x00);
      for (std::size_t i = 0; i < bytes.size() && report[3] + i < bank.size(); ++i) {
        bytes[i] = bank[report[3] + i];
      }
      StartRead(std::move(bytes));
      break;
    }
    case device::kCommandWriteMemory:
      writeAddress_ = static_cast<std::uint16_t>(report[2] << 8 | report[3]);
      writeRemaining_ = static_cast<std::uint32_t>(report[4] << 8 | report[5]);
      break;
    case device::kCommandReadMemory: {
      const std::uint32_t address = static_cast<std::uint32_t>(report[2] << 8 | report[3]);
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(report[4] << 8 | report[5]));
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = memory_[(address + i) % device::kMemorySize];
      }
      StartRead(std::move(bytes));
      break;
    }
    case device::kCommandDeviceInfo:
      StartRead({0x00, 0x00, config_.controllerKind, config_.deviceType, 0x00, 0x00, 0x00});
      break;
    case device::kCommandRestart:
      ++restartCount_;
      ++generation_;
      backAtMilliseconds_ = clock_.TickMilliseconds() + config_.restartMilliseconds;
      break;
    default:
      break;  // the firmware ignores commands it does not know
  }
}

bool StandInMouse::SetFeature(int collection, std::span<const std::uint8_t> report) {
  if (!IsPresent() || !CountReport() || report.size() != sizeof(device::FeatureReport)) {
    return false;
  }
  const bool takesCommands = config_.collections == 1 || collection == 0;
  const bool takesData = config_.collections == 1 || collection == 1;
  if (report[0] == device::kCommandReportId && takesCommands) {
    if (commandsUntilRefusal_ && (*commandsUntilRefusal_)-- == 0) {
      commandsUntilRefusal_.reset();
      return false;
    }
    HandleCommand(report);
    return true;
  }
  if (report[0] == device::kDataReportId && takesData) {
    for (std::size_t i = 1; i < report.size() && writeRemaining_ > 0; ++i, --writeRemaining_) {
      memory_[writeAddress_++] = report[i];  // the address wraps at 64 KiB
    }
    return true;
  }
  return false;
}

bool StandInMouse::GetFeature(int collection, std::span<std::uint8_t> report) {
  if (!IsPresent() || !CountReport() || report.size() != sizeof(device::FeatureReport)) {
    return false;
  }
  const bool takesData = config_.collections == 1 || collection == 1;
  if (report[0] != device::kDataReportId || !takesData || refuseReadBacks_) return false;
  for (std::size_t i = 1; i < report.size(); ++i) {
    report[i] =
        pendingReadPosition_ < pendingRead_.size() ? pendingRead_[pendingReadPosition_++] : 0x00;
  }
  return true;
}

}  // namespace corvid::sim
