#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvid::common {

struct FileResult {
  bool ok = false;
  std::string error;  // what went wrong, for the user; empty on success

  explicit operator bool() const { return ok; }
};

// Writes the whole file to a temporary file in the same folder, flushes it to disk and renames it
// over the old one, so a crash or a full disk never leaves half a file behind.
FileResult WriteFileAtomically(const std::filesystem::path& path,
                               std::span<const std::uint8_t> bytes);

// Reads a whole file; on failure `error` says why.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::string* error = nullptr);

}  // namespace corvid::common
