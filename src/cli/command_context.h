#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/options.h"
#include "cli/terminal_ui.h"
#include "macros/pc_macro_library.h"
#include "session/session.h"
#include "startup/environment.h"

namespace corvid::cli {

using startup::Environment;

// What a command works with. Reading commands fill `json` when --json was given and print text
// otherwise; main() prints the JSON at the end.
struct CommandContext {
  const Options& options;
  Environment& env;
  session::Session& session;
  TerminalObserver& observer;
  nlohmann::json& json;
  std::ostream& out;

  bool Json() const { return options.json; }
  std::vector<std::string>::size_type ArgumentCount() const { return options.command.size() - 1; }
  const std::string& Argument(std::size_t index) const { return options.command.at(index + 1); }
};

// What a command needs of the mouse: read in full (every setting), or only open and identified
// (writing a whole image is how a refused identity or a failed read is repaired).
enum class MouseNeed { kReadInFull, kRepairable };

// Finds the mouse as the window would after start-up. Returns kExitOk when it is in the state the
// command needs, otherwise the exit code, the reason having been printed.
int RequireMouse(CommandContext& context, MouseNeed need = MouseNeed::kReadInFull);

// A usage error of one command: prints it and returns kExitUsage.
int UsageError(std::string_view message);
// A failed operation: prints it and returns kExitFailed.
int Failure(std::string_view message);

// The PC macro library at its usual place or the one --library names, loaded (or created from
// the built-in template). Null, with the reason printed and `status` set, when it cannot be used.
macros::PcMacroLibrary* OpenLibrary(CommandContext& context, int& status);

// A whole decimal number within [low, high], or nothing.
std::optional<int> ParseNumber(std::string_view text, int low, int high);

// Upper-case hexadecimal with a fixed number of digits.
std::string Hex(std::uint32_t value, int digits);

// The commands, grouped by what they work on. Each returns the exit code.
int RunDeviceCommand(CommandContext& context);
int RunSettingsCommand(CommandContext& context);
int RunMacroCommand(CommandContext& context);
int RunLibraryCommand(CommandContext& context);

bool IsDeviceCommand(std::string_view name);
bool IsSettingsCommand(std::string_view name);

}  // namespace corvid::cli
