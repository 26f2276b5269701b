#include "keys/assembly_key.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace corvid::keys {
namespace {

using K = model::TKeyboardHookKey;
using M = AssemblyModifier;

// One thing the user does in the dialog.
struct Step {
  enum class Kind { kCheck, kUncheck, kPress, kPressHeld, kRelease, kClear } kind;
  M modifier = M::kCtrl;
  K key = K::kh_None;
  HeldModifiers held{};
};

Step Check(M m) { return {Step::Kind::kCheck, m}; }
Step Uncheck(M m) { return {Step::Kind::kUncheck, m}; }
Step Press(K key) { return {Step::Kind::kPress, M::kCtrl, key}; }
Step PressHeld(K key, HeldModifiers held) { return {Step::Kind::kPressHeld, M::kCtrl, key, held}; }
Step Release(K key) { return {Step::Kind::kRelease, M::kCtrl, key}; }
Step ClearAll() { return {Step::Kind::kClear}; }

void Apply(AssemblyKeyCapture& dialog, const Step& step) {
  switch (step.kind) {
    case Step::Kind::kCheck:
      dialog.SetModifier(step.modifier, true);
      break;
    case Step::Kind::kUncheck:
      dialog.SetModifier(step.modifier, false);
      break;
    case Step::Kind::kPress:
      dialog.KeyPressed(step.key);
      break;
    case Step::Kind::kPressHeld:
      dialog.KeyPressed(step.key, step.held);
      break;
    case Step::Kind::kRelease:
      dialog.KeyReleased(step.key);
      break;
    case Step::Kind::kClear:
      dialog.Clear();
      break;
  }
}

struct SequenceCase {
  const char* what;
  std::vector<Step> steps;
  std::string text;
  std::optional<std::string> code;  // nothing: Confirm gives no result
};

TEST(AssemblyKeyTest, KeySequencesGiveTextAndCode) {
  const HeldModifiers shiftHeld{.shift = true};
  const HeldModifiers ctrlHeld{.ctrl = true};
  const HeldModifiers altHeld{.alt = true};
  const SequenceCase cases[] = {
      {"modifiers then a key",
       {Check(M::kCtrl), Check(M::kShift), Press(K::kh_A)},
       "Ctrl+Shift+A",
       "02030400"},
      {"two keys then a modifier",
       {Press(K::kh_A), Press(K::kh_B), Check(M::kAlt)},
       "Alt+A+B",
       "02040405"},
      {"modifiers keep their order whatever the checking order",
       {Check(M::kAlt), Press(K::kh_A), Press(K::kh_B), Check(M::kCtrl)},
       "Ctrl+Alt+A+B",
       "02050405"},
      {"a lone Win", {Check(M::kWin)}, "Win", "02080000"},
      {"a third key starts over and keeps the modifiers",
       {Check(M::kCtrl), Press(K::kh_A), Press(K::kh_B), Press(K::kh_C)},
       "Ctrl+C",
       "02010600"},
      {"an ignored third key still starts over",
       {Check(M::kCtrl), Press(K::kh_A), Press(K::kh_B), Press(K::kh_LWIN)},
       "Ctrl",
       "02010000"},
      {"unchecking the first modifier",
       {Check(M::kCtrl), Check(M::kShift), Press(K::kh_A), Uncheck(M::kCtrl)},
       "Shift+A",
       "02020400"},
      {"unchecking an inner modifier",
       {Check(M::kCtrl), Check(M::kShift), Press(K::kh_A), Uncheck(M::kShift)},
       "Ctrl+A",
       "02010400"},
      {"unchecking the only modifier leaves nothing",
       {Check(M::kCtrl), Uncheck(M::kCtrl)},
       "",
       std::nullopt},
      {"nothing chosen gives no result", {}, "", std::nullopt},
      {"a key typed with Shift held is ignored", {PressHeld(K::kh_A, shiftHeld)}, "", std::nullopt},
      {"so are Ctrl and Alt held",
       {PressHeld(K::kh_A, ctrlHeld), PressHeld(K::kh_B, altHeld), PressHeld(K::kh_C, {})},
       "C",
       "02000600"},
      {"a pressed modifier key counts as held until released",
       {Press(K::kh_LShift), Press(K::kh_A), Release(K::kh_LShift), Press(K::kh_B)},
       "B",
       "02000500"},
      {"the event's own modifier state wins over a missed release",
       {Press(K::kh_RControl), PressHeld(K::kh_A, HeldModifiers{})},
       "A",
       "02000400"},
      {"modifier and Windows keys are never captured",
       {Press(K::kh_LWIN), Release(K::kh_LWIN), Press(K::kh_RWIN), Press(K::kh_Control),
        Release(K::kh_Control), Press(K::kh_RAlt), Release(K::kh_RAlt), Press(K::kh_F5)},
       "F5",
       "02003E00"},
      {"a key the mouse cannot send is ignored",
       {Press(K::kh_A), Press(K::kh_Launch_App1), Press(K::kh_None), Press(K::kh_Return_KP)},
       "A",
       "02000400"},
      {"key names with spaces and media keys",
       {Press(K::kh_Space), Press(K::kh_Volume_Up)},
       "Space bar+Volume_Up",
       "02002CC5"},
      {"Clear forgets keys and modifiers",
       {Check(M::kCtrl), Press(K::kh_B), ClearAll(), Press(K::kh_A)},
       "A",
       "02000400"},
  };
  for (const SequenceCase& c : cases) {
    SCOPED_TRACE(c.what);
    AssemblyKeyCapture dialog;
    for (const Step& step : c.steps) Apply(dialog, step);
    EXPECT_EQ(dialog.Text(), c.text);
    const std::optional<AssemblyKeyResult> result = dialog.Confirm();
    if (c.code) {
      ASSERT_TRUE(result.has_value());
      EXPECT_EQ(result->codeText, *c.code);
      EXPECT_EQ(result->caption, c.text);
    } else {
      EXPECT_FALSE(result.has_value()) << result->codeText;
    }
  }
}

TEST(AssemblyKeyTest, ClearUnchecksTheBoxesAndTheSecondKeyGoesToByteThree) {
  AssemblyKeyCapture dialog;
  dialog.SetModifier(M::kAlt, true);
  EXPECT_TRUE(dialog.KeyPressed(K::kh_Numpad1));
  EXPECT_TRUE(dialog.KeyPressed(K::kh_Escape));
  EXPECT_EQ(dialog.KeyCount(), 2);
  EXPECT_EQ(dialog.Key1Usage(), 0x59);
  EXPECT_EQ(dialog.Key2Usage(), 0x29);
  EXPECT_EQ(dialog.Text(), "Alt+1 (numeric pad)+Esc");

  dialog.Clear();
  EXPECT_FALSE(dialog.IsModifierChecked(M::kAlt));
  EXPECT_EQ(dialog.KeyCount(), 0);
  EXPECT_EQ(dialog.Key1Usage(), 0);
  EXPECT_EQ(dialog.Key2Usage(), 0);
  EXPECT_EQ(dialog.Text(), "");
}

TEST(AssemblyKeyTest, LosingTheFocusReleasesHeldModifiers) {
  AssemblyKeyCapture dialog;
  dialog.KeyPressed(K::kh_LAlt);
  EXPECT_FALSE(dialog.KeyPressed(K::kh_A));
  dialog.ReleaseAllKeys();
  EXPECT_TRUE(dialog.KeyPressed(K::kh_A));
}

}  // namespace
}  // namespace corvid::keys
