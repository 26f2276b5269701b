#include "cli/options.h"

namespace corvid::cli {

const char* const kUsageText =
    "usage: corvid88ctl [options] COMMAND [ARGUMENTS]\n"
    "\n"
    "Options:\n"
    "  --simulate[=i2c|flash-i2c|flash-flash]  use the stand-in mouse (default: a layout the\n"
    "                     build serves, i2c or flash-flash)\n"
    "  --sim-state FILE   load the stand-in mouse from FILE, save it back afterwards\n"
    "  --trace FILE       append every feature report to FILE\n"
    "  --library FILE     the PC macro library file to use\n"
    "  --lang 1|2|3       language of captions and messages (default 1)\n"
    "  --json             machine-readable output of the reading commands\n"
    "  --help, --version\n"
    "\n"
    "Mouse:\n"
    "  devices                      the HID interfaces, the mouse marked with *\n"
    "  info                         connection, controller, layout, identity\n"
    "  show                         the whole configuration as the pages show it\n"
    "  save-profile FILE            save the configuration into a profile file\n"
    "  load-profile FILE            write a profile file into the mouse\n"
    "  reset                        write the defaults into the mouse\n"
    "  patch FILE                   program a firmware patch (Flash/Flash mice only)\n"
    "\n"
    "Settings:\n"
    "  layer main|switch|fixed      enter a button layer\n"
    "  button LAYER SLOT FUNCTION   assign a function (caption, menu tag or 8-digit code)\n"
    "  dpi-levels N                 number of DPI levels, 1..8\n"
    "  dpi-current N                current DPI level\n"
    "  dpi-step LEVEL STEP          DPI value of a level, as a step 1..12\n"
    "  dpi-colour LEVEL RRGGBB      colour of a DPI level\n"
    "  aim-dpi STEP                 DPI of the aim key, as a step 1..12\n"
    "  rate 125|250|500|1000        USB report rate\n"
    "  led-mode off|1..5            lighting mode\n"
    "  led-step N                   breathing step time, 1..10\n"
    "  led-colour N RRGGBB          lighting colour 1..7\n"
    "  fire N REPEAT DELAY [continuous]  fire key 1..3\n"
    "\n"
    "Device macros:\n"
    "  macros list | show N | add NAME | delete N | export FILE\n"
    "\n"
    "PC macro library:\n"
    "  library list | show NAME | new NAME | rename OLD NEW | delete NAME\n"
    "  library import-one FILE | import-all FILE | export-one NAME FILE | export-all FILE\n"
    "  library set-steps NAME FILE  steps from a text file, one step line per line\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 usage error, 3 no mouse connected or mouse refused.\n";

namespace {

std::optional<device::MemoryLayout> ParseLayout(std::string_view name) {
  if (name == "i2c") return device::MemoryLayout::LayoutI2C;
  if (name == "flash-i2c") return device::MemoryLayout::LayoutFlashI2C;
  if (name == "flash-flash") return device::MemoryLayout::LayoutFlashFlash;
  return std::nullopt;
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string_view>& args) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    // Options may stand anywhere before the command; after it everything is an argument, so a
    // file or a macro name may start with "--".
    if (!options.command.empty() || !arg.starts_with("--")) {
      options.command.emplace_back(arg);
      continue;
    }
    const auto value = [&]() -> std::optional<std::string_view> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--simulate") {
      options.global.simulate = true;
    } else if (arg.starts_with("--simulate=")) {
      options.global.simulate = true;
      options.global.simulatedLayout = ParseLayout(arg.substr(arg.find('=') + 1));
      if (!options.global.simulatedLayout) {
        return {std::nullopt,
                "unknown layout in " + std::string(arg) + " (i2c, flash-i2c or flash-flash)"};
      }
    } else if (arg == "--sim-state" || arg == "--trace" || arg == "--library" || arg == "--lang") {
      const auto given = value();
      if (!given) return {std::nullopt, std::string(arg) + " needs a value"};
      if (arg == "--sim-state") options.global.simStateFile = std::string(*given);
      if (arg == "--trace") options.global.traceFile = std::string(*given);
      if (arg == "--library") options.libraryFile = std::string(*given);
      if (arg == "--lang") {
        if (*given != "1" && *given != "2" && *given != "3") {
          return {std::nullopt, "--lang takes 1, 2 or 3"};
        }
        options.language = (*given)[0] - '0';
      }
    } else {
      return {std::nullopt, "unknown option " + std::string(arg)};
    }
  }
  // A state file only makes sense for the stand-in mouse.
  if (options.global.simStateFile) options.global.simulate = true;
  if (options.command.empty() && !options.help && !options.version) {
    return {std::nullopt, "no command given"};
  }
  return {options, {}};
}

}  // namespace corvid::cli
