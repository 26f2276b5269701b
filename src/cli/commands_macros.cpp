// macros list | show N | add NAME | delete N | export FILE: the mouse's own macro memory.

#include "cli/command_context.h"

namespace corvid::cli {

int RunMacroCommand(CommandContext& context) {
  (void)context;
  return UsageError("the device macro commands come with the device macro storage");
}

}  // namespace corvid::cli
