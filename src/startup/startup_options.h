#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "startup/environment.h"

namespace corvid::startup {

// The options both front ends take, with the same meaning: which mouse (the real one or the
// stand-in), the trace, the PC macro library and the language.
struct StartupOptions {
  GlobalOptions environment;
  std::optional<std::filesystem::path> libraryFile;
  int language = 1;
};

enum class OptionTaken {
  kNotOurs,  // not a start-up option: the front end's own, or an error of its own
  kTaken,    // taken, with its value when it has one
  kInvalid,  // a start-up option with a missing or wrong value: `error` says what
};

// Takes the option args[index] (and the value after it, advancing `index`) into `options`.
OptionTaken TakeStartupOption(const std::vector<std::string_view>& args, std::size_t& index,
                              StartupOptions& options, std::string& error);

// Completes the options after all were taken: a state file implies the stand-in mouse.
void FinishStartupOptions(StartupOptions& options);

// The lines of the usage text that describe the start-up options.
extern const char* const kStartupOptionsUsage;

}  // namespace corvid::startup
