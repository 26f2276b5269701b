#include "cli/options.h"

namespace corvid::cli {

const std::string kUsageText =
    std::string(
        "usage: corvid88ctl [options] COMMAND [ARGUMENTS]\n"
        "\n"
        "Options:\n") +
    startup::kStartupOptionsUsage +
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
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--json") {
      options.json = true;
    } else {
      std::string error;
      switch (startup::TakeStartupOption(args, i, options.startup, error)) {
        case startup::OptionTaken::kTaken:
          continue;
        case startup::OptionTaken::kInvalid:
          return {std::nullopt, error};
        case startup::OptionTaken::kNotOurs:
          break;
      }
      return {std::nullopt, "unknown option " + std::string(arg)};
    }
  }
  startup::FinishStartupOptions(options.startup);
  if (options.command.empty() && !options.help && !options.version) {
    return {std::nullopt, "no command given"};
  }
  return {options, {}};
}

}  // namespace corvid::cli
