#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "startup/environment.h"

namespace corvid::cli {

using startup::GlobalOptions;

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNoMouse = 3 };

struct Options {
  GlobalOptions global;
  std::optional<std::filesystem::path> libraryFile;
  int language = 1;
  bool json = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> command;  // the command and its arguments
};

struct ParsedOptions {
  std::optional<Options> options;  // empty on a usage error
  std::string error;               // what was wrong with the command line
};

ParsedOptions ParseOptions(const std::vector<std::string_view>& args);

extern const char* const kUsageText;

}  // namespace corvid::cli
