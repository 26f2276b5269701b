#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace corvid::testing_support {

// An empty folder that belongs to the running test alone: its name holds the test's full name and
// the process id, so tests that CTest runs side by side (each in its own process) never meet in it,
// and a folder left behind by a killed run is not reused. Removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() : path_(MakePath()) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  static std::filesystem::path MakePath() {
    std::string name = "corvid";
    if (const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
      name += std::string("_") + info->test_suite_name() + "_" + info->name();
    }
    name += "_" + std::to_string(::getpid());
    for (char& c : name) {
      // Parameterised tests carry '/' in their names.
      if (c == '/' || c == ' ') c = '_';
    }
    return std::filesystem::path(::testing::TempDir()) / name;
  }

  std::filesystem::path path_;
};

}  // namespace corvid::testing_support
