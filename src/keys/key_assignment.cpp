#include "keys/key_assignment.h"

#include <algorithm>

#include "model/key_code_text.h"
#include "shell/language_file.h"

namespace corvid::keys {
namespace {

inline constexpr int kKbSwitchMenuTag = 1002;

std::optional<PageResult> RefuseSlot(session::Session& session, const KeyPageState& page,
                                     int slot) {
  if (!model::IsValidLayer(page.layer) || !model::IsValidSlot(slot)) {
    return PageResult::kInvalidArgument;
  }
  if (const auto refusal = session::RefusePageClick(session)) return refusal;
  if (!IsLayerEditable(page.layer)) return PageResult::kNotOffered;
  return std::nullopt;
}

// Stores the code in the slot of the layer on show and writes it.
PageResult StoreInLayer(session::Session& session, int layer, int slot,
                        const model::SlotBytes& code) {
  SlotWriter writer(session);
  session.DataBuf().SetSlotCode(layer, slot, code);
  writer.Write(layer, slot);
  return writer.Result();
}

}  // namespace

SlotAssignment AssignMenuFunction(session::Session& session, const KeyPageState& page, int slot,
                                  int tag, const model::MenuCodeInputs& inputs) {
  const model::FunctionMenuItem* item = model::FindFunctionMenuItem(tag);
  if (item == nullptr) return {PageResult::kInvalidArgument, {}};
  if (const auto refusal = RefuseSlot(session, page, slot)) return {*refusal, {}};
  // A KB switch key leads from Main Control to Switch Control; there it would lead nowhere.
  if (tag == kKbSwitchMenuTag && page.layer != kMainLayer) return {PageResult::kNotOffered, {}};
  const auto code = model::ParseSlotCodeText(model::CodeForMenuTag(tag, inputs));
  if (!code) return {PageResult::kInvalidArgument, {}};  // an aim or fire setting out of range

  const MarkerCaptions markers = MarkerCaptionsOf(session);
  const auto index = static_cast<std::size_t>(slot - 1);
  const std::string oldCaption = page.captions[index];
  SlotCaptions captions = page.captions;
  captions[index] = session.Text(item->languageKey);
  if (std::find(captions.begin(), captions.end(), markers.leftKey) == captions.end()) {
    return {PageResult::kNoLeftKey, markers.leftKey};
  }

  SlotWriter writer(session);
  session.DataBuf().SetSlotCode(page.layer, slot, *code);
  writer.Write(page.layer, slot);
  // The firmware finds the way back from the other layers on the button that led there.
  if (page.layer == kMainLayer &&
      (captions[index] == markers.kbSwitchKey || oldCaption == markers.kbSwitchKey)) {
    for (const int layer : {kSwitchLayer, kFixedLayer}) {
      session.DataBuf().SetSlotCode(layer, slot, *code);
      writer.Write(layer, slot);
    }
  }
  return {writer.Result(), captions[index]};
}

bool CanReplaceSlot(const session::Session& session, const KeyPageState& page, int slot) {
  return !IsOnlyLeftKey(page.captions, slot, session.Text("Str210"));
}

SlotAssignment ApplyAssemblyKey(session::Session& session, const KeyPageState& page, int slot,
                                std::string_view caption, std::string_view codeText) {
  const auto code = model::ParseSlotCodeText(codeText);
  if (!code) return {PageResult::kInvalidArgument, {}};
  // A macro given as a code is still a macro binding.
  if (model::ClassOf(*code) == model::KeyFunctionClass::Macro && !session.MacroBindingOffered()) {
    return {PageResult::kNotOffered, {}};
  }
  if (const auto refusal = RefuseSlot(session, page, slot)) return {*refusal, {}};
  if (!CanReplaceSlot(session, page, slot)) return {PageResult::kNoLeftKey, session.Text("Str210")};
  return {StoreInLayer(session, page.layer, slot, *code), std::string(caption)};
}

SlotAssignment BindMacro(session::Session& session, const KeyPageState& page, int slot,
                         const model::DeviceMacroCatalog& macros, int macroIndex) {
  if (macroIndex < 0 || macroIndex >= macros.MacroCount())
    return {PageResult::kInvalidArgument, {}};
  if (!session.MacroBindingOffered()) return {PageResult::kNotOffered, {}};
  if (const auto refusal = RefuseSlot(session, page, slot)) return {*refusal, {}};
  if (!CanReplaceSlot(session, page, slot)) return {PageResult::kNoLeftKey, session.Text("Str210")};
  return {
      StoreInLayer(session, page.layer, slot, model::MacroKeyCode(macros.MacroAddress(macroIndex))),
      macros.MacroName(macroIndex)};
}

std::optional<int> MenuTagOfCaption(int language, std::string_view caption) {
  if (caption.empty()) return std::nullopt;
  for (const model::FunctionMenuItem& item : model::FunctionMenuItems()) {
    if (shell::LanguageText(language, item.languageKey) == caption) return item.tag;
  }
  return std::nullopt;
}

std::optional<int> MenuTagOfCode(std::string_view codeText) {
  const auto code = model::ParseSlotCodeText(codeText);
  if (!code) return std::nullopt;
  const std::string canonical = model::SlotCodeText(*code);
  for (const model::FunctionMenuItem& item : model::FunctionMenuItems()) {
    if (!item.code.empty() && item.code == canonical) return item.tag;
  }
  return std::nullopt;
}

}  // namespace corvid::keys
