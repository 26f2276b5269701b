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
// over the old one, so a crash or a full disk never leaves half a file behind. The temporary has
// no name while it is written where the file system allows it, so a write killed halfway leaves
// nothing; otherwise it is ".NAME.XXXXXX", and such leftovers of earlier writes (untouched for
// ten minutes) are removed by the next write of the same file.
FileResult WriteFileAtomically(const std::filesystem::path& path,
                               std::span<const std::uint8_t> bytes);

// Reads a whole file; on failure `error` says why.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::string* error = nullptr);

// Reads at most `limit` bytes from `offset` on, fewer where the file ends first (none when it ends
// before `offset`): for files of which only a part is wanted, however large they are.
std::optional<std::vector<std::uint8_t>> ReadFileRange(const std::filesystem::path& path,
                                                       std::uint64_t offset, std::size_t limit,
                                                       std::string* error = nullptr);

}  // namespace corvid::common
