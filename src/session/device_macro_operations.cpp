#include "session/device_macro_operations.h"

#include "common/file_io.h"
#include "model/data_buf.h"
#include "model/image_transfer.h"
#include "session/long_transfer.h"

namespace corvid::session {

using macros::MacroBinding;
using macros::WithBinExtension;

MacroMemoryWrite SaveDeviceMacros(Session& session, DeviceMacros& macros,
                                  const ButtonPageView& page) {
  const LongTransfer transfer(session);
  RefreshMacroAddr(page, macros, session.DataBuf());
  model::CommitProfileSection(session.DataBuf(), session.DeviceImage());
  if (macros.IsFlash()) macros.UIToMacroName();
  if (!session.CanWrite() || !macros.Layout().has_value()) return MacroMemoryWrite::kNotSent;
  if (model::WriteMacros(session.Protocol(), *macros.Layout(), session.DeviceImage())) {
    return MacroMemoryWrite::kWritten;
  }
  std::string text = "The mouse did not take the whole macro memory";
  if (!session.Protocol().LastFailure().empty()) {
    text += " (" + session.Protocol().LastFailure() + ")";
  }
  text += "; write it again before relying on its macros.";
  session.Observer().ShowMessage({"", text, false});
  return MacroMemoryWrite::kWriteFailed;
}

DeviceMacroResult AddMacroToMouse(session::Session& session, DeviceMacros& macros,
                                  const PCMacroSlot& macro, const ButtonPageView& page) {
  DeviceMacroResult result;
  result.change = macros.AddMacro(macro.name, macro.body);
  if (!result.change.messageKey.empty()) session.Show(result.change.messageKey);
  if (!result.ok()) return result;
  result.written = SaveDeviceMacros(session, macros, page);
  return result;
}

DeviceMacroResult DeleteDeviceMacro(session::Session& session, DeviceMacros& macros, int index,
                                    const ButtonPageView& page) {
  DeviceMacroResult result;
  const std::vector<MacroBinding> bindings = InitKeysParameters(session.DataBuf(), macros);
  result.change = macros.DeleteMacro(index);
  if (!result.change.messageKey.empty()) session.Show(result.change.messageKey);
  if (result.change.status == macros::DeviceMacroStatus::kWouldNotReadBack) {
    session.Observer().ShowMessage(
        {"",
         "This macro cannot be deleted on its own: the mouse would read the macros around it "
         "differently. Nothing was changed.",
         false});
  }
  if (!result.ok()) return result;

  result.rebound = RefreshKeysParameters(bindings, index, macros, session.DataBuf());
  if (session.CanWrite()) {
    for (const ReboundKey& key : result.rebound) {
      const auto offset = static_cast<std::uint8_t>(model::KeySlotOffset(key.layer, key.slot));
      session.Protocol().WriteProfileBytes(offset, key.code[0], key.code[1], key.code[2],
                                           key.code[3]);
    }
  }
  result.written = SaveDeviceMacros(session, macros, page);
  return result;
}

DeviceMacroExport ExportDeviceMacros(const DeviceMacros& macros,
                                     const std::filesystem::path& chosen) {
  DeviceMacroExport result;
  result.file = WithBinExtension(chosen);
  const std::vector<std::uint8_t> bytes = macros.ExportBytes();
  if (bytes.empty()) {
    result.message = "the mouse's macro memory is not known";
    return result;
  }
  const common::FileResult written = common::WriteFileAtomically(result.file, bytes);
  result.ok = written.ok;
  result.message = written.error;
  return result;
}

}  // namespace corvid::session
