#pragma once

#include <QPointer>
#include <cstdint>
#include <memory>
#include <optional>

#include "app/pages/page_view.h"
#include "macros/macro_editor.h"
#include "macros/macro_recorder.h"
#include "macros/pc_macro_library.h"
#include "platform/input_event.h"

class QListWidget;
class QLineEdit;

namespace corvid::app {

class MacroNameDialog;

// The macro page: the PC library, the mouse's macros, the recorder and the step editor.
class MacroPageView final : public PageView {
  Q_OBJECT

 public:
  explicit MacroPageView(WindowContext context);
  ~MacroPageView() override;

  void Connect() override;
  void ApplyTexts(const shell::LanguageFile& texts) override;
  void Refresh() override;
  void ResetForNoDevice() override;

  // Where the recorder takes key and button events from; by default the X11 session's input,
  // or the window's own events where there is no X11. Tests put a scripted source here.
  void SetInputSource(std::unique_ptr<platform::MacroInputSource> source);
  // Whether the running recording takes the window's own events (the page says so).
  bool RecordingWindowEvents() const { return windowEvents_; }
  const macros::MacroRecorder& Recorder() const { return recorder_; }
  const macros::MacroEditor& Editor() const { return editor_; }
  MacroNameDialog* NameDialog() const { return nameDialog_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Shown { kNothing, kLibrary, kDevice };

  // The library list's commands.
  void Btn_NewMacroClick();
  void Btn_NewNameClick();
  void ApplyMacroName(const QString& name);
  void Btn_DelPCMacroClick();
  void Btn_ImportOneClick();
  void Btn_ImportClick();
  void Btn_ExportOneClick();
  void Btn_ExportClick();
  // The mouse's macros.
  void Btn_AddMacroClick();
  void Btn_DelMacroClick();
  void Btn_DevExportClick();
  // The recorder.
  void Btn_StartClick();
  void SetDelayMode(macros::DelayMode mode);
  void StartRecording();
  void StopRecording();
  void OnInput(const platform::InputEvent& event, std::uint64_t generation);
  bool StartInput();
  void StopInput();
  // The editor.
  void Btn_DelClick();
  void Btn_InsertClick();
  void CB_InsertChange(int index);
  void SetInsertDelayMode(macros::DelayMode mode);
  void Btn_InsertStartClick();
  void StopInsertRecording();
  void Btn_OKClick();
  void Btn_CancelClick();
  void CloseInsertBox();

  macros::PcMacroLibrary* Library() { return Session().PcLibrary(); }
  std::optional<std::size_t> SelectedLibraryMacro() const;
  std::optional<int> SelectedDeviceMacro() const;
  void FillLibraryList(std::optional<std::size_t> select);
  void FillDeviceList(std::optional<int> select);
  void ShowLibraryMacro();
  void ShowDeviceMacro();
  void ClearSteps();
  void FillStepList();
  // Writes an edited or recorded body into the shown library macro and saves the library.
  void StoreBody(std::size_t index, const macros::MacroBody& body);
  void ReportLibraryResult(const macros::PCMacroResult& result);
  void AfterDeviceChange(std::optional<int> select);
  void ShowText(const QString& text);
  void UpdateCommands();
  void ShowDelayRows(const char* prefix, macros::DelayMode mode);
  void GreyEdit(QLineEdit* edit, bool grey);

  macros::MacroRecorder recorder_;
  macros::MacroEditor editor_{recorder_};
  Shown shown_ = Shown::kNothing;
  // The library macro a normal recording goes into.
  std::size_t recordTarget_ = 0;
  macros::PendingMacroName pendingName_ = macros::PendingMacroName::kNone;
  MacroNameDialog* nameDialog_ = nullptr;
  std::unique_ptr<platform::MacroInputSource> input_;
  bool inputChosen_ = false;
  bool windowEvents_ = false;
  // Events queued from the input source's thread carry the recording they belong to, so that
  // late ones of a recording already stopped are dropped.
  std::uint64_t generation_ = 0;
  bool filling_ = false;
  QListWidget* pcList_ = nullptr;
  QListWidget* deviceList_ = nullptr;
  QListWidget* stepList_ = nullptr;
};

}  // namespace corvid::app
