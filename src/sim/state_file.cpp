#include "sim/state_file.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace corvid::sim {
namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'C', '8', '8', 'M', 'O', 'U', 'S', 'E'};
constexpr std::uint16_t kFormatVersion = 1;

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
    out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
}

std::uint32_t GetBigEndian(std::span<const std::uint8_t> bytes, std::size_t offset, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[offset + static_cast<std::size_t>(i)];
  return value;
}

}  // namespace

std::vector<std::uint8_t> EncodeState(const StandInMouse& mouse) {
  const StandInMouseConfig& config = mouse.Config();
  std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
  out.reserve(kStateFileSize);
  PutBigEndian(out, kFormatVersion, 2);
  out.push_back(config.controllerKind);
  out.push_back(config.macroStorageBits);
  out.push_back(config.deviceType);
  out.push_back(static_cast<std::uint8_t>(config.collections));
  PutBigEndian(out, config.vendorId, 2);
  PutBigEndian(out, config.productId, 2);
  PutBigEndian(out, config.restartMilliseconds, 4);
  PutBigEndian(out, 0, 2);  // reserved
  for (int bank = 0; bank < 2; ++bank) {
    const auto bytes = mouse.Bank(bank);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  out.insert(out.end(), mouse.Memory().begin(), mouse.Memory().end());
  return out;
}

DecodedState DecodeState(std::span<const std::uint8_t> bytes, device::Clock& clock) {
  if (bytes.size() != kStateFileSize) {
    return {nullptr, "a stand-in mouse state is " + std::to_string(kStateFileSize) +
                         " bytes long, this one has " + std::to_string(bytes.size())};
  }
  if (!std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
    return {nullptr, "not a stand-in mouse state (wrong signature)"};
  }
  const std::uint32_t version = GetBigEndian(bytes, 8, 2);
  if (version != kFormatVersion) {
    return {nullptr, "unknown stand-in mouse state version " + std::to_string(version)};
  }
  StandInMouseConfig config;
  config.controllerKind = bytes[10];
  config.macroStorageBits = bytes[11];
  config.deviceType = bytes[12];
  config.collections = bytes[13];
  config.vendorId = static_cast<std::uint16_t>(GetBigEndian(bytes, 14, 2));
  config.productId = static_cast<std::uint16_t>(GetBigEndian(bytes, 16, 2));
  config.restartMilliseconds = GetBigEndian(bytes, 18, 4);
  if (config.macroStorageBits > 0b11) {
    return {nullptr, "macro storage bits out of range: " + std::to_string(bytes[11])};
  }
  if (config.collections != 1 && config.collections != 2) {
    return {nullptr, "a stand-in mouse has 1 or 2 collections, not " + std::to_string(bytes[13])};
  }

  auto mouse = std::make_unique<StandInMouse>(config, clock);
  std::size_t offset = kStateHeaderSize;
  for (int bank = 0; bank < 2; ++bank) {
    const auto target = mouse->Bank(bank);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), target.size(), target.begin());
    offset += target.size();
  }
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), device::kMemorySize,
              mouse->Memory().begin());
  return {std::move(mouse), {}};
}

common::FileResult SaveState(const StandInMouse& mouse, const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = EncodeState(mouse);
  return common::WriteFileAtomically(path, bytes);
}

DecodedState LoadState(const std::filesystem::path& path, device::Clock& clock) {
  std::string error;
  const auto bytes = common::ReadWholeFile(path, &error);
  if (!bytes) return {nullptr, error};
  DecodedState state = DecodeState(*bytes, clock);
  if (!state.mouse) state.error = path.string() + ": " + state.error;
  return state;
}

}  // namespace corvid::sim
