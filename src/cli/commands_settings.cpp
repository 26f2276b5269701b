// show and the settings commands: DPI, report rate, lighting, layers, buttons, fire keys.

#include "cli/command_context.h"

namespace corvid::cli {

bool IsSettingsCommand(std::string_view name) { return name == "show"; }

int RunSettingsCommand(CommandContext& context) {
  return UsageError("the settings commands come with the settings operations: " +
                    context.options.command[0]);
}

}  // namespace corvid::cli
