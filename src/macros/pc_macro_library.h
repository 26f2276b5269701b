#pragma once

// The PC macro library: up to 100 named macros kept on the PC in one file, "Corvid88-Macro.bin",
// which is rewritten whole after every change. Macros are recorded and edited only here and copied
// into the mouse from here.
//
// File format (the library file and a whole-library export), 27,200 bytes, no header:
//   272 * i       16 bytes   name field of slot i (i = 0..99)
//   272 * i + 16  256 bytes  body slot of slot i
// A single-macro export is 272 bytes: one name field and one body slot.
//
// A slot whose name field starts with two 0x00 bytes is free. Used slots are kept contiguous from
// slot 0, so item i of the library list is slot i.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "macros/macro_name_field.h"
#include "macros/step_codec.h"

namespace corvid::macros {

inline constexpr std::size_t kPCMacroSlotCount = 100;
inline constexpr std::size_t kPCMacroSlotSize = kMacroNameFieldSize + kMacroBodySize;  // 272
inline constexpr std::size_t kPCMacroFileSize = kPCMacroSlotCount * kPCMacroSlotSize;  // 27,200
inline constexpr std::string_view kPCMacroFileName = "Corvid88-Macro.bin";
// Import One takes a macro only while the library holds fewer than this many.
inline constexpr std::size_t kPCMacroImportOneLimit = 99;
// Language key of "This macro already exists".
inline constexpr std::string_view kDuplicateMacroMessage = "Str106";

struct PCMacroSlot {
  MacroNameField name{};
  MacroBody body{};

  bool IsFree() const { return IsEmptyMacroName(name); }
  bool operator==(const PCMacroSlot&) const = default;
};

// Where the library file lives ------------------------------------------------------------------

struct PCMacroLibraryLocation {
  std::filesystem::path file;  // empty when no location could be found
  std::string error;           // why not; empty on success

  bool ok() const { return error.empty(); }
};

// The library file: `explicitFile` when given (the command line's --library FILE); otherwise the
// product setting Path (`pathSetting`) followed by the file name, Path being a plain prefix that
// ends in a separator;
// otherwise "corvid88/" in the user's data folder ($XDG_DATA_HOME, else ~/.local/share), created
// when missing, as the program's own folder is not writable once installed.
PCMacroLibraryLocation LocatePCMacroLibrary(std::string_view pathSetting,
                                            const std::filesystem::path& explicitFile = {});

// A name chosen for an export, with ".bin" appended unless it already ends in ".bin" (any case).
std::filesystem::path WithBinExtension(const std::filesystem::path& chosen);

// Results ---------------------------------------------------------------------------------------

enum class PCMacroStatus {
  kDone,
  kIgnored,        // nothing to do: an empty name, or no name request pending
  kDuplicateName,  // messageKey "Str106"; the library is unchanged
  kLibraryFull,    // New with 100 macros, Import One with 99 or more: nothing happens
  kNameTooLong,    // the name needs more than 8 UTF-16 code units
  kNameNotText,    // the name is not well-formed UTF-8, or holds a NUL character
  kNoSuchMacro,    // the index is not an item of the list
  kNoMacroInFile,  // Import One of a file whose name field is free
  kReadFailed,     // message says why; the library is unchanged
  kWriteFailed,    // message says why; a change stays in memory, the old file stays intact
};

// How a file that was read differed from its format.
struct PCMacroFileRead {
  std::size_t fileSize = 0;
  std::size_t expectedSize = 0;
  // Used slots moved down to close gaps between them (a foreign or damaged library).
  std::size_t slotsMoved = 0;
  // Free slots whose leftover bytes were dropped.
  std::size_t freeSlotsCleared = 0;

  // Shorter than the format: only the bytes it held were read, at their offsets; the rest of the
  // slots kept what they held before. The caller should warn before the next save overwrites it.
  bool IsShort() const { return fileSize < expectedSize; }
  // Longer than the format: the bytes past it were ignored.
  bool IsLong() const { return fileSize > expectedSize; }
  bool IsExact() const {
    return fileSize == expectedSize && slotsMoved == 0 && freeSlotsCleared == 0;
  }
};

struct PCMacroResult {
  PCMacroStatus status = PCMacroStatus::kDone;
  // Language key of the message the caller shows ("Str106"); empty when there is none.
  std::string messageKey;
  // The text for the user where no language key says it: the system's description of a file
  // that could not be read or written.
  std::string message;
  // Set when a file was read.
  std::optional<PCMacroFileRead> fileRead;
  // The list item to select afterwards, when the command selects one.
  std::optional<std::size_t> selected;
  // The file an export or a save wrote (or tried to write).
  std::filesystem::path file;
  // Set by the save that first rewrote a library file that was damaged when it was opened: where
  // the copy of that file was kept.
  std::filesystem::path damagedCopy;

  bool ok() const { return status == PCMacroStatus::kDone; }
};

// A library macro as the step list shows it.
struct PCMacroView {
  // Body length with its terminator, found by the three-zero rule; 257 for a slot that holds no
  // terminator at all.
  std::size_t bodyLength = 0;
  // The hex text of those bytes.
  std::string hexText;
  DecodedMacro decoded;
};

// Which command the name dialog was opened for. New and Rename each set it to their own request,
// replacing one left by a dialog closed without a name, so a cancelled rename never renames a macro
// when a later New is confirmed.
enum class PendingMacroName { kNone, kNew, kRename };

// The library -----------------------------------------------------------------------------------

class PcMacroLibrary {
 public:
  explicit PcMacroLibrary(std::filesystem::path file);

  const std::filesystem::path& File() const { return file_; }

  // Start-up: loads the library file, or, when there is none, fills the library from the built-in
  // template and creates the file.
  PCMacroResult CheckPCMacro();
  // Saves the whole library to its file, atomically. When the file was damaged as opened, it is
  // first copied beside itself ("Corvid88-Macro.bin.damaged", or ".damaged.2" and on when that
  // name is taken); if that copy cannot be made, nothing is written.
  PCMacroResult RefreshPCMacro();
  // How the file opened by the last CheckPCMacro differed from its format (a wrong size, gaps or
  // stray bytes), for the front ends to warn about; nothing when it was exact or newly created.
  const std::optional<PCMacroFileRead>& OpenedDamaged() const { return openedDamaged_; }
  // The names of the list, item i being slot i.
  std::vector<std::string> RefreshPCMacroName() const;

  std::size_t Count() const;
  // New is refused at 100 macros.
  bool IsFull() const { return Count() >= kPCMacroSlotCount; }
  // Import One is refused at 99 macros or more.
  bool CanImportOne() const { return Count() < kPCMacroImportOneLimit; }
  const PCMacroSlot& Slot(std::size_t index) const { return slots_.at(index); }

  // The name dialog's confirm: completes the pending request with `name` and clears it. An empty
  // name does nothing and keeps the request pending. A rename applies to `selected`.
  PCMacroResult ApplyMacroName(PendingMacroName& pending, std::optional<std::size_t> selected,
                               std::string_view name);

  // Appends an empty macro under `name` and selects it.
  PCMacroResult NewMacro(std::string_view name);
  // Renames item `index`; a name equal to any item, its own included, is refused.
  PCMacroResult RenameMacro(std::size_t index, std::string_view name);
  // Removes item `index`, moving the later macros down; selects the item before it (item 0 when it
  // was the first) while any remain.
  PCMacroResult DeleteMacro(std::size_t index);
  // Replaces the steps of item `index` (the recorder and the editor) and saves.
  PCMacroResult SetMacroBody(std::size_t index, const MacroBody& body);

  // Appends the macro of a single-macro file and selects it, unless its name field equals that of a
  // macro already in the library.
  PCMacroResult ImportOne(const std::filesystem::path& file);
  // Replaces the whole library with a library file.
  PCMacroResult ImportAll(const std::filesystem::path& file);
  // Writes item `index` as a single-macro file; ".bin" is appended to `chosen` when missing.
  PCMacroResult ExportOne(std::size_t index, const std::filesystem::path& chosen) const;
  // Writes the whole library in library format; ".bin" is appended to `chosen` when missing.
  PCMacroResult ExportAll(const std::filesystem::path& chosen) const;

  // Item `index` as the step list shows it; nothing when it is not an item or holds no steps.
  std::optional<PCMacroView> ShowMacro(std::size_t index) const;

  // The library in file format.
  std::vector<std::uint8_t> ToBytes() const;

 private:
  using Slots = std::array<PCMacroSlot, kPCMacroSlotCount>;

  // Reads `bytes` over `slots` at their offsets as far as they go, then closes gaps.
  static PCMacroFileRead ReadLibraryBytes(std::span<const std::uint8_t> bytes, Slots& slots);
  // Saves after a change; a failed save turns `result` into kWriteFailed.
  void Save(PCMacroResult& result);
  // Name field of `name`, or the status that refuses it.
  std::optional<MacroNameField> CheckNewName(std::string_view name, PCMacroResult& result) const;

  // Copies the damaged file aside before its first rewrite; false when the copy failed.
  bool KeepDamagedCopy(PCMacroResult& result);

  std::filesystem::path file_;
  Slots slots_{};
  std::optional<PCMacroFileRead> openedDamaged_;
  bool damagedCopyPending_ = false;
};

}  // namespace corvid::macros
