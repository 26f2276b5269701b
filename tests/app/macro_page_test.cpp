// The macro page: the library's commands, the recorder fed by an input source, the step editor,
// and what Add to Mouse sends.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <thread>

#include "app/dialogs/macro_name_dialog.h"
#include "app/pages/macro_page_view.h"
#include "macros/device_macro_bindings.h"
#include "macros/step_codec.h"
#include "session/device_macro_operations.h"
#include "window_bench.h"

using corvid::app::MacroPageView;
using corvid::app::testing::WindowBench;
using corvid::model::TKeyboardHookKey;
using corvid::platform::InputButton;
using corvid::platform::InputEvent;
namespace macros = corvid::macros;

namespace {

// Events as a desktop input source delivers them: from a thread of its own.
class ScriptedSource final : public corvid::platform::MacroInputSource {
 public:
  explicit ScriptedSource(bool available = true) : available_(available) {}
  bool Start(corvid::platform::InputEventCallback callback) override {
    if (!available_) return false;
    callback_ = std::move(callback);
    return true;
  }
  void Stop() override { callback_ = nullptr; }
  std::string UnavailableReason() const override { return available_ ? "" : "no X11 here"; }

  void Send(std::vector<InputEvent> events) {
    auto callback = callback_;
    std::thread([&] {
      for (const InputEvent& event : events) callback(event);
    }).join();
  }

 private:
  bool available_;
  corvid::platform::InputEventCallback callback_;
};

MacroPageView& PageOf(WindowBench& bench) {
  return dynamic_cast<MacroPageView&>(bench.window->View(4));
}

QByteArray LibraryBytes(WindowBench& bench) {
  QFile file(bench.folder.filePath(QStringLiteral("Corvid88-Macro.bin")));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The body bytes of library slot `slot` as the file holds them, up to `count` bytes.
QByteArray BodyInFile(WindowBench& bench, int slot, int count) {
  return LibraryBytes(bench).mid(272 * slot + 16, count);
}

void NameMacro(WindowBench& bench, const QString& name, const char* command = "Btn_NewMacro") {
  bench.Click(QString::fromLatin1(command));
  auto* dialog = PageOf(bench).NameDialog();
  QVERIFY(dialog->isVisible());
  dialog->findChild<QLineEdit*>(QStringLiteral("Edt_MacroName"))->setText(name);
  dialog->findChild<QAbstractButton*>(QStringLiteral("IB_Confirm"))->click();
  QVERIFY(!dialog->isVisible());
}

// A library macro "Steps" holding `lines`, shown and selected.
void StoreMacro(WindowBench& bench, const macros::MacroLines& lines) {
  NameMacro(bench, QStringLiteral("Steps"));
  const macros::EncodedMacro encoded = macros::MemoToMacro(lines);
  QVERIFY(encoded.ok());
  QVERIFY(bench.window->Session().PcLibrary()->SetMacroBody(0, encoded.body).ok());
  bench.window->RefreshPages();
  bench.Control<QListWidget>("LB_PCMacroName")->setCurrentRow(0);
}

QStringList StepLines(WindowBench& bench) {
  QStringList lines;
  for (const std::string& line : PageOf(bench).Editor().Lines()) {
    lines << QString::fromStdString(line);
  }
  return lines;
}

}  // namespace

class MacroPageTest : public QObject {
  Q_OBJECT

 private slots:
  void TheNameDialogAppliesTheNameRules() {
    WindowBench bench;
    NameMacro(bench, QStringLiteral("Fire"));
    auto* list = bench.Control<QListWidget>("LB_PCMacroName");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(BodyInFile(bench, 0, 0), QByteArray());
    QCOMPARE(LibraryBytes(bench).left(10), QByteArray::fromHex("00460069007200650000"));

    // The same name again, or a rename to its own name, is refused with the language's message.
    NameMacro(bench, QStringLiteral("Fire"));
    NameMacro(bench, QStringLiteral("Fire"), "Btn_NewName");
    QCOMPARE(bench.dialogs.messages, QStringList(2, WindowBench::Text(1, "Str106")));
    QCOMPARE(list->count(), 1);

    // An empty name changes nothing and closes the dialog; Cancel only empties the field.
    NameMacro(bench, QString());
    QCOMPARE(list->count(), 1);
    bench.Click(QStringLiteral("Btn_NewName"));
    auto* dialog = PageOf(bench).NameDialog();
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("Edt_MacroName"));
    QCOMPARE(field->maxLength(), 8);
    field->setText(QStringLiteral("Rapid"));
    dialog->findChild<QAbstractButton*>(QStringLiteral("IB_Cancel"))->click();
    QVERIFY(dialog->isVisible());
    QVERIFY(field->text().isEmpty());
    field->setText(QStringLiteral("Rapid"));
    dialog->findChild<QAbstractButton*>(QStringLiteral("IB_Confirm"))->click();
    QCOMPARE(list->item(0)->text(), QStringLiteral("Rapid"));
    QCOMPARE(bench.dialogs.messages.size(), 2);

    // The captions follow the language the window shows.
    bench.window->LanguageButtonClick(2);
    bench.Click(QStringLiteral("Btn_NewMacro"));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("lbl_MacroName"))->text(),
             WindowBench::Text(2, "Str510"));
  }

  void RecordingAKeyWithoutDelaysStoresItsBody() {
    WindowBench bench;
    NameMacro(bench, QStringLiteral("Fire"));
    auto source = std::make_unique<ScriptedSource>();
    ScriptedSource& events = *source;
    PageOf(bench).SetInputSource(std::move(source));
    bench.Click(QStringLiteral("IB_NoDelay"));
    bench.Click(QStringLiteral("Btn_Start"));
    QVERIFY(PageOf(bench).Recorder().Recording());
    QCOMPARE(bench.PictureOf(QStringLiteral("Img_Start")), QStringLiteral("MacroS_03"));
    QCOMPARE(bench.CaptionOf(QStringLiteral("Btn_Start")), WindowBench::Text(1, "Str401"));
    QVERIFY(!bench.Control("LB_PCMacroName")->isEnabled());

    // The left click on Stop is not recorded while the pointer is over it.
    bench.Enter(QStringLiteral("Btn_Start"));
    events.Send({InputEvent::Key(TKeyboardHookKey::kh_A, true, 1000),
                 InputEvent::Key(TKeyboardHookKey::kh_A, true, 1030),
                 InputEvent::Key(TKeyboardHookKey::kh_A, false, 1100),
                 InputEvent::Button(InputButton::kLeft, true, 1200)});
    QTRY_COMPARE(bench.Control<QListWidget>("LB_macro")->count(), 2);
    QCOMPARE(bench.PictureOf(QStringLiteral("Img_Start")), QStringLiteral("MacroS_03"));
    bench.Click(QStringLiteral("Btn_Start"));

    QVERIFY(!PageOf(bench).Recorder().Recording());
    QCOMPARE(bench.CaptionOf(QStringLiteral("Btn_Start")), WindowBench::Text(1, "Str400"));
    QCOMPARE(StepLines(bench), (QStringList{"00", "1 A CODE:8204", "2 A CODE:0204"}));
    QCOMPARE(bench.Control<QListWidget>("LB_macro")->item(0)->text(), QStringLiteral("A"));
    QCOMPARE(BodyInFile(bench, 0, 6), QByteArray::fromHex("820402040000"));
    QCOMPARE(LibraryBytes(bench).size(), 27200);
    QVERIFY(bench.dialogs.messages.isEmpty());
  }

  void WithoutTheDesktopsInputTheWindowsOwnKeysAreRecordedAndThePageSaysSo() {
    WindowBench bench;
    bench.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(bench.window.get()));
    NameMacro(bench, QStringLiteral("Keys"));
    PageOf(bench).SetInputSource(std::make_unique<ScriptedSource>(false));
    bench.Click(QStringLiteral("IB_NoDelay"));
    bench.Click(QStringLiteral("Btn_Start"));
    QVERIFY(PageOf(bench).RecordingWindowEvents());
    auto* notice = bench.Control<QLabel>("lbl_RecordSource");
    QVERIFY(!notice->isHidden());
    QVERIFY(notice->text().contains(QStringLiteral("no X11 here")));
    QTest::keyClick(bench.window->windowHandle(), Qt::Key_B);
    QTRY_COMPARE(bench.Control<QListWidget>("LB_macro")->count(), 2);
    bench.Click(QStringLiteral("Btn_Start"));
    QVERIFY(notice->isHidden());
    QCOMPARE(BodyInFile(bench, 0, 5), QByteArray::fromHex("8205020500"));
  }

  void DeleteAndInsertEditTheLibraryMacro() {
    WindowBench bench;
    StoreMacro(bench, {"10", "1 A CODE:8204", "0 50", "2 A CODE:0204", "7 FD0A"});
    auto* steps = bench.Control<QListWidget>("LB_macro");
    QCOMPARE(steps->count(), 4);
    QVERIFY(!bench.Control("Btn_Del")->isEnabled());

    // A press goes with its release; the repeat marker goes alone.
    steps->setCurrentRow(0);
    bench.Click(QStringLiteral("Btn_Del"));
    QCOMPARE(StepLines(bench), (QStringList{"10", "0 50", "7 FD0A"}));
    steps->setCurrentRow(1);
    bench.Click(QStringLiteral("Btn_Del"));
    QCOMPARE(BodyInFile(bench, 0, 4), QByteArray::fromHex("FE003200"));

    // X = -10 after the delay.
    steps->setCurrentRow(0);
    bench.Click(QStringLiteral("Btn_Insert"));
    QVERIFY(!bench.Control("Gb_Insert")->isHidden());
    QVERIFY(bench.Control("Gb_Delay")->isHidden());
    QVERIFY(!bench.Control("LB_MacroName")->isEnabled());
    bench.Control<QComboBox>("CB_Insert")->setCurrentIndex(5);
    auto* x = bench.Control<QLineEdit>("edt_XAxisValue");
    QVERIFY(!x->isHidden());
    x->clear();
    QTest::keyClicks(x, QStringLiteral("-10"));
    bench.Click(QStringLiteral("Btn_OK"));
    QVERIFY(bench.Control("Gb_Insert")->isHidden());
    QCOMPARE(StepLines(bench), (QStringList{"10", "0 50", "4 04F60021"}));
    QCOMPARE(steps->currentRow(), 1);
    QCOMPARE(steps->item(1)->text(), QStringLiteral("X-Axis  -10"));
    QCOMPARE(BodyInFile(bench, 0, 8), QByteArray::fromHex("FE003204F6002100"));

    // The repeat field holds its range; Cancel leaves the macro as it was.
    steps->setCurrentRow(0);
    bench.Click(QStringLiteral("Btn_Insert"));
    bench.Control<QComboBox>("CB_Insert")->setCurrentIndex(8);
    auto* repeat = bench.Control<QLineEdit>("edt_Repeat");
    repeat->clear();
    QTest::keyClicks(repeat, QStringLiteral("300"));
    QCOMPARE(repeat->text(), QStringLiteral("255"));
    bench.Click(QStringLiteral("Btn_Cancel"));
    QCOMPARE(StepLines(bench), (QStringList{"10", "0 50", "4 04F60021"}));
    QVERIFY(!bench.Control("Gb_Delay")->isHidden());
    QVERIFY(bench.dialogs.messages.isEmpty());
  }

  void InsertRecordingPutsKeysBeforeTheStepAndOkStoresThem() {
    WindowBench bench;
    StoreMacro(bench, {"00", "7 FD02", "8 FC"});
    auto source = std::make_unique<ScriptedSource>();
    ScriptedSource& events = *source;
    PageOf(bench).SetInputSource(std::move(source));
    bench.Control<QListWidget>("LB_macro")->setCurrentRow(1);
    bench.Click(QStringLiteral("Btn_Insert"));
    bench.Control<QComboBox>("CB_Insert")->setCurrentIndex(2);
    bench.Click(QStringLiteral("IB_InsertNoDelay"));
    bench.Click(QStringLiteral("Btn_InsertStart"));
    QVERIFY(!bench.Control("Btn_OK")->isEnabled());
    events.Send({InputEvent::Key(TKeyboardHookKey::kh_A, true, 10),
                 InputEvent::Key(TKeyboardHookKey::kh_A, false, 20)});
    QTRY_COMPARE(bench.Control<QListWidget>("LB_macro")->count(), 4);
    bench.Click(QStringLiteral("Btn_InsertStart"));
    bench.Click(QStringLiteral("Btn_OK"));
    QCOMPARE(StepLines(bench),
             (QStringList{"00", "7 FD02", "1 A CODE:8204", "2 A CODE:0204", "8 FC"}));
    QCOMPARE(BodyInFile(bench, 0, 8), QByteArray::fromHex("FD0282040204FC00"));
  }

  void AddToMouseSendsWhatTheCommandLineSends() {
    const macros::MacroLines lines{"00", "1 LeftKey CODE:00A1", "2 LeftKey CODE:0021"};
    WindowBench window;
    window.Connect();
    StoreMacro(window, lines);
    window.trace.str({});
    window.Click(QStringLiteral("Btn_AddMacro"));
    const std::vector<std::string> sent = window.Reports();
    QVERIFY(!sent.empty());
    auto* deviceList = window.Control<QListWidget>("LB_MacroName");
    QCOMPARE(deviceList->count(), 1);
    QCOMPARE(deviceList->item(0)->text(), QStringLiteral("Steps"));

    // The command line's add: the same operation on the page its labels would show.
    WindowBench cli;
    cli.Connect();
    StoreMacro(cli, lines);
    cli.trace.str({});
    corvid::session::Session& session = cli.window->Session();
    const auto page = macros::ButtonPageFromImage(
        session.DataBuf(), corvid::keys::CaptionContextOf(session, &session.Macros()));
    QVERIFY(corvid::session::AddMacroToMouse(session, session.Macros(),
                                             session.PcLibrary()->Slot(0), page)
                .ok());
    QCOMPARE(sent, cli.Reports());

    // Shown from the mouse, the macro cannot be edited.
    deviceList->setCurrentRow(0);
    QCOMPARE(window.Control<QListWidget>("LB_PCMacroName")->selectedItems().size(), 0);
    QCOMPARE(window.Control<QListWidget>("LB_macro")->count(), 2);
    window.Control<QListWidget>("LB_macro")->setCurrentRow(0);
    QVERIFY(!window.Control("Btn_Del")->isEnabled());
    QVERIFY(!window.Control("Btn_Insert")->isEnabled());

    // Deleting it from the mouse writes and empties the list.
    window.trace.str({});
    window.Click(QStringLiteral("Btn_DelMacro"));
    QVERIFY(!window.Reports().empty());
    QCOMPARE(deviceList->count(), 0);
  }
};

QTEST_MAIN(MacroPageTest)
#include "macro_page_test.moc"
