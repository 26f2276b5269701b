// devices, info, show, save-profile, load-profile, reset, patch.

#include <array>
#include <charconv>
#include <cstdio>
#include <iostream>

#include "cli/command_context.h"
#include "device/discovery.h"
#include "device/patch.h"
#include "session/whole_image_operations.h"

namespace corvid::cli {

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::optional<int> ParseNumber(std::string_view text, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

int UsageError(std::string_view message) {
  std::cerr << "corvid88ctl: " << message << "\n";
  return kExitUsage;
}

int Failure(std::string_view message) {
  std::cerr << "corvid88ctl: " << message << "\n";
  return kExitFailed;
}

int RequireMouse(CommandContext& context, MouseNeed need) {
  session::Session& session = context.session;
  session.ReFindDev();
  switch (session.State()) {
    case session::ConnectionState::kConnected:
      return kExitOk;
    case session::ConnectionState::kIdentityRefused:
    case session::ConnectionState::kReadFailed:
      if (need == MouseNeed::kRepairable) return kExitOk;
      // A read the mouse broke off is a failure of its own, not a refused mouse.
      if (session.State() == session::ConnectionState::kReadFailed) return kExitFailed;
      return kExitNoMouse;
    case session::ConnectionState::kOpenedUnidentified:
      std::cerr << "The mouse does not say which controller it is built on, or it is built on one "
                   "this tool does not serve.\n";
      return kExitNoMouse;
    case session::ConnectionState::kNoMouse:
    case session::ConnectionState::kWrongStorage:
      break;  // the reason has been shown as the window shows it
  }
  return kExitNoMouse;
}

namespace {

const char* LayoutName(device::MemoryLayout layout) {
  switch (layout) {
    case device::MemoryLayout::LayoutI2C:
      return "LayoutI2C";
    case device::MemoryLayout::LayoutFlashI2C:
      return "LayoutFlashI2C";
    case device::MemoryLayout::LayoutFlashFlash:
      return "LayoutFlashFlash";
  }
  return "";
}

std::string KindText(device::StorageKind kind) {
  const std::string_view text = device::StorageKindText(kind);
  return text.empty() ? "-" : std::string(text);
}

int Devices(CommandContext& context) {
  const device::VidPid mouseIds = context.session.IdTable().entries[0];
  nlohmann::json list = nlohmann::json::array();
  for (const device::HidInterfaceInfo& info : context.env.Bus().ListInterfaces()) {
    const bool isMouse = device::IsMouseInterface(info, mouseIds.vendorId, mouseIds.productId);
    if (context.Json()) {
      list.push_back({{"path", info.path},
                      {"vendorId", Hex(info.vendorId, 4)},
                      {"productId", Hex(info.productId, 4)},
                      {"featureReportLength", info.featureReportLength},
                      {"mouse", isMouse}});
    } else {
      context.out << (isMouse ? "* " : "  ") << info.path << "  " << Hex(info.vendorId, 4) << ":"
                  << Hex(info.productId, 4) << "  feature report " << info.featureReportLength
                  << " bytes\n";
    }
  }
  if (context.Json()) context.json["interfaces"] = list;
  return kExitOk;
}

int Info(CommandContext& context) {
  session::Session& session = context.session;
  session.ReFindDev();
  const bool identified = session.Layout().has_value();
  const auto identity = session.DeviceImage().IdentityBytes;
  const bool accepted = session.State() == session::ConnectionState::kConnected ||
                        session.State() == session::ConnectionState::kReadFailed;
  const bool identityRead =
      accepted || session.State() == session::ConnectionState::kIdentityRefused;
  if (context.Json()) {
    context.json["state"] = session::ConnectionStateText(session.State());
    context.json["controllerKind"] = device::StorageKindText(session.ControllerKind());
    context.json["macroStorageKind"] = device::StorageKindText(session.MacroStorageKind());
    context.json["memoryLayout"] = identified ? LayoutName(*session.Layout()) : "";
    context.json["deviceType"] = session.DeviceType() ? int{*session.DeviceType()} : -1;
    context.json["macroBindingOffered"] = session.MacroBindingOffered();
    context.json["identityBytes"] =
        identityRead ? nlohmann::json(Hex(identity[0], 2) + " " + Hex(identity[1], 2)) : nullptr;
    context.json["identityAccepted"] = accepted;
    context.json["inaccessiblePaths"] = session.InaccessiblePaths();
  } else {
    context.out << "state:              " << session::ConnectionStateText(session.State()) << "\n";
    if (session.IsConnected()) {
      context.out << "controller kind:    " << KindText(session.ControllerKind()) << "\n"
                  << "macro storage kind: " << KindText(session.MacroStorageKind()) << "\n"
                  << "memory layout:      " << (identified ? LayoutName(*session.Layout()) : "-")
                  << "\n";
      if (session.DeviceType()) {
        context.out << "device type:        " << int{*session.DeviceType()} << "\n";
      }
      context.out << "macro binding:      "
                  << (session.MacroBindingOffered() ? "offered" : "not offered") << "\n";
      if (identityRead) {
        context.out << "identity bytes:     " << Hex(identity[0], 2) << " " << Hex(identity[1], 2)
                    << (accepted ? " (accepted)" : " (refused)") << "\n";
      }
    }
  }
  if (session.State() == session::ConnectionState::kReadFailed) return kExitFailed;
  return accepted ? kExitOk : kExitNoMouse;
}

int OperationExit(const session::OperationResult& result) {
  switch (result.outcome) {
    case session::OperationOutcome::kDone:
      return kExitOk;
    case session::OperationOutcome::kNoMouse:
    case session::OperationOutcome::kNotIdentified:
      return kExitNoMouse;
    case session::OperationOutcome::kRefused:
    case session::OperationOutcome::kWriteFailed:
      return kExitFailed;  // the message has been shown
  }
  return kExitFailed;
}

int WholeImageCommand(CommandContext& context) {
  const std::string& name = context.options.command[0];
  const bool takesFile = name != "reset";
  if (context.ArgumentCount() != (takesFile ? 1U : 0U)) {
    return UsageError(takesFile ? name + " takes one FILE" : "reset takes no argument");
  }
  // Reset and a profile load are how a wrong identity is put right, so they, and saving what the
  // pages show, work on a mouse whose identity was refused; a broken-off read leaves nothing
  // trustworthy to save.
  const session::ConnectionState repairable = session::ConnectionState::kReadFailed;
  const bool repairs = name == "reset" || name == "load-profile" || name == "save-profile";
  if (const int status =
          RequireMouse(context, repairs ? MouseNeed::kRepairable : MouseNeed::kReadInFull);
      status != kExitOk) {
    return status;
  }
  session::Session& session = context.session;
  if (name == "save-profile" && session.State() == repairable) return kExitFailed;
  if (name == "save-profile")
    return OperationExit(session::SaveProfile(session, context.Argument(0)));
  if (name == "load-profile")
    return OperationExit(session::LoadProfile(session, context.Argument(0)));
  if (name == "reset") return OperationExit(session::ResetToDefaults(session));

  device::FirmwarePatch patch;
  const device::PatchLoadResult loaded = device::LoadPatchBin(context.Argument(0), patch);
  if (!loaded) {
    if (!loaded.messageKey.empty()) session.Show(loaded.messageKey);
    return Failure(loaded.message.empty() ? "the update file was not loaded" : loaded.message);
  }
  const session::OperationResult programmed = session::ProgramFirmwarePatch(session, patch);
  if (programmed.outcome == session::OperationOutcome::kNotIdentified) {
    return Failure("only a mouse with Flash controller and Flash macro memory takes an update");
  }
  return OperationExit(programmed);
}

}  // namespace

bool IsDeviceCommand(std::string_view name) {
  return name == "devices" || name == "info" || name == "save-profile" || name == "load-profile" ||
         name == "reset" || name == "patch";
}

int RunDeviceCommand(CommandContext& context) {
  const std::string& name = context.options.command[0];
  if (name == "devices")
    return context.ArgumentCount() == 0 ? Devices(context)
                                        : UsageError("devices takes no argument");
  if (name == "info")
    return context.ArgumentCount() == 0 ? Info(context) : UsageError("info takes no argument");
  return WholeImageCommand(context);
}

}  // namespace corvid::cli
