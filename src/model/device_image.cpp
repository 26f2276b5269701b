#include "model/device_image.h"

namespace corvid::model {
namespace {

template <typename Bytes>
auto Entry(Bytes& bytes, std::size_t index, std::size_t entrySize) {
  using Span = decltype(std::span(bytes).subspan(0, 0));
  if (index >= kFlashMacroCount) return Span{};
  return std::span(bytes).subspan(index * entrySize, entrySize);
}

}  // namespace

std::span<std::uint8_t> DeviceImage::FlashMacroName(std::size_t index) {
  return Entry(FlashMacroNames, index, kFlashMacroNameSize);
}
std::span<const std::uint8_t> DeviceImage::FlashMacroName(std::size_t index) const {
  return Entry(FlashMacroNames, index, kFlashMacroNameSize);
}
std::span<std::uint8_t> DeviceImage::FlashMacroBody(std::size_t index) {
  return Entry(FlashMacroBodies, index, kFlashMacroBodySize);
}
std::span<const std::uint8_t> DeviceImage::FlashMacroBody(std::size_t index) const {
  return Entry(FlashMacroBodies, index, kFlashMacroBodySize);
}

}  // namespace corvid::model
