// Writes that fail part-way, for every file the tool writes: the file size limit runs out, the
// folder is read-only, the disk is full. The old file must stay byte for byte as it was, nothing
// may be left beside it, and the writer must say that it failed.
//
// Each case runs in a child process: the size limit and the mounts (a small tmpfs, remounted
// read-only or filled up, in a mount namespace of the child's own) must not touch the test runner.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "device/clock.h"
#include "macros/device_macros.h"
#include "macros/pc_macro_library.h"
#include "model/data_buf.h"
#include "model/device_image.h"
#include "model/profile_file.h"
#include "session/device_macro_operations.h"
#include "sim/stand_in_mouse.h"
#include "sim/state_file.h"
#include "support/scratch_folder.h"

namespace corvid {
namespace {

namespace fs = std::filesystem;
using device::MemoryLayout;

// What a writer reports: whether it wrote, and why not.
struct WriteOutcome {
  bool ok = false;
  std::string error;
};

struct Writer {
  const char* name;
  const char* fileName;
  std::function<WriteOutcome(const fs::path&)> write;
  // The old file is one the writer made itself (it reads it back first); otherwise any bytes.
  bool writesTheOldFile = false;
};

const std::vector<Writer>& Writers() {
  static const std::vector<Writer> writers = {
      {"PC macro library", "Corvid88-Macro.bin",
       [](const fs::path& file) {
         // The library as it was opened: the built-in template, written before the fault.
         macros::PcMacroLibrary library(file);
         const macros::PCMacroResult opened = library.CheckPCMacro();
         if (!opened.ok()) return WriteOutcome{false, {}};
         const macros::PCMacroResult saved = library.RefreshPCMacro();
         return WriteOutcome{saved.ok(), saved.message};
       },
       true},
      {"profile", "profile.bin",
       [](const fs::path& file) {
         model::DataBuf dataBuf;
         model::DeviceImage image;
         const model::ProfileSaveResult saved =
             model::SaveProfileFile(file, dataBuf, MemoryLayout::LayoutFlashFlash, image);
         return WriteOutcome{saved.ok, saved.message};
       }},
      {"device macro export", "macros.bin",
       [](const fs::path& file) {
         model::DeviceImage image;
         macros::DeviceMacros deviceMacros(image);
         deviceMacros.Refresh(MemoryLayout::LayoutFlashFlash);
         const session::DeviceMacroExport exported =
             session::ExportDeviceMacros(deviceMacros, file);
         return WriteOutcome{exported.ok, exported.message};
       }},
      {"stand-in mouse state", "mouse.state",
       [](const fs::path& file) {
         device::FakeClock clock;
         const sim::StandInMouse mouse({}, clock);
         const common::FileResult saved = sim::SaveState(mouse, file);
         return WriteOutcome{saved.ok, saved.error};
       }},
  };
  return writers;
}

enum class Fault { kFileSizeLimit, kReadOnlyFolder, kFullDisk };

// Exit codes of the child.
enum : int {
  kPassed = 0,
  kReportedSuccess = 2,
  kNoReason = 3,
  kOldFileChanged = 4,
  kLeftovers = 5,
  kSetupFailed = 6,
  kCannotMount = 7,
};

const std::vector<std::uint8_t> kOldBytes(3000, 0xA5);

bool MountScratch(const fs::path& folder, const char* size) {
  if (::unshare(CLONE_NEWNS) != 0) return false;
  if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  const std::string options = std::string("size=") + size;
  return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// Fills the file system until not one more byte fits.
bool FillUp(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const std::vector<char> chunk(4096, 'x');
  for (;;) {
    const ssize_t written = ::write(fd, chunk.data(), chunk.size());
    if (written <= 0) break;
  }
  for (;;) {
    if (::write(fd, chunk.data(), 1) <= 0) break;
  }
  ::close(fd);
  return errno == ENOSPC;
}

[[noreturn]] void RunChild(const Writer& writer, Fault fault, const fs::path& folder) {
  const fs::path file = folder / writer.fileName;
  if (fault != Fault::kFileSizeLimit && !MountScratch(folder, "256k")) ::_exit(kCannotMount);
  if (writer.writesTheOldFile ? !writer.write(file).ok
                              : !common::WriteFileAtomically(file, kOldBytes)) {
    ::_exit(kSetupFailed);
  }
  const std::optional<std::vector<std::uint8_t>> oldBytes = common::ReadWholeFile(file);
  if (!oldBytes) ::_exit(kSetupFailed);
  std::vector<fs::path> expected = {file};
  switch (fault) {
    case Fault::kFileSizeLimit: {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit = {100, 100};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(kSetupFailed);
      break;
    }
    case Fault::kReadOnlyFolder:
      if (::mount("tmpfs", folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        ::_exit(kSetupFailed);
      }
      break;
    case Fault::kFullDisk:
      expected.push_back(folder / "filler");
      if (!FillUp(folder / "filler")) ::_exit(kSetupFailed);
      break;
  }

  const WriteOutcome outcome = writer.write(file);
  if (outcome.ok) ::_exit(kReportedSuccess);
  if (outcome.error.empty()) ::_exit(kNoReason);
  if (common::ReadWholeFile(file) != oldBytes) ::_exit(kOldFileChanged);
  std::vector<fs::path> present;
  for (const auto& entry : fs::directory_iterator(folder)) present.push_back(entry.path());
  std::ranges::sort(present);
  std::ranges::sort(expected);
  if (present != expected) ::_exit(kLeftovers);
  ::_exit(kPassed);
}

struct Case {
  const char* name;
  Fault fault;
};

class FileWriteFaultTest : public ::testing::TestWithParam<Case> {};

TEST_P(FileWriteFaultTest, LeavesTheOldFileAndSaysSo) {
  const Case& c = GetParam();
  for (const Writer& writer : Writers()) {
    SCOPED_TRACE(writer.name);
    testing_support::ScratchFolder scratch;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) RunChild(writer, c.fault, scratch.Path());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the writer died of signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == kCannotMount) {
      GTEST_SKIP() << "cannot mount a tmpfs here (needs root and a mount namespace)";
    }
    EXPECT_EQ(WEXITSTATUS(status), kPassed)
        << "2: reported success; 3: no reason given; 4: the old file changed; 5: files left "
           "beside it; 6: the fault could not be set up";
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FileWriteFaultTest,
                         ::testing::Values(Case{"FileSizeLimit", Fault::kFileSizeLimit},
                                           Case{"ReadOnlyFolder", Fault::kReadOnlyFolder},
                                           Case{"FullDisk", Fault::kFullDisk}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvid
