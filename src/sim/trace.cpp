#include "sim/trace.h"

namespace corvid::sim {

std::string TraceLine(bool fetched, std::span<const std::uint8_t> report, bool accepted) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = fetched ? "get" : "set";
  for (const std::uint8_t byte : report) {
    line += ' ';
    line += kHex[byte >> 4];
    line += kHex[byte & 0x0F];
  }
  if (!accepted) line += " refused";
  return line;
}

bool TracingHidBus::SendFeatureReport(device::HidHandle handle,
                                      std::span<const std::uint8_t> report) {
  const bool accepted = inner_.SendFeatureReport(handle, report);
  out_ << TraceLine(false, report, accepted) << '\n';
  return accepted;
}

bool TracingHidBus::GetFeatureReport(device::HidHandle handle, std::span<std::uint8_t> report) {
  const bool accepted = inner_.GetFeatureReport(handle, report);
  out_ << TraceLine(true, report, accepted) << '\n';
  return accepted;
}

}  // namespace corvid::sim
