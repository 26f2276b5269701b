#pragma once

// Byte-exact images of the mouse's two configuration sections. Every named field is reached
// through an accessor; bytes the tool does not interpret pass through untouched.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "model/section_fields.h"
#include "model/storage_kind.h"

namespace corvid::model {

// Bank 0: settings, DPI, lighting, identity of the USB device.
class ParameterSection {
 public:
  using Bytes = std::array<std::uint8_t, kParameterSectionSize>;

  ParameterSection() = default;
  explicit ParameterSection(const Bytes& bytes) : bytes_(bytes) {}

  std::span<std::uint8_t, kParameterSectionSize> Data() { return bytes_; }
  std::span<const std::uint8_t, kParameterSectionSize> Data() const { return bytes_; }

  // Copies as much of `source` as fits from byte 0; the rest keeps its content. Returns the count.
  std::size_t CopyPrefixFrom(std::span<const std::uint8_t> source);

  std::uint8_t StorageMarker() const { return bytes_[kStorageMarkerOffset]; }
  void SetStorageMarker(std::uint8_t marker) { bytes_[kStorageMarkerOffset] = marker; }

  std::uint8_t FireRepeatPair() const { return bytes_[kFireRepeatPairOffset]; }
  void SetFireRepeatPair(std::uint8_t value) { bytes_[kFireRepeatPairOffset] = value; }
  int FireKey1RepeatMinusOne() const { return LowNibble(FireRepeatPair()); }
  int FireKey2RepeatMinusOne() const { return HighNibble(FireRepeatPair()); }

  std::uint16_t UsbVendorId() const { return ReadBigEndian16(kUsbVendorIdOffset); }
  void SetUsbVendorId(std::uint16_t id) { WriteBigEndian16(kUsbVendorIdOffset, id); }
  std::uint16_t UsbProductId() const { return ReadBigEndian16(kUsbProductIdOffset); }
  void SetUsbProductId(std::uint16_t id) { WriteBigEndian16(kUsbProductIdOffset, id); }

  std::uint8_t ReportRateByte() const { return bytes_[kReportRateByteOffset]; }
  void SetReportRateByte(std::uint8_t value) { bytes_[kReportRateByteOffset] = value; }
  UsbReportRate ReportRate() const { return ReportRateOf(ReportRateByte()); }
  void SetReportRate(UsbReportRate rate) {
    SetReportRateByte(WithReportRate(ReportRateByte(), rate));
  }
  StorageKind MacroStorageKind() const { return MacroStorageKindOf(ReportRateByte()); }

  // 0 Main Control, 1 Switch Control, 2 Fixed Control; other values are kept as read.
  std::uint8_t ActiveLayer() const { return bytes_[kActiveLayerOffset]; }
  void SetActiveLayer(std::uint8_t layer) { bytes_[kActiveLayerOffset] = layer; }

  std::uint8_t LedModeByte() const { return bytes_[kLedModeByteOffset]; }
  void SetLedModeByte(std::uint8_t value) { bytes_[kLedModeByteOffset] = value; }
  LedFamilyKind LedFamily() const { return LedFamilyOf(LedModeByte()); }
  int LedMode() const { return LedModeOf(LedModeByte()); }
  void SetLedMode(unsigned mode) { SetLedModeByte(WithLedMode(LedModeByte(), mode)); }

  std::uint8_t DpiLevelByte() const { return bytes_[kDpiLevelByteOffset]; }
  void SetDpiLevelByte(std::uint8_t value) { bytes_[kDpiLevelByteOffset] = value; }
  // Raw nibbles: count minus one (meaningful for 0..7) and the current level index.
  int DpiLevelCountNibble() const { return HighNibble(DpiLevelByte()); }
  int CurrentDpiLevelNibble() const { return LowNibble(DpiLevelByte()); }

  // Step index 0..11 of DPI level 1..8, or kNoDpiStep.
  int DpiStep(int level) const;
  void SetDpiStep(int level, unsigned step);

  ColourChannels DpiColour(int level) const;
  void SetDpiColour(int level, ColourChannels colour);

  std::uint8_t LedStepTimeCopy() const { return bytes_[kLedStepTimeCopyOffset]; }
  std::uint8_t LedStepTime() const { return bytes_[kLedStepTimeOffset]; }
  // The mouse expects both step-time bytes to carry the same value.
  void SetLedStepTime(std::uint8_t value) {
    bytes_[kLedStepTimeCopyOffset] = value;
    bytes_[kLedStepTimeOffset] = value;
  }
  int LedStep() const { return LedStepOfTime(LedStepTime()); }

  // LED colour 1..7, whole bytes per channel.
  ColourChannels LedColour(int colour) const;
  void SetLedColour(int colour, ColourChannels channels);

  std::string ProductString() const;

  std::uint8_t ParameterChecksum() const { return bytes_[kParameterChecksumOffset]; }
  std::uint8_t ComputedChecksum() const {
    return SectionChecksum(Data().first<kParameterChecksumOffset>());
  }
  bool ChecksumHolds() const { return ParameterChecksum() == ComputedChecksum(); }
  ParameterSection& RecomputeChecksum() {
    bytes_[kParameterChecksumOffset] = ComputedChecksum();
    return *this;
  }

  bool operator==(const ParameterSection&) const = default;

 private:
  std::uint16_t ReadBigEndian16(std::size_t offset) const {
    return static_cast<std::uint16_t>((bytes_[offset] << 8U) | bytes_[offset + 1]);
  }
  void WriteBigEndian16(std::size_t offset, std::uint16_t value) {
    bytes_[offset] = static_cast<std::uint8_t>(value >> 8U);
    bytes_[offset + 1] = static_cast<std::uint8_t>(value & 0xFFU);
  }

  Bytes bytes_{};
};

// Bank 1: the button slots of the three layers.
class ProfileSection {
 public:
  using Bytes = std::array<std::uint8_t, kProfileSectionSize>;

  ProfileSection() = default;
  explicit ProfileSection(const Bytes& bytes) : bytes_(bytes) {}

  std::span<std::uint8_t, kProfileSectionSize> Data() { return bytes_; }
  std::span<const std::uint8_t, kProfileSectionSize> Data() const { return bytes_; }

  std::size_t CopyPrefixFrom(std::span<const std::uint8_t> source);

  // Layer 0..2, slot 1..12. Out-of-range positions read as zero and are not written.
  SlotBytes Slot(int layer, int slot) const;
  void SetSlot(int layer, int slot, const SlotBytes& code);

  std::uint8_t ProfileChecksum() const { return bytes_[kProfileChecksumOffset]; }
  std::uint8_t ComputedChecksum() const {
    return SectionChecksum(Data().first<kProfileChecksumOffset>());
  }
  bool ChecksumHolds() const { return ProfileChecksum() == ComputedChecksum(); }
  ProfileSection& RecomputeChecksum() {
    bytes_[kProfileChecksumOffset] = ComputedChecksum();
    return *this;
  }

  bool operator==(const ProfileSection&) const = default;

 private:
  Bytes bytes_{};
};

// The 249-byte image of both sections, in the order the mouse, the default image and profile files
// keep them: the parameter section, then the profile section.
struct SectionImage {
  ParameterSection parameter;
  ProfileSection profile;

  std::array<std::uint8_t, kSectionImageSize> ToBytes() const;
  // Takes over what `source` holds from its start; a short source leaves the rest as it was.
  void CopyPrefixFrom(std::span<const std::uint8_t> source);

  bool operator==(const SectionImage&) const = default;
};

}  // namespace corvid::model
