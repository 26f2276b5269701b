#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>
#include <random>
#include <string_view>

namespace corvid::common {
namespace {

constexpr std::size_t kTemporarySuffixLength = 6;
constexpr auto kStaleTemporaryAge = std::chrono::minutes(10);

std::string Describe(const std::filesystem::path& path, const char* what, int error) {
  // Appended piece by piece: GCC 12 warns falsely about chained concatenation at -O3.
  std::string text = path.string();
  text.append(": ").append(what).append(": ").append(std::strerror(error));
  return text;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Temporaries are named ".NAME.XXXXXX" beside the file they replace.
std::string TemporaryPrefix(const std::filesystem::path& path) {
  std::string prefix = ".";
  prefix.append(path.filename().string()).append(".");
  return prefix;
}

bool IsTemporaryName(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + kTemporarySuffixLength || !name.starts_with(prefix)) {
    return false;
  }
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes the temporaries an earlier write of `path` left when it was killed between naming its
// file and the rename. One written to in the last minutes may belong to a write still running.
void RemoveStaleTemporaries(const std::filesystem::path& folder,
                            const std::filesystem::path& path) {
  const std::string prefix = TemporaryPrefix(path);
  const auto now = std::filesystem::file_time_type::clock::now();
  std::error_code error;
  for (auto it = std::filesystem::directory_iterator(folder, error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    if (!IsTemporaryName(it->path().filename().string(), prefix)) continue;
    std::error_code entryError;
    if (it->is_symlink(entryError) || !it->is_regular_file(entryError)) continue;
    const auto written = std::filesystem::last_write_time(it->path(), entryError);
    if (entryError || now - written < kStaleTemporaryAge) continue;
    std::filesystem::remove(it->path(), entryError);
  }
}

// Keeps the permissions of the file being replaced; a new file gets the usual 0666 less umask.
void TakePermissions(int fd, const std::filesystem::path& path) {
  struct stat existing = {};
  if (::stat(path.c_str(), &existing) == 0) {
    ::fchmod(fd, existing.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
}

std::string RandomSuffix() {
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string suffix;
  for (std::size_t i = 0; i < kTemporarySuffixLength; ++i) suffix += kLetters[pick(random)];
  return suffix;
}

FileResult RenameOver(const std::string& temporary, const std::filesystem::path& path) {
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int renameError = errno;
    ::unlink(temporary.c_str());
    return {false, Describe(path, "cannot replace", renameError)};
  }
  return {true, {}};
}

// Writes into a file with no name, so that a write killed halfway leaves nothing behind, then
// names it beside the target and renames it over. Nothing when the file system has no unnamed
// files (or /proc is missing): the caller falls back to a named temporary.
std::optional<FileResult> WriteThroughUnnamedFile(const std::filesystem::path& folder,
                                                  const std::filesystem::path& path,
                                                  std::span<const std::uint8_t> bytes) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) return std::nullopt;
  TakePermissions(fd, path);
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (!written) {
    const int writeError = errno;
    ::close(fd);
    return FileResult{false, Describe(path, "cannot write", writeError)};
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  const std::string prefix = (folder / TemporaryPrefix(path)).string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string temporary = prefix + RandomSuffix();
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      ::close(fd);
      return RenameOver(temporary, path);
    }
    if (errno != EEXIST) break;
  }
  ::close(fd);
  return std::nullopt;
}

FileResult WriteThroughNamedFile(const std::filesystem::path& folder,
                                 const std::filesystem::path& path,
                                 std::span<const std::uint8_t> bytes) {
  std::string pattern = (folder / TemporaryPrefix(path)).string() + "XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return {false, Describe(path, "cannot create a temporary file", errno)};
  TakePermissions(fd, path);
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int writeError = errno;
  if (::close(fd) != 0 || !written) {
    ::unlink(pattern.c_str());
    return {false, Describe(path, "cannot write", written ? errno : writeError)};
  }
  return RenameOver(pattern, path);
}

}  // namespace

FileResult WriteFileAtomically(const std::filesystem::path& path,
                               std::span<const std::uint8_t> bytes) {
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  RemoveStaleTemporaries(folder, path);
  if (std::optional<FileResult> written = WriteThroughUnnamedFile(folder, path, bytes)) {
    return *written;
  }
  return WriteThroughNamedFile(folder, path, bytes);
}

std::optional<std::vector<std::uint8_t>> ReadFileRange(const std::filesystem::path& path,
                                                       std::uint64_t offset, std::size_t limit,
                                                       std::string* error) {
  const auto fail = [&](const char* what, int code) -> std::optional<std::vector<std::uint8_t>> {
    if (error != nullptr) *error = Describe(path, what, code);
    return std::nullopt;
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail("cannot open", errno);
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  while (bytes.size() < limit) {
    const std::size_t wanted = std::min(sizeof chunk, limit - bytes.size());
    const ssize_t got = ::pread(fd, chunk, wanted, static_cast<off_t>(offset + bytes.size()));
    if (got < 0) {
      if (errno == EINTR) continue;
      const int readError = errno;  // a folder fails here with EISDIR
      ::close(fd);
      return fail("cannot read", readError);
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  ::close(fd);
  return bytes;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path,
                                                       std::string* error) {
  return ReadFileRange(path, 0, std::numeric_limits<std::size_t>::max(), error);
}

}  // namespace corvid::common
