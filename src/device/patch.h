#pragma once

// The firmware patch of mice whose controller and macro memory are both Flash: 1024 bytes of code
// taken from a BIN file, programmed into the mouse's memory with a 16-byte header that tells the
// firmware where the code lies and carries its checksum.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/busy_window.h"
#include "device/discovery.h"
#include "device/memory_layout.h"
#include "device/protocol.h"

namespace corvid::device {

inline constexpr std::size_t kPatchCodeSize = 0x400;
inline constexpr std::size_t kPatchHeaderSize = 16;
// Where the code lies in a BIN file.
inline constexpr std::uint64_t kPatchCodeFileOffset = 0x8000;
// Where code and header go in the mouse's memory.
inline constexpr std::uint16_t kPatchCodeAddress = 0xC000;
inline constexpr std::uint16_t kPatchHeaderAddress = 0x1000;

// Language key of the message for a BIN file that does not hold the whole patch code.
inline constexpr std::string_view kPatchFileTooShortKey = "Str443";

using PatchCodeBytes = std::array<std::uint8_t, kPatchCodeSize>;
using PatchHeaderBytes = std::array<std::uint8_t, kPatchHeaderSize>;

// The 16-bit sum of the code bytes (wrapping), XOR 0x015A.
std::uint16_t PatchChecksum(std::span<const std::uint8_t, kPatchCodeSize> code);

// Bytes 0..7 zero, 8..9 the code address, 10..11 the code length, 12..13 0x00 0x1A, 14..15 the
// checksum; every number high byte first.
PatchHeaderBytes BuildPatchHeader(std::span<const std::uint8_t, kPatchCodeSize> code);

// The state of the firmware update page.
struct FirmwarePatch {
  PatchCodeBytes PatchCode{};
  // A BIN file has been read since the page was last entered.
  bool BinLoaded = false;
  PatchHeaderBytes PatchHeader{};

  // Entering the page forgets the file chosen before; the code itself is kept.
  void EnterPage() { BinLoaded = false; }
  // Builds PatchHeader from PatchCode.
  void CheckPatchCodeSection() { PatchHeader = BuildPatchHeader(PatchCode); }
};

enum class PatchLoadOutcome {
  kLoaded,
  kTooShort,    // the file ends before the whole code: messageKey says so
  kUnreadable,  // the file could not be opened or read: message says why
};

struct PatchLoadResult {
  PatchLoadOutcome outcome = PatchLoadOutcome::kUnreadable;
  std::string_view messageKey;  // kPatchFileTooShortKey for a short file, else empty
  std::string message;          // the reason an unreadable file gave, else empty

  explicit operator bool() const { return outcome == PatchLoadOutcome::kLoaded; }
};

// Takes the 1024 code bytes at offset 0x8000 of a BIN file and sets BinLoaded. A file that does not
// hold them all, or that cannot be read, is refused: PatchCode keeps its content and BinLoaded is
// cleared, since the page now names a file whose code was not taken and must not program the
// code of an earlier one.
PatchLoadResult LoadPatchBin(std::span<const std::uint8_t> file, FirmwarePatch& patch);
PatchLoadResult LoadPatchBin(const std::filesystem::path& path, FirmwarePatch& patch);

enum class PatchProgramOutcome {
  kProgrammed,     // both writes were sent; see `accepted`
  kNoMouse,        // a handle is not open: nothing sent
  kNoBinLoaded,    // no BIN read since the page was entered: nothing sent
  kNotFlashFlash,  // the mouse does not keep its code and macros in Flash: nothing sent
};

struct PatchProgramResult {
  PatchProgramOutcome outcome = PatchProgramOutcome::kNoMouse;
  bool accepted = false;  // every command was accepted (failures are otherwise not reported)

  explicit operator bool() const { return outcome == PatchProgramOutcome::kProgrammed; }
};

// Builds the header and writes the code to 0xC000, then the header to 0x1000, inside the busy
// window, which is hidden again at the end. Restarting the mouse and finding it again are the
// caller's.
PatchProgramResult ProgramPatch(Protocol& protocol, const DeviceLink& link,
                                std::optional<MemoryLayout> layout, FirmwarePatch& patch,
                                BusyWindow& busyWindow);

}  // namespace corvid::device
