#include "macros/macro_editor.h"

#include <algorithm>

namespace corvid::macros {
namespace {

struct ChoiceEntry {
  bool before;
  std::string_view languageKey;
};
constexpr std::array<ChoiceEntry, kInsertChoiceCount> kChoices{{
    {true, "Str410"},
    {false, "Str411"},
    {true, "Str412"},
    {false, "Str413"},
    {true, "Str450"},
    {false, "Str451"},
    {true, "Str452"},
    {false, "Str453"},
    {true, "Str456"},
    {false, "Str457"},
}};

constexpr std::size_t kDelayFieldLength = 5;
// Kind 1 and 2 lines end in " CODE:" and four hex digits.
constexpr std::size_t kKeyLineTailLength = 10;

const ChoiceEntry& EntryOf(InsertChoice choice) { return kChoices[static_cast<int>(choice)]; }

std::size_t FieldIndex(ValueField field) { return static_cast<std::size_t>(field); }

// The key or button name of a press or release line; empty for other lines.
std::string_view StepName(std::string_view line) {
  if (line.size() <= 2 + kKeyLineTailLength || (line.front() != '1' && line.front() != '2')) {
    return {};
  }
  return line.substr(2, line.size() - 2 - kKeyLineTailLength);
}

}  // namespace

bool InsertsBefore(InsertChoice choice) { return EntryOf(choice).before; }

std::string_view InsertChoiceLanguageKey(InsertChoice choice) {
  return EntryOf(choice).languageKey;
}

bool IsKeyChoice(InsertChoice choice) {
  return choice == InsertChoice::kKeyFront || choice == InsertChoice::kKeyBack;
}

std::string_view InsertChoiceBackground(InsertChoice choice) {
  return IsKeyChoice(choice) ? "InsertKeyBase" : "InsertDelayBase";
}

ValueFieldRange RangeOf(ValueField field) {
  switch (field) {
    case ValueField::kInsertDelay:
      return {kMinimumDelay, kMaximumDelay};
    case ValueField::kXAxis:
    case ValueField::kYAxis:
      return {-127, 127};
    case ValueField::kRepeat:
      break;
  }
  return {1, 255};
}

void MacroEditor::Show(std::span<const std::uint8_t> body, std::size_t count, bool editable) {
  const std::size_t size = std::min(body.size(), kMacroBodySize);
  body_.fill(0);
  std::copy_n(body.begin(), size, body_.begin());
  lines_ = MacroToMemo(std::span<const std::uint8_t>(body_.data(), size), count).lines;
  editable_ = editable;
  selected_.reset();
  boxOpen_ = false;
}

void MacroEditor::ShowLibraryMacro(std::span<const std::uint8_t> slot) {
  Show(slot, FindTerminatorOffset(slot), true);
}

void MacroEditor::ShowDeviceMacro(std::span<const std::uint8_t> body, std::size_t count) {
  Show(body, count, false);
}

void MacroEditor::Clear() {
  lines_.clear();
  body_.fill(0);
  editable_ = false;
  selected_.reset();
  boxOpen_ = false;
}

const MacroLines& MacroEditor::Lines() const { return boxRecording_ ? recorder_.Lines() : lines_; }

std::optional<std::size_t> MacroEditor::SelectedItem() const {
  return boxRecording_ ? recorder_.SelectedItem() : selected_;
}

void MacroEditor::SelectItem(std::optional<std::size_t> item) {
  if (boxRecording_) return;
  selected_ = item && *item < StepCount() ? item : std::nullopt;
}

bool MacroEditor::StepCommandsAvailable() const {
  return editable_ && !boxOpen_ && selected_.has_value();
}

MacroEdit MacroEditor::Commit(MacroLines lines, std::optional<std::size_t> selection) {
  MacroEdit edit;
  const EncodedMacro encoded = MemoToMacro(lines);
  if (!encoded.ok()) {
    edit.status = EditStatus::kTooLong;
    return edit;
  }
  lines_ = std::move(lines);
  body_ = encoded.body;
  selected_ = selection && *selection < StepCount() ? selection : std::nullopt;
  edit.body = encoded.body;
  edit.length = encoded.length;
  return edit;
}

MacroEdit MacroEditor::DeleteStep() {
  if (!editable_) return {EditStatus::kNotEditable};
  if (boxOpen_) return {EditStatus::kBoxClosed};
  if (!selected_) return {EditStatus::kNoStep};
  const std::size_t item = *selected_;
  const std::size_t line = item + 1;
  MacroLines lines = lines_;
  const char kind = lines[line].empty() ? '\0' : lines[line].front();
  const std::string_view name = StepName(lines[line]);

  // The partner line of a press (a later release) or a release (an earlier press).
  std::optional<std::size_t> partner;
  if (!name.empty() && kind == '1') {
    for (std::size_t j = line + 1; j < lines.size() && !partner; ++j) {
      if (StepName(lines[j]) == name) partner = j;
    }
  } else if (!name.empty() && kind == '2') {
    for (std::size_t j = line - 1; j >= 1 && !partner; --j) {
      if (StepName(lines[j]) == name) partner = j;
    }
  }

  std::optional<std::size_t> selection;
  if (partner && kind == '2') {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*partner));
    if (item >= 2) {
      selection = item - 2;
    } else {
      selection = 0;
    }
  } else {
    if (partner) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*partner));
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
    selection = item >= 1 ? item - 1 : 0;
  }
  return Commit(std::move(lines), selection);
}

EditStatus MacroEditor::OpenInsertBox(int topIndex) {
  if (!editable_) return EditStatus::kNotEditable;
  if (boxOpen_) return EditStatus::kBoxClosed;
  if (!selected_) return EditStatus::kNoStep;
  rememberedSelection_ = selected_;
  rememberedTopIndex_ = topIndex;
  macroTotalAtRecordStart_.reset();
  boxOpen_ = true;
  ChooseInsert(InsertChoice::kDelayFront);
  return EditStatus::kDone;
}

void MacroEditor::ChooseInsert(InsertChoice choice) {
  if (boxRecording_) return;
  choice_ = choice;
  if (IsKeyChoice(choice)) insertDelayMode_ = DelayMode::kRecordedDelay;
}

void MacroEditor::SetInsertDelayMode(DelayMode mode) {
  if (!boxRecording_) insertDelayMode_ = mode;
}

std::string MacroEditor::SetFieldText(ValueField field, std::string_view text) {
  std::string kept;
  for (char c : text) {
    const bool digit = c >= '0' && c <= '9';
    if (field == ValueField::kInsertDelay ? digit && kept.size() < kDelayFieldLength
                                          : digit || c == '-') {
      kept.push_back(c);
    }
  }
  const ValueFieldRange range = RangeOf(field);
  std::string& shown = fields_[FieldIndex(field)];
  shown = ClampFieldText(kept, range.minimum, range.maximum);
  return shown;
}

const std::string& MacroEditor::FieldText(ValueField field) const {
  return fields_[FieldIndex(field)];
}

EditStatus MacroEditor::StartInsertRecording() {
  if (!boxOpen_ || !IsKeyChoice(choice_)) return EditStatus::kBoxClosed;
  if (boxRecording_ || recorder_.Recording()) return EditStatus::kRecording;
  if (!selected_) return EditStatus::kNoStep;
  const std::optional<int> delay = FieldNumber(FieldText(ValueField::kInsertDelay));
  const auto placement =
      InsertsBefore(choice_) ? InsertPlacement::kBefore : InsertPlacement::kAfter;
  const int macroTotal = recorder_.MacroTotal();
  if (!recorder_.StartInsert(lines_, *selected_, placement, insertDelayMode_,
                             static_cast<std::uint16_t>(delay.value_or(kInitialDelay)))) {
    return EditStatus::kTooLong;
  }
  macroTotalAtRecordStart_ = macroTotal;
  boxRecording_ = true;
  return EditStatus::kDone;
}

void MacroEditor::StopInsertRecording() {
  if (!boxRecording_) return;
  lines_ = recorder_.Stop();
  selected_ = recorder_.SelectedItem();
  boxRecording_ = false;
}

std::optional<std::string> MacroEditor::InsertLine(EditStatus& status) const {
  const auto number = [&](ValueField field) -> std::optional<int> {
    const std::optional<int> value = FieldNumber(FieldText(field));
    const ValueFieldRange range = RangeOf(field);
    if (!value || *value < range.minimum || *value > range.maximum) {
      status = EditStatus::kNotANumber;
      return std::nullopt;
    }
    return value;
  };
  std::optional<int> value;
  switch (choice_) {
    case InsertChoice::kDelayFront:
    case InsertChoice::kDelayBack:
      if (!(value = number(ValueField::kInsertDelay))) return std::nullopt;
      return DelayStepLine(static_cast<std::uint16_t>(*value));
    case InsertChoice::kXAxisFront:
    case InsertChoice::kXAxisBack:
    case InsertChoice::kYAxisFront:
    case InsertChoice::kYAxisBack: {
      const bool xAxis =
          choice_ == InsertChoice::kXAxisFront || choice_ == InsertChoice::kXAxisBack;
      if (!(value = number(xAxis ? ValueField::kXAxis : ValueField::kYAxis))) return std::nullopt;
      // The mouse has no step for a move of 0.
      if (*value == 0) {
        status = EditStatus::kZeroMove;
        return std::nullopt;
      }
      return PointerMoveStepLine(xAxis, *value);
    }
    case InsertChoice::kStartRepeat:
      if (!(value = number(ValueField::kRepeat))) return std::nullopt;
      return RepeatStartStepLine(static_cast<std::uint8_t>(*value));
    case InsertChoice::kStopRepeat:
      return RepeatEndStepLine();
    case InsertChoice::kKeyFront:
    case InsertChoice::kKeyBack:
      break;
  }
  return std::nullopt;
}

MacroEdit MacroEditor::ApplyInsert() {
  if (!boxOpen_) return {EditStatus::kBoxClosed};
  if (boxRecording_) return {EditStatus::kRecording};
  MacroEdit edit;
  if (IsKeyChoice(choice_)) {
    // The recorded lines are in place already.
    edit = Commit(lines_, selected_);
  } else {
    if (!selected_) return {EditStatus::kNoStep};
    EditStatus status = EditStatus::kDone;
    const std::optional<std::string> line = InsertLine(status);
    if (!line) return {status};
    const std::size_t item = *selected_;
    const bool before = InsertsBefore(choice_);
    MacroLines lines = lines_;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(before ? item + 1 : item + 2), *line);
    edit = Commit(std::move(lines), before ? item : item + 1);
  }
  if (edit.ok()) boxOpen_ = false;
  return edit;
}

EditStatus MacroEditor::CancelInsert() {
  if (!boxOpen_) return EditStatus::kBoxClosed;
  if (boxRecording_) return EditStatus::kRecording;
  if (macroTotalAtRecordStart_) recorder_.SetMacroTotal(*macroTotalAtRecordStart_);
  const MacroBody body = body_;
  ShowLibraryMacro(body);
  SelectItem(rememberedSelection_);
  return EditStatus::kDone;
}

}  // namespace corvid::macros
