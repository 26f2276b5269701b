#pragma once

// The step editor of the macro page: deletes a step of the shown library macro (a press together
// with its release), and inserts delays, recorded keys and buttons, pointer moves and repeat
// markers before or after the selected step through the insert box. Device macros are shown but
// cannot be edited.
//
// Every change hands back the new body of the macro; the caller writes it into the library slot and
// saves the library. Items of the step list are lines 1..n of the text form (item i is line i + 1).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "macros/macro_recorder.h"
#include "macros/step_codec.h"

namespace corvid::macros {

// The ten choices of the insert box, in the order of its list.
enum class InsertChoice : std::uint8_t {
  kDelayFront,
  kDelayBack,
  kKeyFront,
  kKeyBack,
  kXAxisFront,
  kXAxisBack,
  kYAxisFront,
  kYAxisBack,
  kStartRepeat,
  kStopRepeat,
};
inline constexpr int kInsertChoiceCount = 10;

// Whether the choice inserts before the selected step (otherwise after it).
bool InsertsBefore(InsertChoice choice);
// The language key of the choice's caption ("Str410" Insert Delay Front ...).
std::string_view InsertChoiceLanguageKey(InsertChoice choice);
// The picture behind the box for the choice: "InsertKeyBase" for the two key choices, else
// "InsertDelayBase".
std::string_view InsertChoiceBackground(InsertChoice choice);
bool IsKeyChoice(InsertChoice choice);

// The value fields of the insert box.
enum class ValueField : std::uint8_t { kInsertDelay, kXAxis, kYAxis, kRepeat };
struct ValueFieldRange {
  int minimum;
  int maximum;
};
ValueFieldRange RangeOf(ValueField field);

enum class EditStatus {
  kDone,
  kNotEditable,  // no library macro is shown
  kNoStep,       // no step is selected
  kBoxClosed,    // the insert box is not open, or already open
  kRecording,    // not while recording into the macro
  kNotANumber,   // the value field holds no number
  kZeroMove,     // a pointer move of 0 is no step
  kTooLong,      // the macro would not fit its 256 bytes; nothing changed
};

struct MacroEdit {
  EditStatus status = EditStatus::kDone;
  // The new body of the library macro; set when the status is kDone.
  MacroBody body{};
  // Bytes of the body with its terminator.
  std::size_t length = 0;

  bool ok() const { return status == EditStatus::kDone; }
};

class MacroEditor {
 public:
  // Recording from the insert box goes through the page's recorder, which the editor does not own.
  explicit MacroEditor(MacroRecorder& recorder) : recorder_(recorder) {}

  // Shows a library macro from its 256-byte slot (its end found by the three-zero rule); its steps
  // can then be edited.
  void ShowLibraryMacro(std::span<const std::uint8_t> slot);
  // Shows a device macro: the steps starting below `count`; not editable.
  void ShowDeviceMacro(std::span<const std::uint8_t> body, std::size_t count);
  void Clear();

  // Line 0 and the step lines; while recording into the macro, the recorder's lines.
  const MacroLines& Lines() const;
  std::size_t StepCount() const { return Lines().empty() ? 0 : Lines().size() - 1; }
  bool Editable() const { return editable_; }

  std::optional<std::size_t> SelectedItem() const;
  // Selects a step; an index past the steps clears the selection.
  void SelectItem(std::optional<std::size_t> item);
  // Whether the step commands (Delete, Insert) may open: a library macro and a selected step.
  bool StepCommandsAvailable() const;

  // Deletes the selected step; a press takes the first later release of the same key or button
  // with it, a release the nearest earlier press. A press or release without its partner goes
  // alone. The step before the deleted one is selected then.
  MacroEdit DeleteStep();

  // The insert box ---------------------------------------------------------------------------

  // Opens the box on the selected step with choice 0, remembering the selection and the list's
  // top index for Cancel.
  EditStatus OpenInsertBox(int topIndex = 0);
  bool InsertBoxOpen() const { return boxOpen_; }
  int RememberedTopIndex() const { return rememberedTopIndex_; }

  // Changes the choice (not while recording); the key choices select recorded delays.
  void ChooseInsert(InsertChoice choice);
  InsertChoice Choice() const { return choice_; }
  void SetInsertDelayMode(DelayMode mode);
  DelayMode InsertDelayMode() const { return insertDelayMode_; }

  // Takes what the user typed into a value field and returns what the field shows: only digits and
  // "-" (digits only, at most 5, for the delay), a number outside the field's range set to the
  // nearest bound.
  std::string SetFieldText(ValueField field, std::string_view text);
  const std::string& FieldText(ValueField field) const;

  // Records keys and buttons into the macro before or after the selected step (key choices only).
  EditStatus StartInsertRecording();
  // Ends it (also when the recorder asked to stop); the recorded lines stay shown until OK encodes
  // them or Cancel drops them.
  void StopInsertRecording();

  // OK: inserts the choice's step (the key choices have inserted theirs already), encodes the
  // macro and closes the box. When refused, nothing changes and the box stays open.
  MacroEdit ApplyInsert();
  // Cancel: closes the box and shows the macro as its body holds it, dropping recorded lines not
  // yet encoded; the running macro total goes back to its value when recording started.
  EditStatus CancelInsert();

 private:
  void Show(std::span<const std::uint8_t> body, std::size_t count, bool editable);
  MacroEdit Commit(MacroLines lines, std::optional<std::size_t> selection);
  std::optional<std::string> InsertLine(EditStatus& status) const;

  MacroRecorder& recorder_;
  MacroLines lines_;
  MacroBody body_{};
  bool editable_ = false;
  std::optional<std::size_t> selected_;

  bool boxOpen_ = false;
  bool boxRecording_ = false;
  InsertChoice choice_ = InsertChoice::kDelayFront;
  DelayMode insertDelayMode_ = DelayMode::kRecordedDelay;
  std::array<std::string, 4> fields_{"50", "12", "12", "10"};
  std::optional<std::size_t> rememberedSelection_;
  int rememberedTopIndex_ = 0;
  std::optional<int> macroTotalAtRecordStart_;
};

}  // namespace corvid::macros
