#include "session/pc_library_opening.h"

#include <memory>

namespace corvid::session {

PcLibraryOpening OpenPcMacroLibrary(Session& session, const std::filesystem::path& explicitFile) {
  PcLibraryOpening opening;
  if (session.PcLibrary() != nullptr) {
    opening.ok = true;
    return opening;
  }
  const macros::PCMacroLibraryLocation location =
      macros::LocatePCMacroLibrary(session.ProductSettings().path, explicitFile);
  if (!location.ok()) {
    opening.message = location.error;
    return opening;
  }
  auto library = std::make_unique<macros::PcMacroLibrary>(location.file);
  if (const macros::PCMacroResult checked = library->CheckPCMacro(); !checked.ok()) {
    opening.messageKey = checked.messageKey;
    opening.message =
        checked.messageKey.empty() ? checked.message : session.Text(checked.messageKey);
    return opening;
  }
  if (const auto& damaged = library->OpenedDamaged()) {
    opening.warning = "The macro library " + library->File().string();
    if (damaged->fileSize != damaged->expectedSize) {
      opening.warning += " is " + std::to_string(damaged->fileSize) + " bytes, not " +
                         std::to_string(damaged->expectedSize);
    } else {
      opening.warning += " has gaps or stray bytes between its macros";
    }
    opening.warning +=
        ". It was read as far as it goes, and a copy of it is kept beside it before the next "
        "change rewrites it.";
  }
  session.SetPcLibrary(std::move(library));
  opening.ok = true;
  return opening;
}

}  // namespace corvid::session
