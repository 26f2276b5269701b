#include "macros/pc_macro_library.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "common/file_io.h"
#include "macros/conversion.h"
#include "shell/resources.h"

namespace corvid::macros {
namespace {

constexpr std::string_view kTemplateResource = "PCMacroData";
constexpr std::string_view kDataFolderName = "corvid88";

// Copies what `bytes` holds of one 272-byte slot image over `slot`; bytes the image lacks leave the
// slot's previous content.
void ReadSlotBytes(std::span<const std::uint8_t> bytes, PCMacroSlot& slot) {
  const std::size_t nameBytes = std::min(bytes.size(), kMacroNameFieldSize);
  std::copy_n(bytes.begin(), nameBytes, slot.name.begin());
  if (bytes.size() <= kMacroNameFieldSize) return;
  const std::size_t bodyBytes = std::min(bytes.size() - kMacroNameFieldSize, kMacroBodySize);
  std::copy_n(bytes.begin() + kMacroNameFieldSize, bodyBytes, slot.body.begin());
}

void AppendSlotBytes(const PCMacroSlot& slot, std::vector<std::uint8_t>& bytes) {
  bytes.insert(bytes.end(), slot.name.begin(), slot.name.end());
  bytes.insert(bytes.end(), slot.body.begin(), slot.body.end());
}

PCMacroResult Failed(PCMacroStatus status) {
  PCMacroResult result;
  result.status = status;
  return result;
}

PCMacroResult ReadFailed(std::string error) {
  PCMacroResult result = Failed(PCMacroStatus::kReadFailed);
  result.message = std::move(error);
  return result;
}

// Reads a library or import file; nothing with `error` set when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadMacroFile(const std::filesystem::path& path,
                                                       std::string& error) {
  // A folder opens like a file and fails only on reading; turn it away first.
  std::error_code statusError;
  if (std::filesystem::is_directory(path, statusError)) {
    error = path.string() + ": is a folder, not a file";
    return std::nullopt;
  }
  return common::ReadWholeFile(path, &error);
}

PCMacroResult WriteExport(const std::filesystem::path& chosen,
                          std::span<const std::uint8_t> bytes) {
  PCMacroResult result;
  result.file = WithBinExtension(chosen);
  const common::FileResult written = common::WriteFileAtomically(result.file, bytes);
  if (!written) {
    result.status = PCMacroStatus::kWriteFailed;
    result.message = written.error;
  }
  return result;
}

}  // namespace

PCMacroLibraryLocation LocatePCMacroLibrary(std::string_view pathSetting,
                                            const std::filesystem::path& explicitFile) {
  if (!explicitFile.empty()) return {explicitFile, {}};
  if (!pathSetting.empty()) {
    // A plain prefix, as layout files have always given it.
    return {std::filesystem::path(std::string(pathSetting) + std::string(kPCMacroFileName)), {}};
  }

  std::filesystem::path dataHome;
  const char* xdgDataHome = std::getenv("XDG_DATA_HOME");
  // A relative XDG_DATA_HOME is invalid and ignored.
  if (xdgDataHome != nullptr && std::filesystem::path(xdgDataHome).is_absolute()) {
    dataHome = xdgDataHome;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
      return {{}, "no folder for the macro library: neither XDG_DATA_HOME nor HOME is set"};
    }
    dataHome = std::filesystem::path(home) / ".local" / "share";
  }
  const std::filesystem::path folder = dataHome / kDataFolderName;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return {{}, folder.string() + ": cannot create the folder: " + error.message()};
  return {folder / kPCMacroFileName, {}};
}

std::filesystem::path WithBinExtension(const std::filesystem::path& chosen) {
  const std::string name = chosen.filename().string();
  std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : std::string();
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (tail == ".bin") return chosen;
  std::filesystem::path withExtension = chosen;
  withExtension += ".bin";
  return withExtension;
}

PcMacroLibrary::PcMacroLibrary(std::filesystem::path file) : file_(std::move(file)) {}

PCMacroFileRead PcMacroLibrary::ReadLibraryBytes(std::span<const std::uint8_t> bytes,
                                                 Slots& slots) {
  PCMacroFileRead read;
  read.fileSize = bytes.size();
  read.expectedSize = kPCMacroFileSize;
  const std::size_t taken = std::min(bytes.size(), kPCMacroFileSize);
  for (std::size_t i = 0; i * kPCMacroSlotSize < taken; ++i) {
    const std::size_t offset = i * kPCMacroSlotSize;
    ReadSlotBytes(bytes.subspan(offset, std::min(kPCMacroSlotSize, taken - offset)), slots[i]);
  }

  // The list shows used slots in order and item i must be slot i, so used slots after a free one
  // move down; a free slot keeps nothing, or a new macro there would inherit stray steps.
  Slots compacted{};
  std::size_t used = 0;
  for (std::size_t i = 0; i < kPCMacroSlotCount; ++i) {
    if (slots[i].IsFree()) {
      if (slots[i] != PCMacroSlot{}) ++read.freeSlotsCleared;
      continue;
    }
    if (i != used) ++read.slotsMoved;
    compacted[used++] = slots[i];
  }
  slots = compacted;
  return read;
}

PCMacroResult PcMacroLibrary::CheckPCMacro() {
  PCMacroResult result;
  result.file = file_;
  openedDamaged_.reset();
  damagedCopyPending_ = false;
  std::error_code existsError;
  const bool exists = std::filesystem::exists(file_, existsError);
  if (existsError) {
    result.status = PCMacroStatus::kReadFailed;
    result.message = file_.string() + ": " + existsError.message();
    return result;
  }
  if (exists) {
    std::string error;
    const std::optional<std::vector<std::uint8_t>> bytes = ReadMacroFile(file_, error);
    if (!bytes) {
      result.status = PCMacroStatus::kReadFailed;
      result.message = error;
      return result;
    }
    Slots loaded{};
    result.fileRead = ReadLibraryBytes(*bytes, loaded);
    slots_ = loaded;
    if (!result.fileRead->IsExact()) {
      openedDamaged_ = result.fileRead;
      damagedCopyPending_ = true;
    }
    return result;
  }

  Slots fromTemplate{};
  if (const auto templateBytes = shell::ResourceBytes(kTemplateResource)) {
    ReadLibraryBytes(*templateBytes, fromTemplate);
  }
  slots_ = fromTemplate;
  return RefreshPCMacro();
}

bool PcMacroLibrary::KeepDamagedCopy(PCMacroResult& result) {
  if (!damagedCopyPending_) return true;
  std::error_code error;
  if (!std::filesystem::exists(file_, error) && !error) {
    damagedCopyPending_ = false;  // gone meanwhile: nothing left to keep
    return true;
  }
  for (int attempt = 1; attempt <= 99; ++attempt) {
    std::filesystem::path copy = file_;
    copy += ".damaged";
    if (attempt > 1) copy += "." + std::to_string(attempt);
    // Never over an earlier copy: that one may hold what this one does not.
    if (std::filesystem::copy_file(file_, copy, std::filesystem::copy_options::none, error)) {
      damagedCopyPending_ = false;
      result.damagedCopy = copy;
      return true;
    }
    if (error != std::errc::file_exists) break;
  }
  result.status = PCMacroStatus::kWriteFailed;
  result.message = file_.string() + ": cannot keep a copy of the damaged library before " +
                   "rewriting it" + (error ? ": " + error.message() : std::string());
  return false;
}

PCMacroResult PcMacroLibrary::RefreshPCMacro() {
  PCMacroResult result;
  result.file = file_;
  if (!KeepDamagedCopy(result)) return result;
  const common::FileResult written = common::WriteFileAtomically(file_, ToBytes());
  if (!written) {
    result.status = PCMacroStatus::kWriteFailed;
    result.message = written.error;
  }
  return result;
}

void PcMacroLibrary::Save(PCMacroResult& result) {
  PCMacroResult saved = RefreshPCMacro();
  result.file = std::move(saved.file);
  result.damagedCopy = std::move(saved.damagedCopy);
  if (!saved.ok()) {
    result.status = saved.status;
    result.message = std::move(saved.message);
  }
}

std::vector<std::string> PcMacroLibrary::RefreshPCMacroName() const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < Count(); ++i) names.push_back(MacroNameFieldToName(slots_[i].name));
  return names;
}

std::size_t PcMacroLibrary::Count() const {
  const auto firstFree =
      std::find_if(slots_.begin(), slots_.end(), [](const PCMacroSlot& s) { return s.IsFree(); });
  return static_cast<std::size_t>(firstFree - slots_.begin());
}

std::optional<MacroNameField> PcMacroLibrary::CheckNewName(std::string_view name,
                                                           PCMacroResult& result) const {
  if (!IsStorableMacroNameText(name)) {
    result.status = PCMacroStatus::kNameNotText;
    return std::nullopt;
  }
  const std::optional<MacroNameField> field = NameToMacroNameField(name);
  if (!field) {
    result.status = PCMacroStatus::kNameTooLong;
    return std::nullopt;
  }
  // Also an empty name, or one that starts with a NUL character.
  if (IsEmptyMacroName(*field)) {
    result.status = PCMacroStatus::kIgnored;
    return std::nullopt;
  }
  // Compared as the list shows it, so a name is refused exactly when an item already reads the
  // same.
  const std::string shown = MacroNameFieldToName(*field);
  for (std::size_t i = 0; i < Count(); ++i) {
    if (MacroNameFieldToName(slots_[i].name) == shown) {
      result.status = PCMacroStatus::kDuplicateName;
      result.messageKey = kDuplicateMacroMessage;
      return std::nullopt;
    }
  }
  return field;
}

PCMacroResult PcMacroLibrary::ApplyMacroName(PendingMacroName& pending,
                                             std::optional<std::size_t> selected,
                                             std::string_view name) {
  if (name.empty() || pending == PendingMacroName::kNone) return Failed(PCMacroStatus::kIgnored);
  const PendingMacroName request = std::exchange(pending, PendingMacroName::kNone);
  if (request == PendingMacroName::kNew) return NewMacro(name);
  if (!selected) return Failed(PCMacroStatus::kNoSuchMacro);
  return RenameMacro(*selected, name);
}

PCMacroResult PcMacroLibrary::NewMacro(std::string_view name) {
  if (IsFull()) return Failed(PCMacroStatus::kLibraryFull);
  PCMacroResult result;
  const std::optional<MacroNameField> field = CheckNewName(name, result);
  if (!field) return result;
  const std::size_t index = Count();
  slots_[index] = PCMacroSlot{*field, MacroBody{}};
  result.selected = index;
  Save(result);
  return result;
}

PCMacroResult PcMacroLibrary::RenameMacro(std::size_t index, std::string_view name) {
  if (index >= Count()) return Failed(PCMacroStatus::kNoSuchMacro);
  PCMacroResult result;
  const std::optional<MacroNameField> field = CheckNewName(name, result);
  if (!field) return result;
  slots_[index].name = *field;
  result.selected = index;
  Save(result);
  return result;
}

PCMacroResult PcMacroLibrary::DeleteMacro(std::size_t index) {
  if (index >= Count()) return Failed(PCMacroStatus::kNoSuchMacro);
  std::move(slots_.begin() + static_cast<std::ptrdiff_t>(index) + 1, slots_.end(),
            slots_.begin() + static_cast<std::ptrdiff_t>(index));
  slots_.back() = PCMacroSlot{};
  PCMacroResult result;
  if (Count() > 0) result.selected = index == 0 ? 0 : index - 1;
  Save(result);
  return result;
}

PCMacroResult PcMacroLibrary::SetMacroBody(std::size_t index, const MacroBody& body) {
  if (index >= Count()) return Failed(PCMacroStatus::kNoSuchMacro);
  slots_[index].body = body;
  PCMacroResult result;
  Save(result);
  return result;
}

PCMacroResult PcMacroLibrary::ImportOne(const std::filesystem::path& file) {
  if (!CanImportOne()) return Failed(PCMacroStatus::kLibraryFull);
  PCMacroResult result;
  std::string error;
  const std::optional<std::vector<std::uint8_t>> bytes = ReadMacroFile(file, error);
  if (!bytes) return ReadFailed(std::move(error));
  const std::size_t index = Count();
  PCMacroSlot incoming = slots_[index];
  ReadSlotBytes(std::span(*bytes).first(std::min(bytes->size(), kPCMacroSlotSize)), incoming);
  result.fileRead = PCMacroFileRead{.fileSize = bytes->size(), .expectedSize = kPCMacroSlotSize};

  // A free name field would add an item that the library itself counts as free.
  if (incoming.IsFree()) {
    result.status = PCMacroStatus::kNoMacroInFile;
    return result;
  }
  for (std::size_t i = 0; i < index; ++i) {
    if (slots_[i].name == incoming.name) {
      result.status = PCMacroStatus::kDuplicateName;
      result.messageKey = kDuplicateMacroMessage;
      return result;
    }
  }
  slots_[index] = incoming;
  result.selected = index;
  Save(result);
  return result;
}

PCMacroResult PcMacroLibrary::ImportAll(const std::filesystem::path& file) {
  PCMacroResult result;
  std::string error;
  const std::optional<std::vector<std::uint8_t>> bytes = ReadMacroFile(file, error);
  if (!bytes) return ReadFailed(std::move(error));
  // A short file leaves the slots it does not reach as they were.
  Slots merged = slots_;
  result.fileRead = ReadLibraryBytes(*bytes, merged);
  slots_ = merged;
  Save(result);
  return result;
}

PCMacroResult PcMacroLibrary::ExportOne(std::size_t index,
                                        const std::filesystem::path& chosen) const {
  if (index >= Count()) return Failed(PCMacroStatus::kNoSuchMacro);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kPCMacroSlotSize);
  AppendSlotBytes(slots_[index], bytes);
  return WriteExport(chosen, bytes);
}

PCMacroResult PcMacroLibrary::ExportAll(const std::filesystem::path& chosen) const {
  return WriteExport(chosen, ToBytes());
}

std::optional<PCMacroView> PcMacroLibrary::ShowMacro(std::size_t index) const {
  if (index >= Count()) return std::nullopt;
  const MacroBody& body = slots_[index].body;
  const std::size_t length = FindTerminatorOffset(body) + 1;
  if (length <= 1) return std::nullopt;
  // A body without three closing zeros in its slot runs to the slot's end.
  const std::size_t shown = std::min(length, body.size());
  PCMacroView view;
  view.bodyLength = length;
  view.hexText = BytesToHexText(std::span(body).first(shown));
  view.decoded = MacroToMemo(body, length - 1);
  return view;
}

std::vector<std::uint8_t> PcMacroLibrary::ToBytes() const {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kPCMacroFileSize);
  for (const PCMacroSlot& slot : slots_) AppendSlotBytes(slot, bytes);
  return bytes;
}

}  // namespace corvid::macros
