#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "startup/startup_options.h"

namespace corvid::cli {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNoMouse = 3 };

struct Options {
  startup::StartupOptions startup;  // the options the window takes too
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

extern const std::string kUsageText;

}  // namespace corvid::cli
