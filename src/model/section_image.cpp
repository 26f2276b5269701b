#include "model/section_image.h"

#include <algorithm>
#include <cassert>

namespace corvid::model {
namespace {

template <std::size_t N>
std::size_t CopyPrefix(std::span<const std::uint8_t> source, std::array<std::uint8_t, N>& target) {
  const std::size_t count = std::min(source.size(), N);
  std::copy_n(source.begin(), count, target.begin());
  return count;
}

}  // namespace

std::size_t ParameterSection::CopyPrefixFrom(std::span<const std::uint8_t> source) {
  return CopyPrefix(source, bytes_);
}

int ParameterSection::DpiStep(int level) const {
  assert(IsValidDpiLevel(level));
  if (!IsValidDpiLevel(level)) return kNoDpiStep;
  const std::uint8_t pair = bytes_[DpiStepByteOffset(level)];
  return IsLowNibbleLevel(level) ? LowNibble(pair) : HighNibble(pair);
}

void ParameterSection::SetDpiStep(int level, unsigned step) {
  assert(IsValidDpiLevel(level));
  if (!IsValidDpiLevel(level)) return;
  std::uint8_t& pair = bytes_[DpiStepByteOffset(level)];
  pair = IsLowNibbleLevel(level) ? DpiStepPairByte(step, HighNibble(pair))
                                 : DpiStepPairByte(LowNibble(pair), step);
}

ColourChannels ParameterSection::DpiColour(int level) const {
  assert(IsValidDpiLevel(level));
  if (!IsValidDpiLevel(level)) return {};
  const std::size_t offset = DpiColourByteOffset(level);
  const auto channel = [&](std::size_t i) {
    return IsLowNibbleLevel(level) ? LowNibble(bytes_[offset + i]) : HighNibble(bytes_[offset + i]);
  };
  return {channel(0), channel(1), channel(2)};
}

void ParameterSection::SetDpiColour(int level, ColourChannels colour) {
  assert(IsValidDpiLevel(level));
  if (!IsValidDpiLevel(level)) return;
  // Keep the partner level of the pair as it is.
  const int partner = IsLowNibbleLevel(level) ? level + 1 : level - 1;
  const ColourChannels other = DpiColour(partner);
  const auto pair = IsLowNibbleLevel(level) ? DpiColourPairBytes(colour, other)
                                            : DpiColourPairBytes(other, colour);
  std::copy(pair.begin(), pair.end(), bytes_.begin() + DpiColourByteOffset(level));
}

ColourChannels ParameterSection::LedColour(int colour) const {
  assert(IsValidLedColour(colour));
  if (!IsValidLedColour(colour)) return {};
  const std::size_t offset = LedColourByteOffset(colour);
  return {bytes_[offset], bytes_[offset + 1], bytes_[offset + 2]};
}

void ParameterSection::SetLedColour(int colour, ColourChannels channels) {
  assert(IsValidLedColour(colour));
  if (!IsValidLedColour(colour)) return;
  const std::size_t offset = LedColourByteOffset(colour);
  bytes_[offset] = channels.red;
  bytes_[offset + 1] = channels.green;
  bytes_[offset + 2] = channels.blue;
}

std::string ParameterSection::ProductString() const {
  const auto begin = bytes_.begin() + kProductStringOffset;
  return std::string(begin, begin + kProductStringSize);
}

std::size_t ProfileSection::CopyPrefixFrom(std::span<const std::uint8_t> source) {
  return CopyPrefix(source, bytes_);
}

SlotBytes ProfileSection::Slot(int layer, int slot) const {
  assert(IsValidLayer(layer) && IsValidSlot(slot));
  SlotBytes code{};
  if (!IsValidLayer(layer) || !IsValidSlot(slot)) return code;
  std::copy_n(bytes_.begin() + KeySlotOffset(layer, slot), kSlotSize, code.begin());
  return code;
}

void ProfileSection::SetSlot(int layer, int slot, const SlotBytes& code) {
  assert(IsValidLayer(layer) && IsValidSlot(slot));
  if (!IsValidLayer(layer) || !IsValidSlot(slot)) return;
  std::copy(code.begin(), code.end(), bytes_.begin() + KeySlotOffset(layer, slot));
}

std::array<std::uint8_t, kSectionImageSize> SectionImage::ToBytes() const {
  std::array<std::uint8_t, kSectionImageSize> bytes{};
  const auto afterParameter =
      std::copy(parameter.Data().begin(), parameter.Data().end(), bytes.begin());
  std::copy(profile.Data().begin(), profile.Data().end(), afterParameter);
  return bytes;
}

void SectionImage::CopyPrefixFrom(std::span<const std::uint8_t> source) {
  parameter.CopyPrefixFrom(source);
  if (source.size() > kParameterSectionSize) {
    profile.CopyPrefixFrom(source.subspan(kParameterSectionSize));
  }
}

}  // namespace corvid::model
