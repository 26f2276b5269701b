#include "common/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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
