#include "session/whole_image_operations.h"

#include "model/image_transfer.h"
#include "model/profile_file.h"
#include "model/reset.h"

namespace corvid::session {
namespace {

constexpr const char* kNoMouseKey = "Str022";

OperationResult NoMouse(Session& session) {
  session.Show(kNoMouseKey);
  return {OperationOutcome::kNoMouse, session.Text(kNoMouseKey)};
}

OperationResult Refused(Session& session, std::string text) {
  session.Observer().ShowMessage({"", text, false});
  return {OperationOutcome::kRefused, std::move(text)};
}

OperationResult WriteFailed(Session& session) {
  std::string text = "The mouse did not take the whole write";
  if (!session.Protocol().LastFailure().empty()) {
    text += " (" + session.Protocol().LastFailure() + ")";
  }
  text += "; it may hold part of it. Try again, or reset it to the defaults.";
  session.Observer().ShowMessage({"", text, false});
  return {OperationOutcome::kWriteFailed, std::move(text)};
}

// Long transfers keep the poll and the pages away until they are done.
class WholeImageTransfer {
 public:
  explicit WholeImageTransfer(Session& session) : session_(session) {
    session_.Protocol().ClearLastFailure();
    session_.Observer().SetDevTimerEnabled(false);
    session_.Observer().ShowBusyOverlay();
  }
  ~WholeImageTransfer() {
    session_.Busy().Hide();
    session_.Busy().ProcessPendingEvents();
    session_.Observer().HideBusyOverlay();
    session_.Observer().SetDevTimerEnabled(true);
  }
  WholeImageTransfer(const WholeImageTransfer&) = delete;
  WholeImageTransfer& operator=(const WholeImageTransfer&) = delete;

 private:
  Session& session_;
};

}  // namespace

OperationResult SaveProfile(Session& session, const std::filesystem::path& chosen) {
  if (!session.IsConnected()) return NoMouse(session);
  // The file holds what the pages show, including what they could not write to the mouse.
  session.Observer().UIToDataBuf(session.DataBuf());
  const model::ProfileSaveResult saved =
      model::SaveProfileFile(chosen, session.DataBuf(), session.Layout(), session.DeviceImage());
  if (!saved) return Refused(session, saved.error);
  return {};
}

OperationResult LoadProfile(Session& session, const std::filesystem::path& path) {
  if (!session.IsConnected()) return NoMouse(session);
  // Without a known layout there is no telling where the macros and identity bytes would go.
  if (!session.Layout()) return {OperationOutcome::kNotIdentified, {}};
  const model::ProfileLoadResult loaded =
      model::LoadProfileFile(path, session.Layout(), session.DeviceImage());
  if (!loaded) return Refused(session, loaded.message);

  const WholeImageTransfer transfer(session);
  session.RefreshDeviceMacros();
  session.DataBufToUI();
  session.Busy().Show();
  session.Busy().ProcessPendingEvents();
  if (!model::WriteEverything(session.Protocol(), *session.Layout(), session.DeviceImage())) {
    session.Busy().Hide();
    return WriteFailed(session);
  }
  return {};
}

OperationResult ResetToDefaults(Session& session) {
  if (!session.IsConnected()) return NoMouse(session);
  const WholeImageTransfer transfer(session);
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
      return {OperationOutcome::kNotIdentified, {}};
    case model::ResetOutcome::kNoDefaultImage:
      break;
  }
  return {OperationOutcome::kRefused, "the built-in default image is incomplete"};
}

OperationResult ProgramFirmwarePatch(Session& session, device::FirmwarePatch& patch) {
  // The Update button does nothing, and says nothing, without a mouse or an update file.
  if (!session.IsConnected()) return {OperationOutcome::kNoMouse, {}};
  if (!patch.BinLoaded) return {OperationOutcome::kRefused, "no update file is loaded"};
  session.Observer().SetDevTimerEnabled(false);
  session.Observer().ShowBusyOverlay();
  const device::PatchProgramResult programmed = device::ProgramPatch(
      session.Protocol(), session.Link(), session.Layout(), patch, session.Busy());
  session.Observer().HideBusyOverlay();
  if (!programmed) {  // only a Flash/Flash mouse takes a patch
    session.Observer().SetDevTimerEnabled(true);
    return {OperationOutcome::kNotIdentified, {}};
  }
  session.RestartAndReconnect();
  return {};
}

}  // namespace corvid::session
