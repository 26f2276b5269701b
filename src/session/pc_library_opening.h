#pragma once

// Opening the PC macro library for a front end: where it lives (the product settings' folder, the
// program's, or a file named on the command line), loading it or creating it from the built-in
// template, and what the user is told about a damaged file. The session keeps it afterwards.

#include <filesystem>
#include <string>

#include "session/session.h"

namespace corvid::session {

struct PcLibraryOpening {
  bool ok = false;
  // Why the library cannot be used (a language key where the window has a message for it, and
  // the text to show in any case).
  std::string messageKey;
  std::string message;
  // Set when the file was opened but is not whole: it was read as far as it goes, and a copy is
  // kept before the first change rewrites it.
  std::string warning;
};

// Opens the library into the session unless it is open already. `explicitFile` (may be empty)
// names the file instead of the usual place.
PcLibraryOpening OpenPcMacroLibrary(Session& session, const std::filesystem::path& explicitFile);

}  // namespace corvid::session
