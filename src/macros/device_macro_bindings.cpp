#include "macros/device_macro_bindings.h"

#include <optional>

#include "model/default_key_functions.h"

namespace corvid::macros {
namespace {

std::uint16_t MacroAddressOf(const model::KeyFunctionCode& code) {
  return static_cast<std::uint16_t>(code[1] << 8 | code[2]);
}

std::optional<int> MacroIndexAt(std::uint16_t address, const model::DeviceMacroCatalog& macros) {
  for (int i = 0; i < macros.MacroCount(); ++i) {
    if (macros.MacroAddress(i) == address) return i;
  }
  return std::nullopt;
}

}  // namespace

ButtonPageView ButtonPageFromImage(const model::DataBuf& dataBuf,
                                   const model::CodeCaptionContext& context) {
  ButtonPageView page;
  const int layer = dataBuf.Parameter().ActiveLayer();
  page.layer = model::IsValidLayer(layer) ? layer : 0;
  for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
    page.captions[static_cast<std::size_t>(slot - 1)] =
        model::CodeDisplayText(dataBuf.SlotCode(page.layer, slot), context).caption;
  }
  return page;
}

std::vector<MacroBinding> InitKeysParameters(const model::DataBuf& dataBuf,
                                             const model::DeviceMacroCatalog& macros) {
  std::vector<MacroBinding> bindings;
  for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
    for (int layer = 0; layer < model::kKeyLayerCount; ++layer) {
      const model::KeyFunctionCode code = dataBuf.SlotCode(layer, slot);
      if (model::ClassOf(code) != model::KeyFunctionClass::Macro) continue;
      if (const auto index = MacroIndexAt(MacroAddressOf(code), macros)) {
        bindings.push_back({layer, slot, *index});
      }
    }
  }
  return bindings;
}

std::vector<ReboundKey> RefreshKeysParameters(const std::vector<MacroBinding>& bindings,
                                              int deletedIndex,
                                              const model::DeviceMacroCatalog& macros,
                                              model::DataBuf& dataBuf) {
  std::vector<ReboundKey> rebound;
  for (const MacroBinding& binding : bindings) {
    ReboundKey key{binding.layer, binding.slot, {}, false};
    const int index =
        binding.macroIndex > deletedIndex ? binding.macroIndex - 1 : binding.macroIndex;
    if (binding.macroIndex == deletedIndex || index >= macros.MacroCount()) {
      key.code = model::DefaultKeyFunctionOf(binding.slot)->bytes;
      key.fellBack = true;
    } else {
      key.code = model::MacroKeyCode(macros.MacroAddress(index));
    }
    dataBuf.SetSlotCode(key.layer, key.slot, key.code);
    rebound.push_back(key);
  }
  return rebound;
}

std::vector<ReboundKey> RefreshMacroAddr(const ButtonPageView& page,
                                         const model::DeviceMacroCatalog& macros,
                                         model::DataBuf& dataBuf) {
  std::vector<ReboundKey> rebound;
  if (page.layer != 0 && page.layer != 1) return rebound;
  for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
    const std::string& caption = page.captions[static_cast<std::size_t>(slot - 1)];
    const model::KeyFunctionCode code = dataBuf.SlotCode(page.layer, slot);
    if (caption.empty() || model::ClassOf(code) != model::KeyFunctionClass::Macro) continue;
    std::optional<int> named;
    bool alreadyNamed = false;
    for (int i = 0; i < macros.MacroCount(); ++i) {
      if (macros.MacroName(i) != caption) continue;
      if (!named) named = i;
      alreadyNamed |= macros.MacroAddress(i) == MacroAddressOf(code);
    }
    if (!named || alreadyNamed) continue;
    ReboundKey key{page.layer, slot, model::MacroKeyCode(macros.MacroAddress(*named)), false};
    dataBuf.SetSlotCode(key.layer, key.slot, key.code);
    rebound.push_back(key);
  }
  return rebound;
}

}  // namespace corvid::macros
