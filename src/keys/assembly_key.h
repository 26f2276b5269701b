#pragma once

// The key-combination dialog without its window: up to two keys pressed on the PC keyboard plus
// any of the four modifiers Ctrl, Shift, Alt and Win chosen with check boxes. It shows the
// combination as text ("Ctrl+Shift+A") and builds the keyboard code of a button from it ("02",
// the modifier bits, key 1 and key 2 as usage bytes).
//
// The window feeds it the check box changes and the key presses and releases (as key identities),
// shows Text() in its edit field, and on Confirm hands the result to the key page.

#include <cstdint>
#include <optional>
#include <string>

#include "model/key_tables.h"

namespace corvid::keys {

enum class AssemblyModifier { kCtrl, kShift, kAlt, kWin };

// The modifier keys held down on the keyboard when a key is pressed, as the key event reports them.
struct HeldModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool operator==(const HeldModifiers&) const = default;
};

struct AssemblyKeyResult {
  std::string caption;   // "Ctrl+Alt+A+B"; becomes the button's caption
  std::string codeText;  // "02050405"
  bool operator==(const AssemblyKeyResult&) const = default;
};

class AssemblyKeyCapture {
 public:
  // A modifier check box changed. Modifiers come only from the check boxes, never from the keys
  // held on the keyboard.
  void SetModifier(AssemblyModifier modifier, bool checked);
  bool IsModifierChecked(AssemblyModifier modifier) const;

  // A key went down while the combination field has the focus. After two captured keys any press
  // starts a new combination (the checked modifiers stay). The Windows keys, the modifier keys,
  // any key pressed while Shift, Ctrl or Alt is held, and keys that a button cannot store (no
  // usage byte) are then ignored. `held`, when the event reports it, is what is held down now;
  // without it the presses and releases seen so far decide. Returns whether the key was captured.
  bool KeyPressed(model::TKeyboardHookKey key, std::optional<HeldModifiers> held = std::nullopt);
  // A key went up: only a modifier key's release matters.
  void KeyReleased(model::TKeyboardHookKey key);
  // The field lost the keyboard focus: releases it may have missed leave no modifier held.
  void ReleaseAllKeys();

  // The combination as shown: the checked modifiers in the order Ctrl, Shift, Alt, Win, then the
  // captured keys, joined by "+". Empty when nothing is chosen.
  std::string Text() const;
  // Bit 0 Ctrl, bit 1 Shift, bit 2 Alt, bit 3 Win.
  std::uint8_t ModifierByte() const;
  int KeyCount() const { return keyCount_; }
  std::uint8_t Key1Usage() const { return key1Usage_; }
  std::uint8_t Key2Usage() const { return key2Usage_; }

  // The caption and code to store in the button. Nothing when no modifier is checked and no key
  // was captured: such a code would do nothing, and storing it would wipe the button's function
  // behind an empty caption; the dialog then closes without a result.
  std::optional<AssemblyKeyResult> Confirm() const;

  // Starts over: no keys, no modifiers.
  void Clear();

 private:
  void StartNewCombination();

  bool ctrl_ = false;
  bool shift_ = false;
  bool alt_ = false;
  bool win_ = false;
  int keyCount_ = 0;
  std::uint8_t key1Usage_ = 0;
  std::uint8_t key2Usage_ = 0;
  std::string keysText_;
  HeldModifiers held_;
};

}  // namespace corvid::keys
