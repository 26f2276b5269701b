#pragma once

// Byte positions and packed encodings of the two configuration sections. Everything here is a pure
// function of bytes, so that a page can compute the byte it sends without touching the image
// (several settings are written to the mouse before the image catches up).

#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <span>
#include <string_view>

#include "device/bits.h"
#include "model/storage_kind.h"

namespace corvid::model {

inline constexpr std::size_t kParameterSectionSize = 104;
inline constexpr std::size_t kProfileSectionSize = 145;
inline constexpr std::size_t kSectionImageSize = kParameterSectionSize + kProfileSectionSize;

// Parameter section (bank 0).
inline constexpr std::size_t kStorageMarkerOffset = 0;
inline constexpr std::size_t kFireRepeatPairOffset = 1;
inline constexpr std::size_t kUsbVendorIdOffset = 2;
inline constexpr std::size_t kUsbProductIdOffset = 4;
inline constexpr std::size_t kReportRateByteOffset = 6;
inline constexpr std::size_t kActiveLayerOffset = 33;
inline constexpr std::size_t kLedModeByteOffset = 37;
inline constexpr std::size_t kDpiLevelByteOffset = 38;
inline constexpr std::size_t kDpiValueIndexOffset = 39;
inline constexpr std::size_t kLedStepTimeCopyOffset = 52;
inline constexpr std::size_t kLedStepTimeOffset = 53;
inline constexpr std::size_t kLedColourOffset = 54;
inline constexpr std::size_t kDpiColourOffset = 75;
inline constexpr std::size_t kProductStringOffset = 87;
inline constexpr std::size_t kProductStringSize = 16;
inline constexpr std::size_t kParameterChecksumOffset = 103;

// Profile section (bank 1): three layers of twelve 4-byte button slots, then the checksum.
inline constexpr int kKeyLayerCount = 3;
inline constexpr int kSlotsPerLayer = 12;
inline constexpr std::size_t kSlotSize = 4;
inline constexpr std::size_t kKeyLayerSize = kSlotsPerLayer * kSlotSize;
inline constexpr std::size_t kProfileChecksumOffset = 144;

// The four bytes of one button slot, byte 0 (the function class) first.
using SlotBytes = std::array<std::uint8_t, kSlotSize>;

constexpr bool IsValidLayer(int layer) { return layer >= 0 && layer < kKeyLayerCount; }
constexpr bool IsValidSlot(int slot) { return slot >= 1 && slot <= kSlotsPerLayer; }

// Layer 0..2 (Main, Switch, Fixed Control), slot 1..12 (the button labelled Key1..Key12).
constexpr std::size_t KeySlotOffset(int layer, int slot) {
  return kKeyLayerSize * static_cast<std::size_t>(layer) +
         kSlotSize * static_cast<std::size_t>(slot - 1);
}

// The mouse's own check byte: the 8-bit sum of everything before it, XOR 0x5A.
constexpr std::uint8_t SectionChecksum(std::span<const std::uint8_t> precedingBytes) {
  const unsigned sum = std::accumulate(precedingBytes.begin(), precedingBytes.end(), 0U);
  return static_cast<std::uint8_t>((sum & 0xFFU) ^ 0x5AU);
}

constexpr std::uint8_t LowNibble(std::uint8_t value) { return value & 0x0FU; }
constexpr std::uint8_t HighNibble(std::uint8_t value) { return value >> 4U; }
constexpr std::uint8_t PackNibbles(unsigned high, unsigned low) {
  return static_cast<std::uint8_t>(((high & 0x0FU) << 4U) | (low & 0x0FU));
}

// Repeat counts are stored minus one: Fire Key1 in the low nibble, Fire Key2 in the high nibble.
constexpr std::uint8_t FireRepeatPairByte(unsigned fireKey1RepeatMinusOne,
                                          unsigned fireKey2RepeatMinusOne) {
  return PackNibbles(fireKey2RepeatMinusOne, fireKey1RepeatMinusOne);
}

// Report rate: bits 5..4 of the report-rate byte.
enum class UsbReportRate : std::uint8_t { Hz125 = 0, Hz250 = 1, Hz500 = 2, Hz1000 = 3 };

constexpr UsbReportRate ReportRateOf(std::uint8_t reportRateByte) {
  return static_cast<UsbReportRate>((reportRateByte >> 4U) & 0x03U);
}

// Changes only bits 5..4; the macro storage bits and the firmware's low bits must survive.
constexpr std::uint8_t WithReportRate(std::uint8_t reportRateByte, UsbReportRate rate) {
  const auto bits = static_cast<unsigned>(rate);
  std::uint32_t value = reportRateByte;
  value = device::TestBit(bits, 0) ? device::SetBit(value, 4) : device::ClearBit(value, 4);
  value = device::TestBit(bits, 1) ? device::SetBit(value, 5) : device::ClearBit(value, 5);
  return static_cast<std::uint8_t>(value);
}

constexpr int ReportRateHz(UsbReportRate rate) {
  constexpr std::array<int, 4> kHz = {125, 250, 500, 1000};
  return kHz[static_cast<std::size_t>(rate) & 0x03U];
}

// A Flash controller tells where it keeps macros in bits 7..6 of the report-rate byte.
constexpr StorageKind MacroStorageKindOf(std::uint8_t reportRateByte) {
  switch (reportRateByte & 0xC0U) {
    case 0x80U:
      return StorageKind::I2C;
    case 0xC0U:
      return StorageKind::Flash;
    default:
      return StorageKind::Unknown;
  }
}

// LED mode byte: bits 7..6 the LED family of the device, bits 3..0 the mode, bits 5..4 the
// firmware's own.
enum class LedFamilyKind : std::uint8_t { RGB, Sync, NT };

constexpr LedFamilyKind LedFamilyOf(std::uint8_t ledModeByte) {
  switch (ledModeByte >> 6U) {
    case 0:
      return LedFamilyKind::RGB;
    case 1:
      return LedFamilyKind::Sync;
    default:
      return LedFamilyKind::NT;
  }
}

constexpr std::string_view LedFamilyText(LedFamilyKind family) {
  switch (family) {
    case LedFamilyKind::RGB:
      return "RGB";
    case LedFamilyKind::Sync:
      return "Sync";
    case LedFamilyKind::NT:
      break;
  }
  return "NT";
}

constexpr int LedModeOf(std::uint8_t ledModeByte) { return LowNibble(ledModeByte); }

constexpr std::uint8_t WithLedMode(std::uint8_t ledModeByte, unsigned mode) {
  return static_cast<std::uint8_t>((ledModeByte & 0xF0U) | (mode & 0x0FU));
}

// DPI levels are numbered 1..8; steps index the DPI value list, 0xF meaning "no value".
inline constexpr int kDpiLevelCount = 8;
inline constexpr int kDpiStepCount = 12;
inline constexpr std::uint8_t kNoDpiStep = 0x0F;
inline constexpr std::array<int, kDpiStepCount> kDpiStepValues = {
    200, 400, 600, 800, 1000, 1200, 1600, 2000, 2400, 3200, 4800, 6000};

constexpr bool IsValidDpiLevel(int level) { return level >= 1 && level <= kDpiLevelCount; }

// Level count minus one in the high nibble, 0-based current level in the low nibble.
constexpr std::uint8_t DpiLevelByteOf(unsigned levelCount, unsigned currentLevelIndex) {
  return PackNibbles(levelCount - 1U, currentLevelIndex);
}

// Levels come in pairs (1,2), (3,4), ...: the odd level in the low nibble, the even one in the
// high.
constexpr bool IsLowNibbleLevel(int level) { return level % 2 == 1; }

constexpr std::size_t DpiStepByteOffset(int level) {
  return kDpiValueIndexOffset + static_cast<std::size_t>((level - 1) / 2);
}

constexpr std::uint8_t DpiStepPairByte(unsigned oddLevelStep, unsigned evenLevelStep) {
  return PackNibbles(evenLevelStep, oddLevelStep);
}

// Red, green and blue channels. LED colours use whole bytes; DPI colours are 4-bit channels.
struct ColourChannels {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const ColourChannels&) const = default;
};

constexpr std::size_t DpiColourByteOffset(int level) {
  return kDpiColourOffset + 3U * static_cast<std::size_t>((level - 1) / 2);
}

// The three bytes of a DPI colour pair: each channel of the odd level in the low nibble.
constexpr std::array<std::uint8_t, 3> DpiColourPairBytes(ColourChannels oddLevel,
                                                         ColourChannels evenLevel) {
  return {PackNibbles(evenLevel.red, oddLevel.red), PackNibbles(evenLevel.green, oddLevel.green),
          PackNibbles(evenLevel.blue, oddLevel.blue)};
}

inline constexpr int kLedColourCount = 7;
constexpr bool IsValidLedColour(int colour) { return colour >= 1 && colour <= kLedColourCount; }
constexpr std::size_t LedColourByteOffset(int colour) {
  return kLedColourOffset + 3U * static_cast<std::size_t>(colour - 1);
}

// Breathing step time: step 1..10 is stored as 5 x step.
inline constexpr int kLedStepCount = 10;

constexpr std::uint8_t LedStepTimeOfStep(unsigned step) {
  return static_cast<std::uint8_t>(5U * step);
}

// Any stored byte reads back as a step: the smallest step whose time reaches it, within 1..10.
constexpr int LedStepOfTime(std::uint8_t stepTime) {
  const int step = (stepTime + 4) / 5;
  return step < 1 ? 1 : (step > kLedStepCount ? kLedStepCount : step);
}

}  // namespace corvid::model
