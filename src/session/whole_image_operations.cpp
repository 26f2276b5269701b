#include "session/whole_image_operations.h"

#include "model/image_transfer.h"
#include "model/profile_file.h"
#include "model/reset.h"
#include "session/long_transfer.h"

namespace corvid::session {
namespace {

constexpr const char* kNoMouseKey = "Str022";

OperationResult NoMouse(Session& session) {
  session.Show(kNoMouseKey);
  return {OperationOutcome::kNoMouse, kNoMouseKey, session.Text(kNoMouseKey)};
}

OperationResult Refused(Session& session, std::string text) {
  session.Observer().ShowMessage({"", text, false});
  return {OperationOutcome::kRefused, {}, std::move(text)};
}

OperationResult WriteFailed(Session& session) {
  std::string text = "The mouse did not take the whole write";
  if (!session.Protocol().LastFailure().empty()) {
    text += " (" + session.Protocol().LastFailure() + ")";
  }
  text += "; it may hold part of it. Try again, or reset it to the defaults.";
  session.Observer().ShowMessage({"", text, false});
  return {OperationOutcome::kWriteFailed, {}, std::move(text)};
}

}  // namespace

bool TellIfNoMouse(Session& session) {
  if (session.IsConnected()) return false;
  session.Show(kNoMouseKey);
  return true;
}

OperationResult SaveProfile(Session& session, const std::filesystem::path& chosen) {
  if (!session.IsConnected()) return NoMouse(session);
  // The file holds what the pages show, including what they could not write to the mouse.
  session.Observer().UIToDataBuf(session.DataBuf());
  const model::ProfileSaveResult saved =
      model::SaveProfileFile(chosen, session.DataBuf(), session.Layout(), session.DeviceImage());
  if (!saved) return Refused(session, saved.message);
  return {};
}

OperationResult LoadProfile(Session& session, const std::filesystem::path& path) {
  if (!session.IsConnected()) return NoMouse(session);
  // Without a known layout there is no telling where the macros and identity bytes would go.
  if (!session.Layout()) return {OperationOutcome::kNotIdentified, {}, {}};
  const model::ProfileLoadResult loaded =
      model::LoadProfileFile(path, session.Layout(), session.DeviceImage());
  if (!loaded) return Refused(session, loaded.message);

  const LongTransfer transfer(session);
  session.RefreshDeviceMacros();
  session.DataBufToUI();
  if (!model::WriteEverything(session.Protocol(), *session.Layout(), session.DeviceImage())) {
    return WriteFailed(session);
  }
  return {};
}

OperationResult ResetToDefaults(Session& session) {
  if (!session.IsConnected()) return NoMouse(session);
  const LongTransfer transfer(session);
  const model::ResetOutcome outcome = model::DefaultParameter(
      session.Protocol(), session.Link(), session.Layout(), session.DefaultImageBytes(),
      session.DeviceImage(), session.DataBuf(), session.Busy());
  switch (outcome) {
    case model::ResetOutcome::kDone:
    case model::ResetOutcome::kWriteFailed:
      session.RefreshDeviceMacros();
      session.DataBufToUI();
      if (outcome == model::ResetOutcome::kWriteFailed) return WriteFailed(session);
      return {};
    case model::ResetOutcome::kNoMouse:
      return NoMouse(session);
    case model::ResetOutcome::kNotIdentified:
      return {OperationOutcome::kNotIdentified, {}, {}};
    case model::ResetOutcome::kNoDefaultImage:
      break;
  }
  return {OperationOutcome::kRefused, {}, "the built-in default image is incomplete"};
}

OperationResult ProgramFirmwarePatch(Session& session, device::FirmwarePatch& patch) {
  // The Update button does nothing, and says nothing, without a mouse or an update file.
  if (!session.IsConnected()) return {OperationOutcome::kNoMouse, {}, {}};
  if (!patch.BinLoaded) return {OperationOutcome::kRefused, {}, "no update file is loaded"};
  {
    LongTransfer transfer(session);
    const device::PatchProgramResult programmed = device::ProgramPatch(
        session.Protocol(), session.Link(), session.Layout(), patch, session.Busy());
    if (!programmed) return {OperationOutcome::kNotIdentified, {}, {}};  // only Flash/Flash mice
    transfer.KeepPollStopped();
  }
  session.RestartAndReconnect();
  return {};
}

}  // namespace corvid::session
