// library list | show | new | rename | delete | import-one | import-all | export-one |
// export-all | set-steps: the PC macro library, which needs no mouse.

#include <iostream>
#include <sstream>

#include "cli/command_context.h"
#include "common/file_io.h"
#include "macros/pc_macro_library.h"
#include "macros/step_codec.h"
#include "session/pc_library_opening.h"

namespace corvid::cli {
namespace {

using macros::PCMacroResult;
using macros::PCMacroStatus;

// Reports a library result as the window would (a message by key) or with the file's error.
int LibraryExit(CommandContext& context, const PCMacroResult& result) {
  if (!result.damagedCopy.empty()) {
    std::cerr << "corvid88ctl: the damaged library file was kept as " << result.damagedCopy.string()
              << " before it was rewritten\n";
  }
  if (result.ok()) return kExitOk;
  if (!result.messageKey.empty()) {
    context.session.Show(result.messageKey);
    return kExitFailed;
  }
  switch (result.status) {
    case PCMacroStatus::kIgnored:
      return Failure("nothing to do: the name is empty");
    case PCMacroStatus::kLibraryFull:
      return Failure("the library is full");
    case PCMacroStatus::kNameTooLong:
      return Failure("a macro name has at most 8 characters");
    case PCMacroStatus::kNameNotText:
      return Failure("a macro name must be UTF-8 text without NUL characters; it was not stored");
    case PCMacroStatus::kNoSuchMacro:
      return Failure("no such macro in the library");
    case PCMacroStatus::kNoMacroInFile:
      return Failure("the file holds no macro");
    case PCMacroStatus::kReadFailed:
    case PCMacroStatus::kWriteFailed:
      return Failure(result.message);
    case PCMacroStatus::kDone:
    case PCMacroStatus::kDuplicateName:
      break;
  }
  return kExitFailed;
}

std::optional<std::size_t> FindByName(const macros::PcMacroLibrary& library,
                                      std::string_view name) {
  const std::vector<std::string> names = library.RefreshPCMacroName();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return i;
  }
  return std::nullopt;
}

int List(CommandContext& context, const macros::PcMacroLibrary& library) {
  const std::vector<std::string> names = library.RefreshPCMacroName();
  if (context.Json()) {
    context.json["library"] = library.File().string();
    context.json["macros"] = names;
    return kExitOk;
  }
  for (std::size_t i = 0; i < names.size(); ++i) context.out << i + 1 << "  " << names[i] << "\n";
  return kExitOk;
}

int Show(CommandContext& context, const macros::PcMacroLibrary& library, std::size_t index) {
  const auto view = library.ShowMacro(index);
  const std::string name = library.RefreshPCMacroName()[index];
  if (context.Json()) {
    context.json["name"] = name;
    context.json["length"] = view ? view->bodyLength : 0;
    context.json["lines"] = view ? view->decoded.lines : std::vector<std::string>{};
    nlohmann::json shown = nlohmann::json::array();
    if (view) {
      for (std::size_t i = 0; i < view->decoded.lines.size(); ++i) {
        shown.push_back(macros::MacroLineDisplayText(view->decoded.lines, i));
      }
    }
    context.json["steps"] = shown;
    return kExitOk;
  }
  context.out << name << "\n";
  if (!view) return kExitOk;
  const macros::MacroLines& lines = view->decoded.lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    context.out << "  " << lines[i] << "    " << macros::MacroLineDisplayText(lines, i) << "\n";
  }
  return kExitOk;
}

// The text form: one step line per line, line 0 the delay mode.
int SetSteps(CommandContext& context, macros::PcMacroLibrary& library, std::size_t index,
             const std::string& file) {
  // Read whole first: a folder or an unreadable file must refuse the command, not save an empty
  // macro over the one the library holds.
  std::string error;
  const std::optional<std::vector<std::uint8_t>> bytes = common::ReadWholeFile(file, &error);
  if (!bytes) return Failure(error + "; the macro was left as it was");
  macros::MacroLines lines;
  std::istringstream in(std::string(bytes->begin(), bytes->end()));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  const macros::EncodedMacro encoded = macros::MemoToMacro(lines);
  if (!encoded.ok()) return Failure(encoded.reason);
  for (const std::size_t dropped : encoded.droppedLines) {
    std::cerr << "corvid88ctl: line " << dropped + 1 << " is not a step and was left out\n";
  }
  return LibraryExit(context, library.SetMacroBody(index, encoded.body));
}

}  // namespace

macros::PcMacroLibrary* OpenLibrary(CommandContext& context, int& status) {
  const session::PcLibraryOpening opening = session::OpenPcMacroLibrary(
      context.session, context.options.startup.libraryFile.value_or(std::filesystem::path{}));
  if (!opening.ok) {
    status = Failure(opening.message);
    return nullptr;
  }
  if (!opening.warning.empty()) std::cerr << "corvid88ctl: warning: " << opening.warning << "\n";
  return context.session.PcLibrary();
}

int RunLibraryCommand(CommandContext& context) {
  if (context.ArgumentCount() == 0) return UsageError("library needs a subcommand");
  const std::string& sub = context.Argument(0);
  const std::size_t arguments = context.ArgumentCount() - 1;
  const auto need = [&](std::size_t count, const char* form) {
    return arguments == count ? kExitOk : UsageError(std::string("usage: library ") + form);
  };

  int status = kExitOk;
  macros::PcMacroLibrary* const opened = OpenLibrary(context, status);
  if (!opened) return status;
  macros::PcMacroLibrary& library = *opened;
  // A macro named on the command line must exist.
  const auto named = [&](std::size_t argument) -> std::optional<std::size_t> {
    const auto index = FindByName(library, context.Argument(argument));
    if (!index) Failure("no macro named \"" + context.Argument(argument) + "\" in the library");
    return index;
  };

  if (sub == "list") {
    if (const int s = need(0, "list")) return s;
    return List(context, library);
  }
  if (sub == "show") {
    if (const int s = need(1, "show NAME")) return s;
    const auto index = named(1);
    return index ? Show(context, library, *index) : kExitFailed;
  }
  if (sub == "new") {
    if (const int s = need(1, "new NAME")) return s;
    return LibraryExit(context, library.NewMacro(context.Argument(1)));
  }
  if (sub == "rename") {
    if (const int s = need(2, "rename OLD NEW")) return s;
    const auto index = named(1);
    return index ? LibraryExit(context, library.RenameMacro(*index, context.Argument(2)))
                 : kExitFailed;
  }
  if (sub == "delete") {
    if (const int s = need(1, "delete NAME")) return s;
    const auto index = named(1);
    return index ? LibraryExit(context, library.DeleteMacro(*index)) : kExitFailed;
  }
  if (sub == "import-one" || sub == "import-all") {
    if (const int s = need(1, "import-one|import-all FILE")) return s;
    const PCMacroResult result = sub == "import-one" ? library.ImportOne(context.Argument(1))
                                                     : library.ImportAll(context.Argument(1));
    if (result.fileRead && result.fileRead->IsShort()) {
      std::cerr
          << "corvid88ctl: the file is shorter than its format; only what it holds was read\n";
    }
    return LibraryExit(context, result);
  }
  if (sub == "export-one") {
    if (const int s = need(2, "export-one NAME FILE")) return s;
    const auto index = named(1);
    return index ? LibraryExit(context, library.ExportOne(*index, context.Argument(2)))
                 : kExitFailed;
  }
  if (sub == "export-all") {
    if (const int s = need(1, "export-all FILE")) return s;
    return LibraryExit(context, library.ExportAll(context.Argument(1)));
  }
  if (sub == "set-steps") {
    if (const int s = need(2, "set-steps NAME FILE")) return s;
    const auto index = named(1);
    return index ? SetSteps(context, library, *index, context.Argument(2)) : kExitFailed;
  }
  return UsageError("unknown library subcommand " + sub);
}

}  // namespace corvid::cli
