// macros list | show N | add NAME | delete N | export FILE: the mouse's own macro memory.

#include <iostream>

#include "cli/command_context.h"
#include "keys/key_layers.h"
#include "macros/device_macro_bindings.h"
#include "macros/device_macros.h"
#include "macros/step_codec.h"
#include "model/key_code_text.h"
#include "session/device_macro_operations.h"

namespace corvid::cli {
namespace {

int List(CommandContext& context) {
  const std::vector<std::string> names = context.session.Macros().MacroNames();
  if (context.Json()) {
    nlohmann::json list = nlohmann::json::array();
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
      list.push_back({{"number", i + 1},
                      {"name", names[i]},
                      {"address", Hex(context.session.Macros().MacroAddress(i), 4)}});
    }
    context.json["macros"] = list;
    return kExitOk;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    context.out << i + 1 << "  " << names[i] << "  (at "
                << Hex(context.session.Macros().MacroAddress(static_cast<int>(i)), 4) << ")\n";
  }
  return kExitOk;
}

int Show(CommandContext& context, int index) {
  const auto view = context.session.Macros().ShowMacro(index);
  if (!view) return Failure("no such macro in the mouse");
  if (context.Json()) {
    context.json["name"] = context.session.Macros().MacroName(index);
    context.json["length"] = view->bodyLength;
    context.json["lines"] = view->decoded.lines;
    return kExitOk;
  }
  context.out << context.session.Macros().MacroName(index) << "  (" << view->bodyLength
              << " bytes)\n";
  const macros::MacroLines& lines = view->decoded.lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    context.out << "  " << lines[i] << "    " << macros::MacroLineDisplayText(lines, i) << "\n";
  }
  return kExitOk;
}

int ChangeExit(const session::DeviceMacroResult& result) {
  if (result.ok()) {
    // Buttons whose macro moved or went away are rebound; say which.
    for (const macros::ReboundKey& rebound : result.rebound) {
      std::cerr << "button " << rebound.slot << " of layer " << rebound.layer + 1
                << (rebound.fellBack ? " lost its macro and now does " : " now plays ")
                << model::SlotCodeText(rebound.code) << "\n";
    }
    switch (result.written) {
      case session::MacroMemoryWrite::kWritten:
        return kExitOk;
      case session::MacroMemoryWrite::kWriteFailed:
        return kExitFailed;  // the operation has said why
      case session::MacroMemoryWrite::kNotSent:
        break;
    }
    return kExitNoMouse;
  }
  // The operation has told the user already, as it does in the window.
  if (!result.change.messageKey.empty()) return kExitFailed;
  switch (result.change.status) {
    case macros::DeviceMacroStatus::kFull:
      return Failure("the mouse holds as many macros as it can");
    case macros::DeviceMacroStatus::kNoSuchMacro:
      return Failure("no such macro in the mouse");
    case macros::DeviceMacroStatus::kBadName:
      return Failure("the macro's name cannot be stored in the mouse");
    case macros::DeviceMacroStatus::kNoLayout:
      return kExitNoMouse;
    case macros::DeviceMacroStatus::kWouldNotReadBack:  // the operation has said why
    case macros::DeviceMacroStatus::kDone:
    case macros::DeviceMacroStatus::kOutOfRange:
      break;
  }
  return kExitFailed;
}

std::optional<int> MacroNumber(CommandContext& context, const std::string& text) {
  const int count = context.session.Macros().MacroCount();
  if (const auto number = ParseNumber(text, 1, count)) return *number - 1;
  Failure("no macro number " + text + " in the mouse (it holds " + std::to_string(count) + ")");
  return std::nullopt;
}

}  // namespace

int RunMacroCommand(CommandContext& context) {
  if (context.ArgumentCount() == 0) return UsageError("macros needs a subcommand");
  const std::string& sub = context.Argument(0);
  const std::size_t arguments = context.ArgumentCount() - 1;
  const bool known =
      (sub == "list" && arguments == 0) ||
      ((sub == "show" || sub == "add" || sub == "delete" || sub == "export") && arguments == 1);
  if (!known) return UsageError("usage: macros list | show N | add NAME | delete N | export FILE");
  if (const int status = RequireMouse(context); status != kExitOk) return status;

  session::Session& session = context.session;
  macros::DeviceMacros& deviceMacros = session.Macros();
  const auto page = [&] {
    return macros::ButtonPageFromImage(session.DataBuf(),
                                       keys::CaptionContextOf(session, &deviceMacros));
  };
  if (sub == "list") return List(context);
  if (sub == "export") {
    const session::DeviceMacroExport exported =
        session::ExportDeviceMacros(deviceMacros, context.Argument(1));
    return exported.ok ? kExitOk : Failure(exported.message);
  }
  if (sub == "add") {
    int status = kExitOk;
    const auto library = OpenLibrary(context, status);
    if (!library) return status;
    const std::vector<std::string> names = library->RefreshPCMacroName();
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == context.Argument(1)) {
        return ChangeExit(
            session::AddMacroToMouse(session, deviceMacros, library->Slot(i), page()));
      }
    }
    return Failure("no macro named \"" + context.Argument(1) + "\" in the library");
  }
  const auto index = MacroNumber(context, context.Argument(1));
  if (!index) return kExitFailed;
  if (sub == "show") return Show(context, *index);
  return ChangeExit(session::DeleteDeviceMacro(session, deviceMacros, *index, page()));
}

}  // namespace corvid::cli
