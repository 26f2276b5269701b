#include "sim/trace.h"

#include "common/hex.h"

namespace corvid::sim {

std::string TraceLine(bool fetched, std::span<const std::uint8_t> report, bool accepted) {
  std::string line = fetched ? "get" : "set";
  for (const std::uint8_t byte : report) {
    line += ' ';
    common::AppendHexByte(line, byte);
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
