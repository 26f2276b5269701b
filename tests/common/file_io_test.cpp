#include "common/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/scratch_folder.h"

namespace corvid::common {
namespace {

class FileIoTest : public ::testing::Test {
 protected:
  testing_support::ScratchFolder scratch;
  const std::filesystem::path folder = scratch.Path();
};

TEST_F(FileIoTest, AReplacedFileHoldsTheNewBytesAndItsPermissionsAndNoTemporaryIsLeft) {
  const auto path = folder / "library.bin";
  const std::vector<std::uint8_t> first(1000, 0x11);
  const std::vector<std::uint8_t> second = {1, 2, 3};
  ASSERT_TRUE(WriteFileAtomically(path, first));
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ASSERT_TRUE(WriteFileAtomically(path, second));

  EXPECT_EQ(ReadWholeFile(path), second);
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

// Temporaries of an earlier write that was killed before its rename are ours to remove; files that
// only look alike, and a temporary another writer may still be filling, are left alone.
TEST_F(FileIoTest, StaleTemporariesOfTheWriterAreRemovedOnTheNextWrite) {
  namespace fs = std::filesystem;
  const auto make = [&](const std::string& name, bool old) {
    std::ofstream(folder / name) << "half a file";
    if (old)
      fs::last_write_time(folder / name, fs::file_time_type::clock::now() - std::chrono::hours(1));
  };
  make(".lib.bin.a1B2c3", true);
  make(".lib.bin.Zz9Yy8", true);
  make(".lib.bin.fresh1", false);   // a write in progress
  make(".lib.bin.long123", true);   // not our pattern
  make(".other.bin.a1B2c3", true);  // another file's
  make("lib.bin.a1B2c3", true);
  const std::uint8_t bytes[] = {7};
  ASSERT_TRUE(WriteFileAtomically(folder / "lib.bin", bytes));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".lib.bin.fresh1", ".lib.bin.long123",
                                            ".other.bin.a1B2c3", "lib.bin", "lib.bin.a1B2c3"}));
}

TEST_F(FileIoTest, FailuresSayWhyAndLeaveTheOldFile) {
  std::string error;
  EXPECT_FALSE(ReadWholeFile(folder / "missing.bin", &error).has_value());
  EXPECT_NE(error.find("missing.bin"), std::string::npos);
  EXPECT_FALSE(ReadWholeFile(folder, &error).has_value());  // a folder is not a file
  EXPECT_NE(error.find("cannot read"), std::string::npos);

  const FileResult written = WriteFileAtomically(folder / "no" / "such" / "dir.bin", {});
  EXPECT_FALSE(written);
  EXPECT_NE(written.error.find("temporary"), std::string::npos);

  // A folder where the file should be cannot be replaced; nothing else is left behind.
  std::filesystem::create_directories(folder / "taken.bin");
  const std::uint8_t bytes[] = {1};
  EXPECT_FALSE(WriteFileAtomically(folder / "taken.bin", bytes));
  EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.bin"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

}  // namespace
}  // namespace corvid::common
