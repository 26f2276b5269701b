#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace corvid::common {
namespace {

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

}  // namespace

FileResult WriteFileAtomically(const std::filesystem::path& path,
                               std::span<const std::uint8_t> bytes) {
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::string name = ".";
  name.append(path.filename().string()).append(".XXXXXX");
  std::string pattern = (folder / name).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return {false, Describe(path, "cannot create a temporary file", errno)};

  // Keep the permissions of the file being replaced; a new file gets the usual 0644 less umask.
  struct stat existing = {};
  if (::stat(path.c_str(), &existing) == 0) {
    ::fchmod(fd, existing.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }

  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int writeError = errno;
  if (::close(fd) != 0 || !written) {
    ::unlink(pattern.c_str());
    return {false, Describe(path, "cannot write", written ? errno : writeError)};
  }
  if (::rename(pattern.c_str(), path.c_str()) != 0) {
    const int renameError = errno;
    ::unlink(pattern.c_str());
    return {false, Describe(path, "cannot replace", renameError)};
  }
  return {true, {}};
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
