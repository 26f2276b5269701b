// corvid88ctl: the mouse's configuration from the command line, on the real mouse or the
// stand-in, through the same operations as the window.

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_context.h"
#include "cli/options.h"
#include "cli/terminal_ui.h"
#include "session/session.h"
#include "startup/environment.h"

namespace corvid::cli {
namespace {

int Dispatch(CommandContext& context) {
  const std::string& name = context.options.command[0];
  if (IsDeviceCommand(name)) return RunDeviceCommand(context);
  if (IsSettingsCommand(name)) return RunSettingsCommand(context);
  if (name == "macros") return RunMacroCommand(context);
  if (name == "library") return RunLibraryCommand(context);
  std::cerr << "corvid88ctl: unknown command " << name << "\n" << kUsageText;
  return kExitUsage;
}

int Run(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const ParsedOptions parsed = ParseOptions(args);
  if (!parsed.options) {
    std::cerr << "corvid88ctl: " << parsed.error << "\n\n" << kUsageText;
    return kExitUsage;
  }
  const Options& options = *parsed.options;
  if (options.help) {
    std::cout << kUsageText;
    return kExitOk;
  }
  if (options.version) {
    std::cout << "corvid88ctl " CORVID_VERSION "\n";
    return kExitOk;
  }

  std::string error;
  std::unique_ptr<Environment> env = Environment::Create(options.startup.environment, error);
  if (!env) return Failure(error);

  TerminalObserver observer;
  TerminalBusyWindow busy;
  session::SessionSetup setup = session::BuiltInSetup();
  setup.CurrentLanguage = options.startup.language;
  int status = kExitOk;
  nlohmann::json json = nlohmann::json::object();
  {
    session::Session session(env->Bus(), env->Clock(), busy, observer, setup);
    session.InitNoDevice();
    CommandContext context{options, *env, session, observer, json, std::cout};
    status = Dispatch(context);
    session.FormCloseQuery();
  }
  if (options.json && status != kExitUsage) {
    json["exitStatus"] = status;
    if (status != kExitOk && !observer.LastMessage().empty())
      json["message"] = observer.LastMessage();
    std::cout << json.dump(2) << "\n";
  }
  if (!env->SaveSimulatedState(error)) return Failure(error);
  return status;
}

}  // namespace
}  // namespace corvid::cli

int main(int argc, char** argv) { return corvid::cli::Run(argc, argv); }
