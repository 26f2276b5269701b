#include "macros/device_macros.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "macros/conversion.h"

namespace corvid::macros {
namespace {

using device::MemoryLayout;

MacroNameField NameFieldOf(std::span<const std::uint8_t> bytes) {
  MacroNameField field{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), field.size()), field.begin());
  return field;
}

// Whether a name read back from the memory would still start a macro: on the EEPROM a record
// starting with 00 00 or holding 0xFF in its first two bytes ends the list, and every macro after
// it would be lost with it.
bool NameReadsBack(const MacroNameField& name, bool flash) {
  if (flash) return IsValidFlashMacroName(name);
  return !(name[0] == 0x00 && name[1] == 0x00) && name[0] != 0xFF && name[1] != 0xFF;
}

// Whether the area of `build` parses back into `count` records of the lengths it was built with
// (a deleted record leaves a zero length in the build that the area does not have).
bool ReadsBackAsBuilt(const MacroAreaBuild& build, std::size_t count,
                      std::uint16_t firstBodyAddress) {
  const MacroAreaParse parse = ParseMacroArea(build.image, firstBodyAddress);
  const auto lengths = [](const auto& all) {
    std::vector<std::uint16_t> stored;
    std::ranges::copy_if(all, std::back_inserter(stored), [](std::uint16_t len) { return len; });
    return stored;
  };
  return parse.end != MacroAreaEnd::kDamaged && parse.table.Count() == count &&
         lengths(parse.table.MacroLen) == lengths(build.MacroLen);
}

DeviceMacroChange Refused(DeviceMacroStatus status) {
  DeviceMacroChange change;
  change.status = status;
  if (status == DeviceMacroStatus::kOutOfRange) change.messageKey = kMacroAreaFullMessage;
  return change;
}

}  // namespace

void DeviceMacros::Refresh(MemoryLayout layout) {
  layout_ = layout;
  table_ = {};
  flashSlots_.clear();
  if (IsFlash()) {
    RefreshMacroName();
  } else {
    ReadAndRefreshMacroI2C();
  }
}

std::uint16_t DeviceMacros::FirstBodyAddress() const {
  return FirstMacroBodyAddress(layout_.value_or(MemoryLayout::LayoutI2C));
}

MacroAreaEnd DeviceMacros::ReadAndRefreshMacroI2C() {
  MacroAreaParse parse = ParseMacroArea(image_.MacroImage, FirstBodyAddress());
  table_ = parse.table;
  lastParseEnd_ = parse.end;
  if (parse.end == MacroAreaEnd::kDamaged) return parse.end;
  const MacroAreaBuild build = BuildMacroArea(table_, FirstBodyAddress());
  if (!build.fits) return parse.end;
  if (build.image != image_.MacroImage) {
    // Leftover bytes were cleared, or a page seam filler went in: read the result back so that
    // bodies, lengths and addresses describe exactly the bytes the mouse will get.
    image_.MacroImage = build.image;
    table_ = ParseMacroArea(image_.MacroImage, FirstBodyAddress()).table;
  }
  return parse.end;
}

bool DeviceMacros::TakeTable(const I2CMacroTable& table) {
  const MacroAreaBuild build = BuildMacroArea(table, FirstBodyAddress());
  if (!build.fits) return false;
  table_ = table;
  TakeBuild(build);
  ReadAndRefreshMacroI2C();
  return true;
}

void DeviceMacros::TakeBuild(const MacroAreaBuild& build) {
  image_.MacroImage = build.image;
  table_.MacroLen = build.MacroLen;
  table_.MacroAddr = build.MacroAddr;
  table_.MacroTotal = build.MacroTotal;
}

bool DeviceMacros::RefreshMacroI2C() {
  const MacroAreaBuild build = BuildMacroArea(table_, FirstBodyAddress());
  if (!build.fits) return false;
  TakeBuild(build);
  return true;
}

void DeviceMacros::CheckMacroLenI2C() {
  std::uint32_t total = 0;
  for (const std::uint16_t length : table_.MacroLen) total += length;
  table_.MacroTotal = static_cast<std::uint16_t>(total);
}

void DeviceMacros::RefreshMacroName() {
  flashSlots_.clear();
  for (std::size_t slot = 0; slot < model::kFlashMacroCount; ++slot) {
    if (IsValidFlashMacroName(image_.FlashMacroName(slot))) flashSlots_.push_back(slot);
  }
  image_.RecomputeFlashMacroAddressTable();
}

void DeviceMacros::UIToMacroName() {
  std::vector<MacroNameField> fields;
  for (const std::size_t slot : flashSlots_) {
    const MacroNameField stored = NameFieldOf(image_.FlashMacroName(slot));
    fields.push_back(NameToMacroNameField(MacroNameFieldToName(stored)).value_or(stored));
  }
  std::ranges::fill(image_.FlashMacroNames, 0x00);
  for (std::size_t i = 0; i < flashSlots_.size(); ++i) {
    std::ranges::copy(fields[i], image_.FlashMacroName(flashSlots_[i]).begin());
  }
}

std::optional<std::size_t> DeviceMacros::FlashSlotOf(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= flashSlots_.size()) return std::nullopt;
  return flashSlots_[static_cast<std::size_t>(index)];
}

std::size_t DeviceMacros::FlashBodyLength(std::size_t slot) const {
  return BodyLengthOf(image_.FlashMacroBody(slot));
}

std::optional<std::size_t> DeviceMacros::FirstFreeFlashSlot() const {
  for (std::size_t slot = 0; slot < model::kFlashMacroCount; ++slot) {
    if (!IsValidFlashMacroName(image_.FlashMacroName(slot))) return slot;
  }
  return std::nullopt;
}

int DeviceMacros::MacroCount() const {
  if (!layout_) return 0;
  return static_cast<int>(IsFlash() ? flashSlots_.size() : table_.Count());
}

std::string DeviceMacros::MacroName(int index) const {
  if (index < 0 || index >= MacroCount()) return {};
  if (IsFlash())
    return MacroNameFieldToName(NameFieldOf(image_.FlashMacroName(*FlashSlotOf(index))));
  return MacroNameFieldToName(table_.names[static_cast<std::size_t>(index)]);
}

std::uint16_t DeviceMacros::MacroAddress(int index) const {
  if (index < 0 || index >= MacroCount()) return 0;
  if (IsFlash()) return image_.FlashMacroAddressTable[*FlashSlotOf(index)];
  return table_.MacroAddr[static_cast<std::size_t>(index)];
}

std::vector<std::string> DeviceMacros::MacroNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < MacroCount(); ++i) names.push_back(MacroName(i));
  return names;
}

DeviceMacroChange DeviceMacros::AddMacro(const MacroNameField& name, const MacroBody& body) {
  if (!layout_) return Refused(DeviceMacroStatus::kNoLayout);
  const std::size_t bodyLength = BodyLengthOf(body);
  if (IsFlash()) {
    const std::optional<std::size_t> slot = FirstFreeFlashSlot();
    if (!slot) return Refused(DeviceMacroStatus::kFull);
    if (bodyLength > kMacroBodySize) return Refused(DeviceMacroStatus::kOutOfRange);
    if (!NameReadsBack(name, true)) return Refused(DeviceMacroStatus::kBadName);
    std::ranges::copy(name, image_.FlashMacroName(*slot).begin());
    std::ranges::copy(body, image_.FlashMacroBody(*slot).begin());
    RefreshMacroName();
    DeviceMacroChange change;
    change.selected = static_cast<int>(std::ranges::find(flashSlots_, *slot) - flashSlots_.begin());
    return change;
  }

  const std::size_t n = table_.Count();
  if (n >= kI2CMacroSlotCount) return Refused(DeviceMacroStatus::kFull);
  if (bodyLength > kMacroBodySize) return Refused(DeviceMacroStatus::kOutOfRange);
  if (!NameReadsBack(name, false)) return Refused(DeviceMacroStatus::kBadName);
  const std::size_t storedLength = StoredBodyLengthOf(body);
  if (storedLength > kMacroBodySize) return Refused(DeviceMacroStatus::kOutOfRange);
  I2CMacroTable trial = table_;
  trial.names[n] = name;
  trial.bodies[n] = {};
  std::copy_n(body.begin(), storedLength, trial.bodies[n].begin());
  trial.MacroLen[n] = static_cast<std::uint16_t>(kMacroNameFieldSize + storedLength);
  // The whole record, page seam filler included, must fit: the mouse has 512 bytes, not one more.
  const MacroAreaBuild build = BuildMacroArea(trial, FirstBodyAddress());
  if (!build.fits) return Refused(DeviceMacroStatus::kOutOfRange);
  // No length is stored on the EEPROM: the record must read back as exactly the bytes stored. A
  // body with bytes that are not steps may end earlier by byte values than by the three zeros;
  // stored anyway, its tail would read back as a macro that was never added, and the records
  // behind it would be lost.
  if (!ReadsBackAsBuilt(build, n + 1, FirstBodyAddress())) {
    return Refused(DeviceMacroStatus::kOutOfRange);
  }
  if (!TakeTable(trial)) return Refused(DeviceMacroStatus::kOutOfRange);
  DeviceMacroChange change;
  change.selected = static_cast<int>(n);
  return change;
}

DeviceMacroChange DeviceMacros::DeleteMacro(int index) {
  if (!layout_) return Refused(DeviceMacroStatus::kNoLayout);
  if (index < 0 || index >= MacroCount()) return Refused(DeviceMacroStatus::kNoSuchMacro);
  const auto k = static_cast<std::size_t>(index);
  if (IsFlash()) {
    const std::size_t slot = flashSlots_[k];
    auto& names = image_.FlashMacroNames;
    auto& bodies = image_.FlashMacroBodies;
    const auto nameAt = [](std::size_t s) {
      return static_cast<std::ptrdiff_t>(s * model::kFlashMacroNameSize);
    };
    const auto bodyAt = [](std::size_t s) {
      return static_cast<std::ptrdiff_t>(s * model::kFlashMacroBodySize);
    };
    std::copy(names.begin() + nameAt(slot + 1), names.end(), names.begin() + nameAt(slot));
    std::copy(bodies.begin() + bodyAt(slot + 1), bodies.end(), bodies.begin() + bodyAt(slot));
    std::ranges::fill(image_.FlashMacroName(model::kFlashMacroCount - 1), 0x00);
    std::ranges::fill(image_.FlashMacroBody(model::kFlashMacroCount - 1), 0x00);
    RefreshMacroName();
  } else {
    I2CMacroTable trial = table_;
    trial.MacroLen[k] = 0;
    if (k >= 1) trial.MacroAddr[k] = 0;
    trial.names[k] = {};
    trial.bodies[k] = {};
    // The later records close the gap; a filler can only move, so this fits unless a full-length
    // body would be pushed past its slot by a new filler.
    const MacroAreaBuild build = BuildMacroArea(trial, FirstBodyAddress());
    if (!build.fits) return Refused(DeviceMacroStatus::kOutOfRange);
    // A record's end is found from its bytes and those behind it: with new neighbours a body may
    // read back longer and take the records after it along.
    if (!ReadsBackAsBuilt(build, table_.Count() - 1, FirstBodyAddress())) {
      return Refused(DeviceMacroStatus::kWouldNotReadBack);
    }
    if (!TakeTable(trial)) return Refused(DeviceMacroStatus::kOutOfRange);
  }
  DeviceMacroChange change;
  if (MacroCount() > 0) change.selected = std::max(index - 1, 0);
  return change;
}

std::optional<DeviceMacroView> DeviceMacros::ShowMacro(int index) const {
  if (index < 0 || index >= MacroCount()) return std::nullopt;
  std::span<const std::uint8_t> body;
  std::size_t length = 0;
  if (IsFlash()) {
    const std::size_t slot = *FlashSlotOf(index);
    body = image_.FlashMacroBody(slot);
    length = FlashBodyLength(slot);
  } else {
    const auto k = static_cast<std::size_t>(index);
    body = table_.bodies[k];
    length = table_.MacroLen[k] - kMacroNameFieldSize;
  }
  if (length <= 1) return std::nullopt;
  DeviceMacroView view;
  view.bodyLength = length;
  view.hexText = BytesToHexText(body.first(std::min(length, body.size())));
  view.decoded = MacroToMemo(body, std::min(length - 1, body.size()));
  return view;
}

std::vector<std::uint8_t> DeviceMacros::ExportBytes() const {
  if (!layout_) return {};
  if (!IsFlash()) return {image_.MacroImage.begin(), image_.MacroImage.end()};
  std::vector<std::uint8_t> bytes(image_.FlashMacroNames.begin(), image_.FlashMacroNames.end());
  bytes.insert(bytes.end(), image_.FlashMacroBodies.begin(), image_.FlashMacroBodies.end());
  return bytes;
}

}  // namespace corvid::macros
