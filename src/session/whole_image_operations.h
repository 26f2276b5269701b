#pragma once

// The operations that move whole images between files, the defaults and the mouse: save and load
// a profile, reset to defaults, program the firmware patch. Each tells the user what the window
// would tell (through the session's observer) and returns the outcome for the caller.

#include <filesystem>
#include <string>

#include "device/patch.h"
#include "session/session.h"

namespace corvid::session {

enum class OperationOutcome {
  kDone,
  kNoMouse,        // no mouse connected: "Not find the specified device" was shown
  kNotIdentified,  // the mouse's memory layout is unknown: nothing was changed or sent
  kRefused,        // the file was refused or could not be used: `message` says why
  kWriteFailed,    // the mouse did not take every report: `message` says why; the pages show
                   // what was meant to be written, and the mouse may hold part of it
};

struct OperationResult {
  OperationOutcome outcome = OperationOutcome::kDone;
  // What the user was shown: the language key where the text has one, and the text.
  std::string messageKey;
  std::string message;

  explicit operator bool() const { return outcome == OperationOutcome::kDone; }
};

// Tells the user that no mouse is connected ("Not find the specified device") and returns true
// when none is; the profile buttons ask before they open a file chooser.
bool TellIfNoMouse(Session& session);

// Saves what the pages show into a profile file: the observer first takes the pages' state into
// DataBuf. Nothing is sent to the mouse.
OperationResult SaveProfile(Session& session, const std::filesystem::path& chosen);

// Loads a profile file into the device mirror, shows it and writes all of it into the mouse.
OperationResult LoadProfile(Session& session, const std::filesystem::path& path);

// Writes the build's defaults into the mouse and shows them.
OperationResult ResetToDefaults(Session& session);

// Programs the loaded patch into a Flash/Flash mouse, then restarts it and finds it again.
OperationResult ProgramFirmwarePatch(Session& session, device::FirmwarePatch& patch);

}  // namespace corvid::session
