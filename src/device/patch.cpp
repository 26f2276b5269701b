#include "device/patch.h"

#include <algorithm>
#include <string>

#include "common/file_io.h"

namespace corvid::device {
namespace {

constexpr std::uint16_t kPatchChecksumMask = 0x015A;
constexpr std::uint8_t kPatchHeaderConstantHigh = 0x00;
constexpr std::uint8_t kPatchHeaderConstantLow = 0x1A;

void PutBigEndian16(PatchHeaderBytes& header, std::size_t offset, std::uint16_t value) {
  header[offset] = static_cast<std::uint8_t>(value >> 8U);
  header[offset + 1] = static_cast<std::uint8_t>(value & 0xFFU);
}

PatchLoadResult Refuse(FirmwarePatch& patch, PatchLoadOutcome outcome, std::string error = {}) {
  patch.BinLoaded = false;
  PatchLoadResult result{outcome, {}, std::move(error)};
  if (outcome == PatchLoadOutcome::kTooShort) result.messageKey = kPatchFileTooShortKey;
  return result;
}

}  // namespace

std::uint16_t PatchChecksum(std::span<const std::uint8_t, kPatchCodeSize> code) {
  std::uint16_t sum = 0;
  for (const std::uint8_t byte : code) sum = static_cast<std::uint16_t>(sum + byte);
  return sum ^ kPatchChecksumMask;
}

PatchHeaderBytes BuildPatchHeader(std::span<const std::uint8_t, kPatchCodeSize> code) {
  PatchHeaderBytes header{};
  PutBigEndian16(header, 8, kPatchCodeAddress);
  PutBigEndian16(header, 10, static_cast<std::uint16_t>(kPatchCodeSize));
  header[12] = kPatchHeaderConstantHigh;
  header[13] = kPatchHeaderConstantLow;
  PutBigEndian16(header, 14, PatchChecksum(code));
  return header;
}

PatchLoadResult LoadPatchBin(std::span<const std::uint8_t> file, FirmwarePatch& patch) {
  if (file.size() < kPatchCodeFileOffset + kPatchCodeSize) {
    return Refuse(patch, PatchLoadOutcome::kTooShort);
  }
  std::ranges::copy(file.subspan(kPatchCodeFileOffset, kPatchCodeSize), patch.PatchCode.begin());
  patch.BinLoaded = true;
  return {PatchLoadOutcome::kLoaded, {}, {}};
}

PatchLoadResult LoadPatchBin(const std::filesystem::path& path, FirmwarePatch& patch) {
  // Only the code is read: a firmware image is much larger than the patch it carries.
  std::string error;
  const auto code = common::ReadFileRange(path, kPatchCodeFileOffset, kPatchCodeSize, &error);
  if (!code) return Refuse(patch, PatchLoadOutcome::kUnreadable, std::move(error));
  if (code->size() != kPatchCodeSize) return Refuse(patch, PatchLoadOutcome::kTooShort);
  std::ranges::copy(*code, patch.PatchCode.begin());
  patch.BinLoaded = true;
  return {PatchLoadOutcome::kLoaded, {}, {}};
}

PatchProgramResult ProgramPatch(Protocol& protocol, const DeviceLink& link,
                                std::optional<MemoryLayout> layout, FirmwarePatch& patch,
                                BusyWindow& busyWindow) {
  if (!link.IsConnected()) return {PatchProgramOutcome::kNoMouse, false};
  if (!patch.BinLoaded) return {PatchProgramOutcome::kNoBinLoaded, false};
  // Only a Flash/Flash controller runs patch code from this memory; elsewhere the writes would
  // land in configuration or macro storage.
  if (layout != MemoryLayout::LayoutFlashFlash) return {PatchProgramOutcome::kNotFlashFlash, false};

  busyWindow.Show();
  busyWindow.ProcessPendingEvents();
  patch.CheckPatchCodeSection();
  bool accepted = protocol.WriteMemory(kPatchCodeAddress, patch.PatchCode);
  accepted &= protocol.WriteMemory(kPatchHeaderAddress, patch.PatchHeader);
  busyWindow.Hide();
  busyWindow.ProcessPendingEvents();
  return {PatchProgramOutcome::kProgrammed, accepted};
}

}  // namespace corvid::device
