#include "macros/macro_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvid::macros {
namespace {

using K = model::TKeyboardHookKey;
using Steps = std::vector<std::string>;

MacroBody BodyOf(const Steps& steps) {
  MacroLines lines{"00"};
  lines.insert(lines.end(), steps.begin(), steps.end());
  const EncodedMacro encoded = MemoToMacro(lines);
  EXPECT_TRUE(encoded.ok());
  return encoded.body;
}

Steps StepsOf(const MacroLines& lines) {
  return lines.empty() ? Steps{} : Steps(lines.begin() + 1, lines.end());
}

// An editor showing a library macro of `steps`, as the library would hold it.
struct EditorFixture {
  explicit EditorFixture(const Steps& steps) {
    editor.ShowLibraryMacro(BodyOf(steps));
    EXPECT_EQ(StepsOf(editor.Lines()), steps);
  }
  MacroRecorder recorder;
  MacroEditor editor{recorder};
};

TEST(MacroEditorTest, DeleteTakesThePartnerAndSelectsBefore) {
  struct Case {
    std::string name;
    Steps steps;
    std::size_t selected;
    Steps expected;
    std::optional<std::size_t> expectedSelection;
  };
  const Case cases[] = {
      {"a press takes its release", {"1 A CODE:8204", "0 50", "2 A CODE:0204"}, 0, {"0 50"}, 0},
      {"a release takes the nearest earlier press",
       {"1 LeftKey CODE:00A1", "0 20", "1 LeftKey CODE:00A1", "2 LeftKey CODE:0021", "0 30"},
       3,
       {"1 LeftKey CODE:00A1", "0 20", "0 30"},
       1},
      {"a press takes the first later line of its key",
       {"1 A CODE:8204", "1 B CODE:8205", "2 A CODE:0204", "2 B CODE:0205"},
       0,
       {"1 B CODE:8205", "2 B CODE:0205"},
       0},
      {"a release at item 1 selects item 0",
       {"1 Ctrl CODE:8101", "2 Ctrl CODE:0101", "0 5"},
       1,
       {"0 5"},
       0},
      {"a repeat start goes alone",
       {"7 FD0A", "1 A CODE:8204", "8 FC"},
       0,
       {"1 A CODE:8204", "8 FC"},
       0},
      {"a pointer move goes alone",
       {"0 10", "3 040A0021", "5 04000A21"},
       1,
       {"0 10", "5 04000A21"},
       0},
      {"a press without a later release goes alone", {"0 10", "1 B CODE:8205"}, 1, {"0 10"}, 0},
      {"a release without an earlier press goes alone",
       {"2 B CODE:0205", "1 C CODE:8206"},
       0,
       {"1 C CODE:8206"},
       0},
      {"the last step leaves nothing selected", {"8 FC"}, 0, {}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditorFixture f(c.steps);
    f.editor.SelectItem(c.selected);
    ASSERT_TRUE(f.editor.StepCommandsAvailable());
    const MacroEdit edit = f.editor.DeleteStep();
    ASSERT_TRUE(edit.ok());
    EXPECT_EQ(StepsOf(f.editor.Lines()), c.expected);
    EXPECT_EQ(edit.body, BodyOf(c.expected));
    EXPECT_EQ(f.editor.SelectedItem(), c.expectedSelection);
  }
}

TEST(MacroEditorTest, InsertChoicesPlaceTheirStep) {
  const Steps shown = {"1 A CODE:8204", "2 A CODE:0204"};
  struct Case {
    InsertChoice choice;
    ValueField field;
    std::string typed;
    std::size_t selected;
    Steps expected;
    std::size_t expectedSelection;
  };
  const Case cases[] = {
      {InsertChoice::kDelayFront,
       ValueField::kInsertDelay,
       "300",
       0,
       {"0 300", "1 A CODE:8204", "2 A CODE:0204"},
       0},
      {InsertChoice::kDelayBack,
       ValueField::kInsertDelay,
       "50",
       0,
       {"1 A CODE:8204", "0 50", "2 A CODE:0204"},
       1},
      {InsertChoice::kXAxisFront,
       ValueField::kXAxis,
       "10",
       1,
       {"1 A CODE:8204", "3 040A0021", "2 A CODE:0204"},
       1},
      {InsertChoice::kXAxisBack,
       ValueField::kXAxis,
       "-10",
       0,
       {"1 A CODE:8204", "4 04F60021", "2 A CODE:0204"},
       1},
      {InsertChoice::kYAxisFront,
       ValueField::kYAxis,
       "127",
       0,
       {"5 04007F21", "1 A CODE:8204", "2 A CODE:0204"},
       0},
      {InsertChoice::kYAxisBack,
       ValueField::kYAxis,
       "-500",
       1,
       {"1 A CODE:8204", "2 A CODE:0204", "6 04008121"},
       2},
      {InsertChoice::kStartRepeat,
       ValueField::kRepeat,
       "300",
       1,
       {"1 A CODE:8204", "7 FDFF", "2 A CODE:0204"},
       1},
      {InsertChoice::kStopRepeat,
       ValueField::kRepeat,
       "",
       0,
       {"1 A CODE:8204", "8 FC", "2 A CODE:0204"},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(InsertChoiceLanguageKey(c.choice)) + " " + c.typed);
    EditorFixture f(shown);
    f.editor.SelectItem(c.selected);
    ASSERT_EQ(f.editor.OpenInsertBox(), EditStatus::kDone);
    EXPECT_FALSE(f.editor.StepCommandsAvailable());
    f.editor.ChooseInsert(c.choice);
    f.editor.SetFieldText(c.field, c.typed);
    const MacroEdit edit = f.editor.ApplyInsert();
    ASSERT_TRUE(edit.ok());
    EXPECT_FALSE(f.editor.InsertBoxOpen());
    EXPECT_EQ(StepsOf(f.editor.Lines()), c.expected);
    EXPECT_EQ(edit.body, BodyOf(c.expected));
    EXPECT_EQ(f.editor.SelectedItem(), c.expectedSelection);
  }
}

TEST(MacroEditorTest, ValueFieldsKeepTheirRange) {
  struct Case {
    ValueField field;
    std::string typed;
    std::string shown;
  };
  const Case cases[] = {
      {ValueField::kRepeat, "300", "255"},
      {ValueField::kRepeat, "0", "1"},
      {ValueField::kRepeat, "-", "-"},
      {ValueField::kRepeat, "", ""},
      {ValueField::kXAxis, "128", "127"},
      {ValueField::kXAxis, "-200", "-127"},
      {ValueField::kYAxis, "a-1b2", "-12"},
      {ValueField::kYAxis, "99999999999", "127"},
      {ValueField::kInsertDelay, "0", "1"},
      {ValueField::kInsertDelay, "99999", "65535"},
      {ValueField::kInsertDelay, "123456", "12345"},
      {ValueField::kInsertDelay, "-5", "5"},
  };
  MacroRecorder recorder;
  MacroEditor editor(recorder);
  EXPECT_EQ(editor.FieldText(ValueField::kInsertDelay), "50");
  EXPECT_EQ(editor.FieldText(ValueField::kXAxis), "12");
  EXPECT_EQ(editor.FieldText(ValueField::kRepeat), "10");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(editor.SetFieldText(c.field, c.typed), c.shown);
    EXPECT_EQ(editor.FieldText(c.field), c.shown);
  }
}

TEST(MacroEditorTest, RefusedInsertsChangeNothingAndKeepTheBoxOpen) {
  struct Case {
    std::string name;
    InsertChoice choice;
    ValueField field;
    std::string typed;
    EditStatus expected;
  };
  const Case cases[] = {
      {"a move of 0", InsertChoice::kXAxisBack, ValueField::kXAxis, "0", EditStatus::kZeroMove},
      {"a lone minus", InsertChoice::kYAxisFront, ValueField::kYAxis, "-", EditStatus::kNotANumber},
      {"an empty repeat", InsertChoice::kStartRepeat, ValueField::kRepeat, "",
       EditStatus::kNotANumber},
      {"an empty delay", InsertChoice::kDelayBack, ValueField::kInsertDelay, "",
       EditStatus::kNotANumber},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditorFixture f({"0 10"});
    f.editor.SelectItem(0);
    ASSERT_EQ(f.editor.OpenInsertBox(), EditStatus::kDone);
    f.editor.ChooseInsert(c.choice);
    f.editor.SetFieldText(c.field, c.typed);
    EXPECT_EQ(f.editor.ApplyInsert().status, c.expected);
    EXPECT_TRUE(f.editor.InsertBoxOpen());
    EXPECT_EQ(StepsOf(f.editor.Lines()), Steps{"0 10"});
  }

  // A macro of 255 bytes of steps has no room for another delay.
  Steps full(85, "0 50");
  EditorFixture f(full);
  f.editor.SelectItem(84);
  ASSERT_EQ(f.editor.OpenInsertBox(), EditStatus::kDone);
  EXPECT_EQ(f.editor.ApplyInsert().status, EditStatus::kTooLong);
  EXPECT_EQ(StepsOf(f.editor.Lines()), full);
}

TEST(MacroEditorTest, StepCommandsNeedALibraryMacroAndAStep) {
  MacroRecorder recorder;
  MacroEditor editor(recorder);
  const MacroBody body = BodyOf({"1 A CODE:8204", "2 A CODE:0204"});
  editor.ShowDeviceMacro(body, 4);
  ASSERT_EQ(editor.StepCount(), 2u);
  editor.SelectItem(0);
  EXPECT_FALSE(editor.StepCommandsAvailable());
  EXPECT_EQ(editor.DeleteStep().status, EditStatus::kNotEditable);
  EXPECT_EQ(editor.OpenInsertBox(), EditStatus::kNotEditable);
  EXPECT_EQ(editor.StepCount(), 2u);

  editor.ShowLibraryMacro(body);
  EXPECT_EQ(editor.DeleteStep().status, EditStatus::kNoStep);
  EXPECT_EQ(editor.OpenInsertBox(), EditStatus::kNoStep);
  editor.SelectItem(2);  // past the steps
  EXPECT_FALSE(editor.StepCommandsAvailable());
}

TEST(MacroEditorTest, RecordingIntoTheMacroThenCancelOrOk) {
  const Steps shown = {"1 A CODE:8204", "2 A CODE:0204"};
  for (const bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    EditorFixture f(shown);
    f.recorder.SetMacroTotal(300);
    f.editor.SelectItem(1);
    ASSERT_EQ(f.editor.OpenInsertBox(7), EditStatus::kDone);
    f.editor.ChooseInsert(InsertChoice::kKeyBack);
    EXPECT_EQ(f.editor.InsertDelayMode(), DelayMode::kRecordedDelay);
    f.editor.SetInsertDelayMode(DelayMode::kNoDelay);
    ASSERT_EQ(f.editor.StartInsertRecording(), EditStatus::kDone);
    EXPECT_EQ(f.editor.ApplyInsert().status, EditStatus::kRecording);
    for (K key : {K::kh_X, K::kh_Y, K::kh_Z}) {
      f.recorder.Key(key, true, 0);
      f.recorder.Key(key, false, 0);
    }
    EXPECT_EQ(f.editor.Lines().size(), 9u);
    f.editor.StopInsertRecording();
    EXPECT_EQ(f.recorder.MacroTotal(), 312);
    const Steps recorded = {"1 A CODE:8204", "2 A CODE:0204", "1 X CODE:821B", "2 X CODE:021B",
                            "1 Y CODE:821C", "2 Y CODE:021C", "1 Z CODE:821D", "2 Z CODE:021D"};
    EXPECT_EQ(StepsOf(f.editor.Lines()), recorded);
    if (ok) {
      const MacroEdit edit = f.editor.ApplyInsert();
      ASSERT_TRUE(edit.ok());
      EXPECT_EQ(edit.body, BodyOf(recorded));
      EXPECT_EQ(f.recorder.MacroTotal(), 312);
    } else {
      EXPECT_EQ(f.editor.CancelInsert(), EditStatus::kDone);
      EXPECT_EQ(StepsOf(f.editor.Lines()), shown);
      EXPECT_EQ(f.editor.SelectedItem(), 1u);
      EXPECT_EQ(f.editor.RememberedTopIndex(), 7);
      EXPECT_EQ(f.recorder.MacroTotal(), 300);
    }
    EXPECT_FALSE(f.editor.InsertBoxOpen());
  }
}

}  // namespace
}  // namespace corvid::macros
