#pragma once

// What the macro page does with the macros in the mouse, for the window and the command line
// alike: add a library macro, delete a device macro, write them all, export them. Each change ends
// with a full write of the profile section and the macro memory, since the mouse finds its macros
// only by the addresses in the button codes.
//
// The window calls AddMacroToMouse from Btn_AddMacroClick, DeleteDeviceMacro from
// Btn_DelMacroClick, SaveDeviceMacros as Btn_SaveMacroClick and ExportDeviceMacros from
// Btn_DevExportClick; it hides its panels and refills its lists and labels afterwards.

#include <filesystem>
#include <string>
#include <vector>

#include "macros/device_macro_bindings.h"
#include "macros/device_macros.h"
#include "macros/pc_macro_library.h"
#include "session/session.h"

namespace corvid::session {

using macros::ButtonPageView;
using macros::DeviceMacroChange;
using macros::DeviceMacros;
using macros::PCMacroSlot;
using macros::ReboundKey;

enum class MacroMemoryWrite {
  kNotSent,     // no mouse, or it is locked against writes: the change is in the mirror only
  kWritten,     // the mouse took every report
  kWriteFailed  // the mouse refused part of it; the user was told why
};

struct DeviceMacroResult {
  DeviceMacroChange change;
  // Button slots whose codes changed around a delete.
  std::vector<ReboundKey> rebound;
  MacroMemoryWrite written = MacroMemoryWrite::kNotSent;

  bool ok() const { return change.ok(); }
};

// Writes the profile section and the whole macro memory: re-points the macro buttons of the layer
// on view by their captions, seals the profile section, and (Flash) rebuilds the name table from
// the list. The poll is stopped and the busy window shown meanwhile.
MacroMemoryWrite SaveDeviceMacros(Session& session, DeviceMacros& macros,
                                  const ButtonPageView& page);

// Copies a library macro into the next free device slot and writes. A macro that does not fit
// shows "Str103" and changes nothing; a full list does nothing.
DeviceMacroResult AddMacroToMouse(session::Session& session, DeviceMacros& macros,
                                  const PCMacroSlot& macro, const ButtonPageView& page);

// Deletes device macro `index`, re-points the buttons bound to the later macros (each rebound
// slot is written at once), gives the buttons bound to the deleted one their fallback function,
// and writes.
DeviceMacroResult DeleteDeviceMacro(session::Session& session, DeviceMacros& macros, int index,
                                    const ButtonPageView& page);

struct DeviceMacroExport {
  bool ok = false;
  std::filesystem::path file;  // the file written (or tried)
  std::string message;         // why not
};

// Saves the whole macro memory to `chosen` (".bin" appended when missing), atomically.
DeviceMacroExport ExportDeviceMacros(const DeviceMacros& macros,
                                     const std::filesystem::path& chosen);

}  // namespace corvid::session
