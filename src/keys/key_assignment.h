#pragma once

// Giving a button a function: from the function menus, as a key combination or other code, or as
// a macro stored in the mouse. Each writes the button's code at once; at least one button of a
// layer stays the left button, and a KB switch key sits on the same button in all three layers.

#include <optional>
#include <string>
#include <string_view>

#include "keys/key_layers.h"
#include "keys/key_result.h"
#include "model/function_codes.h"
#include "session/session.h"

namespace corvid::keys {

struct SlotAssignment {
  PageResult result = PageResult::kUnchanged;
  // The caption the slot's label shows now. A choice refused for the left button shows "Left Key"
  // while the slot keeps its old code, until the captions are refreshed.
  std::string caption;
};

// The function menu item with this Tag (900..1502) for slot 1..12 of the layer on show. The aim
// and fire items take their code from `inputs` (the advanced page). In Main Control, assigning or
// replacing a KB switch key gives the button the same code in the other two layers. The KB switch
// item is offered in Main Control only.
SlotAssignment AssignMenuFunction(session::Session& session, const KeyPageState& page, int slot,
                                  int tag, const model::MenuCodeInputs& inputs);

// Whether the key-combination dialog (or another code) may be opened for slot 1..12: not for the
// only label showing "Left Key".
bool CanReplaceSlot(const session::Session& session, const KeyPageState& page, int slot);

// Stores a code of 8 hexadecimal digits in slot 1..12 of the layer on show, the label showing
// `caption`: the key-combination dialog's result, or any code given directly. There is no KB
// switch copying. The only "Left Key" label is refused again here: the dialog does not block the
// page, so the selected slot may have changed since the dialog was opened.
SlotAssignment ApplyAssemblyKey(session::Session& session, const KeyPageState& page, int slot,
                                std::string_view caption, std::string_view codeText);

// Binds slot 1..12 of the layer on show to the macro at `macroIndex` of the mouse's macro list
// (its name becomes the caption, its address the code). No KB switch copying. Not offered on a
// mouse without macro binding; neither is a macro code given to ApplyAssemblyKey.
SlotAssignment BindMacro(session::Session& session, const KeyPageState& page, int slot,
                         const model::DeviceMacroCatalog& macros, int macroIndex);

// The menu item whose caption in `language` is `caption` ("Middle Key"), or whose fixed code is
// `codeText` ("01040000", either case): a function named by text goes through the menu rules, so
// that a KB switch key given as a code is still copied into every layer. Nothing when no item
// matches (key combinations and macros have no item).
std::optional<int> MenuTagOfCaption(int language, std::string_view caption);
std::optional<int> MenuTagOfCode(std::string_view codeText);

}  // namespace corvid::keys
