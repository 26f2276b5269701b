#include "startup/startup_options.h"

namespace corvid::startup {
namespace {

std::optional<device::MemoryLayout> ParseLayout(std::string_view name) {
  if (name == "i2c") return device::MemoryLayout::LayoutI2C;
  if (name == "flash-i2c") return device::MemoryLayout::LayoutFlashI2C;
  if (name == "flash-flash") return device::MemoryLayout::LayoutFlashFlash;
  return std::nullopt;
}

}  // namespace

const char* const kStartupOptionsUsage =
    "  --simulate[=i2c|flash-i2c|flash-flash]  use the stand-in mouse (default: a layout the\n"
    "                     build serves, i2c or flash-flash)\n"
    "  --sim-state FILE   load the stand-in mouse from FILE, save it back afterwards\n"
    "  --trace FILE       append every feature report to FILE\n"
    "  --library FILE     the PC macro library file to use\n"
    "  --lang 1|2|3       language of captions and messages (default 1)\n";

OptionTaken TakeStartupOption(const std::vector<std::string_view>& args, std::size_t& index,
                              StartupOptions& options, std::string& error) {
  const std::string_view arg = args[index];
  if (arg == "--simulate") {
    options.environment.simulate = true;
    return OptionTaken::kTaken;
  }
  if (arg.starts_with("--simulate=")) {
    options.environment.simulate = true;
    options.environment.simulatedLayout = ParseLayout(arg.substr(arg.find('=') + 1));
    if (options.environment.simulatedLayout) return OptionTaken::kTaken;
    error = "unknown layout in " + std::string(arg) + " (i2c, flash-i2c or flash-flash)";
    return OptionTaken::kInvalid;
  }
  if (arg != "--sim-state" && arg != "--trace" && arg != "--library" && arg != "--lang") {
    return OptionTaken::kNotOurs;
  }
  if (index + 1 >= args.size()) {
    error = std::string(arg) + " needs a value";
    return OptionTaken::kInvalid;
  }
  const std::string_view value = args[++index];
  if (arg == "--sim-state") options.environment.simStateFile = std::string(value);
  if (arg == "--trace") options.environment.traceFile = std::string(value);
  if (arg == "--library") options.libraryFile = std::string(value);
  if (arg == "--lang") {
    if (value != "1" && value != "2" && value != "3") {
      error = "--lang takes 1, 2 or 3";
      return OptionTaken::kInvalid;
    }
    options.language = value[0] - '0';
  }
  return OptionTaken::kTaken;
}

void FinishStartupOptions(StartupOptions& options) {
  // A state file only makes sense for the stand-in mouse.
  if (options.environment.simStateFile) options.environment.simulate = true;
}

}  // namespace corvid::startup
