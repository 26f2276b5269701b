#pragma once

// Buttons bound to a device macro carry the macro's body address in their code. Deleting a macro
// moves the later ones (to lower addresses on the EEPROM, one block down in Flash), so the codes
// that point at macros are rebuilt around every delete, and checked against the captions the
// button page shows before every save.

#include <array>
#include <string>
#include <vector>

#include "model/data_buf.h"
#include "model/function_codes.h"
#include "model/section_fields.h"

namespace corvid::macros {

using KeyCaptions = std::array<std::string, model::kSlotsPerLayer>;

// The button page as the window shows it: the captions of Key1..Key12 and the layer on view
// (0 Main, 1 Switch, 2 Fixed Control).
struct ButtonPageView {
  KeyCaptions captions;
  int layer = 0;
};

// The page as the labels would show `dataBuf`: the layer its ActiveLayer names, each caption the
// display text of that layer's code. For callers without a window.
ButtonPageView ButtonPageFromImage(const model::DataBuf& dataBuf,
                                   const model::CodeCaptionContext& context);

// A button slot bound to a device macro, by the macro's list index.
struct MacroBinding {
  int layer = 0;  // 0..2
  int slot = 1;   // 1..12
  int macroIndex = 0;
};

// A slot whose code was changed.
struct ReboundKey {
  int layer = 0;
  int slot = 1;
  model::KeyFunctionCode code{};
  bool fellBack = false;  // its macro is gone: the slot took its fallback function
};

// Before a delete: every slot of the three layers whose code points at the body of a listed
// macro. The address tells which macro a button plays, even where two macros share a name or the
// layer is not the one on view.
std::vector<MacroBinding> InitKeysParameters(const model::DataBuf& dataBuf,
                                             const model::DeviceMacroCatalog& macros);

// After macro `deletedIndex` was deleted and the lists rebuilt: each bound slot, Main before
// Switch before Fixed within a slot, points at its macro's new address, or takes the slot's
// fallback function when its macro was the one deleted. Codes and code texts change in
// `dataBuf`; nothing is sent.
std::vector<ReboundKey> RefreshKeysParameters(const std::vector<MacroBinding>& bindings,
                                              int deletedIndex,
                                              const model::DeviceMacroCatalog& macros,
                                              model::DataBuf& dataBuf);

// Before a save: a macro button of the layer on view whose caption names a macro, but whose code
// points at no macro of that name, is pointed at the first macro of that name. Buttons with other
// functions are never touched, even when a macro shares their caption; nothing is re-pointed on
// the Fixed Control layer.
std::vector<ReboundKey> RefreshMacroAddr(const ButtonPageView& page,
                                         const model::DeviceMacroCatalog& macros,
                                         model::DataBuf& dataBuf);

}  // namespace corvid::macros
