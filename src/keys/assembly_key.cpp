#include "keys/assembly_key.h"

#include <array>

#include "common/hex.h"
#include "model/function_codes.h"

namespace corvid::keys {
namespace {

using K = model::TKeyboardHookKey;

bool IsShiftKey(K key) { return key == K::kh_Shift || key == K::kh_LShift || key == K::kh_RShift; }
bool IsCtrlKey(K key) {
  return key == K::kh_Control || key == K::kh_LControl || key == K::kh_RControl;
}
bool IsAltKey(K key) { return key == K::kh_Alt || key == K::kh_LAlt || key == K::kh_RAlt; }
bool IsWinKey(K key) { return key == K::kh_LWIN || key == K::kh_RWIN; }

}  // namespace

void AssemblyKeyCapture::SetModifier(AssemblyModifier modifier, bool checked) {
  switch (modifier) {
    case AssemblyModifier::kCtrl:
      ctrl_ = checked;
      break;
    case AssemblyModifier::kShift:
      shift_ = checked;
      break;
    case AssemblyModifier::kAlt:
      alt_ = checked;
      break;
    case AssemblyModifier::kWin:
      win_ = checked;
      break;
  }
}

bool AssemblyKeyCapture::IsModifierChecked(AssemblyModifier modifier) const {
  switch (modifier) {
    case AssemblyModifier::kCtrl:
      return ctrl_;
    case AssemblyModifier::kShift:
      return shift_;
    case AssemblyModifier::kAlt:
      return alt_;
    case AssemblyModifier::kWin:
      return win_;
  }
  return false;
}

bool AssemblyKeyCapture::KeyPressed(model::TKeyboardHookKey key,
                                    std::optional<HeldModifiers> held) {
  if (held) held_ = *held;
  // Track the modifier keys themselves, so that a caller without modifier state still has the
  // keys pressed under them ignored.
  if (IsShiftKey(key)) held_.shift = true;
  if (IsCtrlKey(key)) held_.ctrl = true;
  if (IsAltKey(key)) held_.alt = true;

  // A third key starts over, even one that is then ignored.
  if (keyCount_ >= 2) StartNewCombination();

  if (IsWinKey(key) || IsShiftKey(key) || IsCtrlKey(key) || IsAltKey(key)) return false;
  if (held_.shift || held_.ctrl || held_.alt) return false;
  const std::uint8_t usage = model::UsageOfKey(key);
  // A key the mouse cannot send would show in the caption while the code holds nothing.
  if (usage == 0) return false;

  const std::string_view name = model::NameOfKey(key);
  if (keyCount_ == 0) {
    keysText_ = name;
    key1Usage_ = usage;
  } else {
    keysText_ += '+';
    keysText_ += name;
    key2Usage_ = usage;
  }
  ++keyCount_;
  return true;
}

void AssemblyKeyCapture::KeyReleased(model::TKeyboardHookKey key) {
  if (IsShiftKey(key)) held_.shift = false;
  if (IsCtrlKey(key)) held_.ctrl = false;
  if (IsAltKey(key)) held_.alt = false;
}

void AssemblyKeyCapture::ReleaseAllKeys() { held_ = {}; }

std::string AssemblyKeyCapture::Text() const {
  const std::array<std::pair<bool, const char*>, 4> modifiers = {
      {{ctrl_, "Ctrl"}, {shift_, "Shift"}, {alt_, "Alt"}, {win_, "Win"}}};
  std::string text;
  for (const auto& [checked, name] : modifiers) {
    if (!checked) continue;
    if (!text.empty()) text += '+';
    text += name;
  }
  if (!keysText_.empty()) {
    if (!text.empty()) text += '+';
    text += keysText_;
  }
  return text;
}

std::uint8_t AssemblyKeyCapture::ModifierByte() const {
  std::uint8_t byte = 0;
  if (ctrl_) byte |= model::kModifierCtrl;
  if (shift_) byte |= model::kModifierShift;
  if (alt_) byte |= model::kModifierAlt;
  if (win_) byte |= model::kModifierWin;
  return byte;
}

std::optional<AssemblyKeyResult> AssemblyKeyCapture::Confirm() const {
  const std::uint8_t modifiers = ModifierByte();
  if (modifiers == 0 && keyCount_ == 0) return std::nullopt;
  AssemblyKeyResult result;
  result.caption = Text();
  result.codeText = "02";
  common::AppendHexByte(result.codeText, modifiers);
  common::AppendHexByte(result.codeText, key1Usage_);
  common::AppendHexByte(result.codeText, key2Usage_);
  return result;
}

void AssemblyKeyCapture::Clear() {
  ctrl_ = shift_ = alt_ = win_ = false;
  StartNewCombination();
}

void AssemblyKeyCapture::StartNewCombination() {
  keyCount_ = 0;
  key1Usage_ = 0;
  key2Usage_ = 0;
  keysText_.clear();
}

}  // namespace corvid::keys
