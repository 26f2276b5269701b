#pragma once

// Profile files: the whole configuration of a mouse as a flat image of its memory, in the
// arrangement of the built-in default image. The head (both sections, the identity bytes and five
// 0xFF bytes) is followed by the macro memory of the mouse's layout:
//
//   0     104   parameter section (byte 0 the storage marker, byte 103 its checksum)
//   104   145   profile section (file byte 248 its checksum)
//   249   2     identity bytes
//   251   5     0xFF
//   256   512   EEPROM layouts: the macro area; Flash/Flash: the macro name table
//   768   8192  Flash/Flash only: the 32 macro bodies, 256 bytes each
//
// A mouse whose layout is unknown gives the head alone.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/memory_layout.h"
#include "model/data_buf.h"
#include "model/device_image.h"

namespace corvid::model {

inline constexpr std::size_t kProfileHeadSize = 256;
inline constexpr std::size_t kProfileMacroAreaOffset = 256;
inline constexpr std::size_t kProfileFlashBodiesOffset = 768;
inline constexpr std::size_t kProfileFileSizeEeprom = 768;
inline constexpr std::size_t kProfileFileSizeFlashFlash = 8960;
// Both sections and the identity bytes: what a file must hold at least.
inline constexpr std::size_t kProfileTakenHeadSize = 251;

// The one message of a refused load; it is fixed English text, not a language text.
inline constexpr std::string_view kProfileLoadError = "Loading .bin is error!";

// 768 for the EEPROM layouts, 8960 for Flash/Flash, 256 when the layout is unknown.
std::size_t ProfileFileSize(std::optional<device::MemoryLayout> layout);

// The bytes of a profile file, taken from the device mirror as it stands.
std::vector<std::uint8_t> EncodeProfileFile(const DeviceImage& image,
                                            std::optional<device::MemoryLayout> layout);

// The name a profile is saved under: ".bin" is appended unless the name already ends in ".bin"
// (in any letter case).
std::filesystem::path ProfileFilePath(const std::filesystem::path& chosen);

struct ProfileSaveResult {
  bool ok = false;
  std::filesystem::path path;  // the file written, or that could not be written
  std::string message;         // why it could not be written; empty on success

  explicit operator bool() const { return ok; }
};

// Saves the working image as a profile of a mouse with this layout: marks it with the layout's
// macro storage (kept as it is when the layout is unknown), seals both checksums, mirrors both
// sections into the device image and writes the file atomically. When the file cannot be written,
// the working image and the mirror stay as they were. Nothing is sent to the mouse.
ProfileSaveResult SaveProfileFile(const std::filesystem::path& chosen, DataBuf& dataBuf,
                                  std::optional<device::MemoryLayout> layout,
                                  DeviceImage& deviceImage);

enum class ProfileLoadOutcome {
  kLoaded,
  kWrongMarker,  // byte 0 is not the marker of the mouse's macro storage
  kTooShort,     // the file lacks part of what the layout takes
  kUnreadable,   // the file could not be read (path loads only)
};

struct ProfileLoadResult {
  ProfileLoadOutcome outcome = ProfileLoadOutcome::kUnreadable;
  // For the user: kProfileLoadError when the file was refused, the reason when it was unreadable.
  std::string message;

  explicit operator bool() const { return outcome == ProfileLoadOutcome::kLoaded; }
};

// Takes a profile file into the device mirror, unchanged (its checksums are neither checked nor
// corrected): both sections and the identity bytes, then the macro memory of the layout. The file
// must carry the storage marker of the mouse's layout (any marker when the layout is unknown) and
// every area the layout takes; otherwise nothing changes. Larger files give their leading bytes.
// Re-parsing the macros, refreshing the pages and writing the mirror into the mouse are the
// caller's.
ProfileLoadResult LoadProfileFile(std::span<const std::uint8_t> file,
                                  std::optional<device::MemoryLayout> layout,
                                  DeviceImage& deviceImage);
ProfileLoadResult LoadProfileFile(const std::filesystem::path& path,
                                  std::optional<device::MemoryLayout> layout,
                                  DeviceImage& deviceImage);

}  // namespace corvid::model
