#pragma once

#include <array>
#include <cstdint>

namespace corvid::device {

// Every exchange with the mouse is one 8-byte feature report: the report ID, then seven payload
// bytes. 0x40 carries commands; 0x41 carries data both ways.
using FeatureReport = std::array<std::uint8_t, 8>;
// The seven payload bytes of a read-back; seven 0xFF bytes when it failed.
using ReadBackBuffer = std::array<std::uint8_t, 7>;

inline constexpr std::uint8_t kCommandReportId = 0x40;
inline constexpr std::uint8_t kDataReportId = 0x41;
inline constexpr int kPayloadSize = 7;

inline constexpr std::uint8_t kCommandWriteBank = 0x05;
inline constexpr std::uint8_t kCommandReadBank = 0x06;
inline constexpr std::uint8_t kCommandWriteMemory = 0x07;
inline constexpr std::uint8_t kCommandReadMemory = 0x09;
inline constexpr std::uint8_t kCommandDeviceInfo = 0x0D;
inline constexpr std::uint8_t kCommandRestart = 0x0E;

constexpr FeatureReport MakeCommandReport(std::uint8_t command, std::uint8_t p1, std::uint8_t p2,
                                          std::uint8_t p3, std::uint8_t p4) {
  return {kCommandReportId, command, p1, p2, p3, p4, 0x00, 0x00};
}

constexpr FeatureReport MakeReadBackRequest() {
  return {kDataReportId, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
}

}  // namespace corvid::device
