#include "macros/device_macro_area.h"

#include <algorithm>
#include <optional>

#include "model/image_transfer.h"

namespace corvid::macros {
namespace {

// The longest body a slot holds: 255 step bytes and the terminator.
constexpr std::size_t kMaxStepBytes = kMacroBodySize - 1;

// Length of the step that starts with `type`, or 0 for a byte the mouse has no step for.
std::size_t StepLength(std::uint8_t type) {
  switch (type) {
    case kStepDelay:
      return 3;
    case kStepModifierDown:
    case kStepKeyDown:
    case kStepModifierUp:
    case kStepKeyUp:
    case kStepRepeatStart:
      return 2;
    case kStepPointerMove:
      return 4;
    case kStepRepeatEnd:
      return 1;
    default:
      return MouseButtonLine(type).empty() ? 0 : 1;
  }
}

bool IsPageSeamFillerAt(std::span<const std::uint8_t, kMacroAreaSize> area, std::size_t pos) {
  return pos == kPageSeamOffset && area[pos] == kPageSeamFiller &&
         NeedsPageSeamFiller(area[pos + 1]);
}

// Number of step bytes of the body at `start`, walking whole steps up to the 0x00 terminator.
// Nothing when a byte has no step or the body does not end inside the area and a slot. A filler at
// the page seam inside a step is taken as part of the body when `fillerInsideSteps` is set.
std::optional<std::size_t> WalkSteps(std::span<const std::uint8_t, kMacroAreaSize> area,
                                     std::size_t start, bool fillerInsideSteps) {
  std::size_t pos = start;
  while (pos < kMacroAreaSize && pos - start <= kMaxStepBytes) {
    const std::uint8_t type = area[pos];
    if (type == kStepTerminator) return pos - start;
    const std::size_t length = StepLength(type);
    if (length == 0) return std::nullopt;
    ++pos;
    for (std::size_t operand = 1; operand < length; ++operand) {
      if (fillerInsideSteps && IsPageSeamFillerAt(area, pos)) ++pos;
      ++pos;
    }
  }
  return std::nullopt;
}

// The end rule of earlier versions: the first byte that can close a step (not 0x00, 0xFD, 0xFE or
// 0x04), followed by 0x00, that is not followed by the 0x21 that ends a pointer move. Bytes past
// the area count as 0x00.
std::optional<std::size_t> FindEndByByteValues(std::span<const std::uint8_t, kMacroAreaSize> area,
                                               std::size_t start) {
  const auto at = [&](std::size_t pos) -> std::uint8_t {
    return pos < kMacroAreaSize ? area[pos] : 0x00;
  };
  for (std::size_t i = 0; i < kMaxStepBytes && start + i + 1 < kMacroAreaSize; ++i) {
    const std::uint8_t last = area[start + i];
    const bool canClose =
        last != 0x00 && last != kStepRepeatStart && last != kStepDelay && last != kStepPointerMove;
    if (canClose && at(start + i + 1) == 0x00 && at(start + i + 2) != kPointerMoveTail) {
      return i + 1;
    }
  }
  return std::nullopt;
}

// Whether a record can start at `pos`: two bytes that are neither 00 00 nor hold 0xFF.
bool RecordStartsAt(std::span<const std::uint8_t, kMacroAreaSize> area, std::size_t pos) {
  if (pos + 1 >= kMacroAreaSize) return false;
  return !(area[pos] == 0x00 && area[pos + 1] == 0x00) && area[pos] != 0xFF &&
         area[pos + 1] != 0xFF;
}

// Number of body bytes before the byte that ends the record.
std::optional<std::size_t> FindStepBytes(std::span<const std::uint8_t, kMacroAreaSize> area,
                                         std::size_t start) {
  if (area[start] == kStepTerminator) return 0;
  std::optional<std::size_t> steps = WalkSteps(area, start, true);
  if (!steps) steps = WalkSteps(area, start, false);
  if (!steps) return FindEndByByteValues(area, start);
  // A body whose last step ends in an operand 0x00 is usually stored without a terminator of its
  // own (its length is found by the three-zero rule): that operand ends the record, and the 0x00
  // the walk stopped at is the first byte of the next name. It is a terminator only when no record
  // can start on it but one starts right behind it.
  const std::size_t end = start + *steps;
  if (*steps > 0 && area[end - 1] == 0x00 &&
      !(!RecordStartsAt(area, end) && RecordStartsAt(area, end + 1))) {
    return *steps - 1;
  }
  return steps;
}

}  // namespace

std::uint16_t FirstMacroBodyAddress(device::MemoryLayout layout) {
  return static_cast<std::uint16_t>(model::MacroAreaAddressesOf(layout).first +
                                    kMacroNameFieldSize);
}

std::size_t I2CMacroTable::Count() const {
  return static_cast<std::size_t>(std::ranges::count_if(MacroLen, [](auto len) { return len; }));
}

MacroAreaParse ParseMacroArea(std::span<const std::uint8_t, kMacroAreaSize> area,
                              std::uint16_t firstBodyAddress) {
  MacroAreaParse parse;
  I2CMacroTable& table = parse.table;
  table.MacroAddr[0] = firstBodyAddress;
  std::size_t pos = 0;
  std::size_t k = 0;
  for (; k < kI2CMacroSlotCount; ++k) {
    if (pos == kMacroAreaSize) {
      parse.end = MacroAreaEnd::kAreaFull;
      break;
    }
    if (pos + 1 == kMacroAreaSize) {
      // One byte left: a record cannot start there, whatever it holds.
      parse.end = area[pos] == 0x00 || area[pos] == 0xFF ? MacroAreaEnd::kEndMarker
                                                         : MacroAreaEnd::kDamaged;
      break;
    }
    if ((area[pos] == 0x00 && area[pos + 1] == 0x00) || area[pos] == 0xFF ||
        area[pos + 1] == 0xFF) {
      parse.end = MacroAreaEnd::kEndMarker;
      break;
    }
    const std::size_t bodyStart = pos + kMacroNameFieldSize;
    if (bodyStart >= kMacroAreaSize) {
      parse.end = MacroAreaEnd::kDamaged;
      break;
    }
    const std::optional<std::size_t> steps = FindStepBytes(area, bodyStart);
    if (!steps) {
      parse.end = MacroAreaEnd::kDamaged;
      break;
    }
    std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(pos), kMacroNameFieldSize,
                table.names[k].begin());
    std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(bodyStart), *steps,
                table.bodies[k].begin());
    table.MacroLen[k] = static_cast<std::uint16_t>(kEmptyMacroRecordLength + *steps);
    if (k >= 1) {
      table.MacroAddr[k] =
          static_cast<std::uint16_t>(table.MacroAddr[k - 1] + table.MacroLen[k - 1]);
    }
    table.MacroTotal = static_cast<std::uint16_t>(table.MacroTotal + table.MacroLen[k]);
    pos += table.MacroLen[k];
  }
  if (k == kI2CMacroSlotCount) parse.end = MacroAreaEnd::kAllSlots;
  parse.endOffset = pos;
  return parse;
}

MacroAreaBuild BuildMacroArea(const I2CMacroTable& table, std::uint16_t firstBodyAddress) {
  MacroAreaBuild build;
  build.MacroAddr[0] = firstBodyAddress;
  std::size_t pos = 0;
  std::uint16_t address = firstBodyAddress;
  for (std::size_t k = 0; k < kI2CMacroSlotCount && build.fits; ++k) {
    const std::size_t length = table.MacroLen[k];
    if (length == 0) continue;
    const std::size_t bodyBytes = length - std::min(length, kMacroNameFieldSize);
    if (length < kEmptyMacroRecordLength || bodyBytes > kMacroBodySize ||
        pos + length > kMacroAreaSize) {
      build.fits = false;
      break;
    }
    MacroArea record = build.image;
    std::ranges::copy(table.names[k], record.begin() + static_cast<std::ptrdiff_t>(pos));
    std::size_t out = pos + kMacroNameFieldSize;
    std::size_t grown = length;
    for (std::size_t i = 0; i < bodyBytes; ++i) {
      const std::uint8_t byte = table.bodies[k][i];
      if (out == kPageSeamOffset && NeedsPageSeamFiller(byte)) {
        record[out++] = kPageSeamFiller;
        ++grown;
      }
      if (out >= kMacroAreaSize || grown - kMacroNameFieldSize > kMacroBodySize) {
        build.fits = false;
        break;
      }
      record[out++] = byte;
    }
    if (!build.fits) break;
    build.image = record;
    build.MacroLen[k] = static_cast<std::uint16_t>(grown);
    build.MacroAddr[k] = address;
    address = static_cast<std::uint16_t>(address + grown);
    build.MacroTotal = static_cast<std::uint16_t>(build.MacroTotal + grown);
    pos = out;
  }
  build.MacroAddr[0] = firstBodyAddress;
  return build;
}

bool IsValidFlashMacroName(std::span<const std::uint8_t> nameField) {
  if (nameField.size() < 2) return false;
  const bool bothZero = nameField[0] == 0x00 && nameField[1] == 0x00;
  const bool bothErased = nameField[0] == 0xFF && nameField[1] == 0xFF;
  return !bothZero && !bothErased;
}

std::size_t BodyLengthOf(std::span<const std::uint8_t> bodySlot) {
  return FindTerminatorOffset(bodySlot) + 1;
}

std::size_t StoredBodyLengthOf(std::span<const std::uint8_t> bodySlot) {
  const std::size_t byZeros = BodyLengthOf(bodySlot);
  // Whole steps up to a terminator: a final delay of 0 (FE 00 00) keeps both operand bytes,
  // which the three-zero rule alone would cut to FE 00.
  std::size_t pos = 0;
  while (pos < bodySlot.size() && bodySlot[pos] != kStepTerminator) {
    const std::size_t length = StepLength(bodySlot[pos]);
    if (length == 0) return byZeros;
    pos += length;
  }
  if (pos >= bodySlot.size()) return byZeros;
  // Bytes behind the terminator, before the three zeros, are never played; stored, they would
  // read back as the name of a macro that was never added.
  if (pos + 1 < byZeros) return pos + 1;
  return std::max(byZeros, pos);
}

}  // namespace corvid::macros
