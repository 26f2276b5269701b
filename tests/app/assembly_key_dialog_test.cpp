// The key-combination dialog: keys and boxes in, text and code out, and what Confirm gives the
// selected button.

#include "app/dialogs/assembly_key_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "app/pages/key_page_view.h"
#include "window_bench.h"

using corvid::app::AssemblyKeyDialog;
using corvid::app::KeyPageView;
using corvid::app::testing::WindowBench;
namespace keys = corvid::keys;

namespace {

// One step: "+Ctrl" / "-Ctrl" ticks or clears a box, "Clear" presses Clear, "S-A" presses A with
// Shift held, "held-A" is A repeating while held down, anything else is a key ("A", "Tab").
void Perform(AssemblyKeyDialog& dialog, const QString& step) {
  auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("Edt_Assembly"));
  if (step.startsWith(QLatin1Char('+')) || step.startsWith(QLatin1Char('-'))) {
    dialog.findChild<QCheckBox*>(QStringLiteral("CB_") + step.mid(1))
        ->setChecked(step.startsWith(QLatin1Char('+')));
  } else if (step == QLatin1String("Clear")) {
    dialog.findChild<QPushButton*>(QStringLiteral("IB_Cancel"))->click();
  } else if (step.startsWith(QLatin1String("S-"))) {
    QTest::keyClick(edit, step.at(2).toLatin1(), Qt::ShiftModifier);
  } else if (step.startsWith(QLatin1String("held-"))) {
    const int key = step.at(5).unicode();
    QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, step.mid(5), /*autorep=*/true);
    QCoreApplication::sendEvent(edit, &repeat);
  } else if (step == QLatin1String("Tab")) {
    QTest::keyClick(edit, Qt::Key_Tab);
  } else {
    QTest::keyClick(edit, step.at(0).toLatin1());
  }
}

}  // namespace

class AssemblyKeyDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void KeySequences_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");  // empty: Confirm gives the button nothing
    QTest::newRow("boxes then a key") << "+Ctrl +Shift A"
                                      << "Ctrl+Shift+A"
                                      << "02030400";
    QTest::newRow("keys then a box") << "A B +Alt"
                                     << "Alt+A+B"
                                     << "02040405";
    QTest::newRow("a third key starts over") << "+Ctrl A B C"
                                             << "Ctrl+C"
                                             << "02010600";
    QTest::newRow("first box cleared") << "+Ctrl +Shift A -Ctrl"
                                       << "Shift+A"
                                       << "02020400";
    QTest::newRow("middle box cleared") << "+Ctrl +Shift A -Shift"
                                        << "Ctrl+A"
                                        << "02010400";
    QTest::newRow("the only box cleared") << "+Ctrl -Ctrl"
                                          << ""
                                          << "";
    QTest::newRow("a key under a held Shift") << "S-A"
                                              << ""
                                              << "";
    QTest::newRow("a lone Win") << "+Win"
                                << "Win"
                                << "02080000";
    QTest::newRow("after Clear") << "+Ctrl A Clear A"
                                 << "A"
                                 << "02000400";
    QTest::newRow("a held key is one key") << "A held-A held-A"
                                           << "A"
                                           << "02000400";
    QTest::newRow("Tab is a key") << "Tab"
                                  << "Tab"
                                  << "02002B00";
  }

  void KeySequences() {
    QFETCH(QString, steps);
    QFETCH(QString, text);
    QFETCH(QString, code);
    auto* dialog = new AssemblyKeyDialog(nullptr, {"Assembly Key", "Confirm", "Clear"}, Qt::cyan);
    QPointer<AssemblyKeyDialog> alive(dialog);
    QSignalSpy confirmed(dialog, &AssemblyKeyDialog::Confirmed);
    for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      Perform(*dialog, step);
    }
    QCOMPARE(dialog->CombinationText(), text);
    dialog->findChild<QPushButton*>(QStringLiteral("IB_Confirm"))->click();
    if (code.isEmpty()) {
      QCOMPARE(confirmed.count(), 0);
    } else {
      QCOMPARE(confirmed.count(), 1);
      QCOMPARE(confirmed.at(0).at(0).toString(), text);
      QCOMPARE(confirmed.at(0).at(1).toString(), code);
    }
    // Confirm ends the dialog either way.
    QTRY_VERIFY(alive.isNull());
  }

  void OpensInTheLanguageOnShowAndConfirmGoesToTheSelectedButton() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Lang3_1"));
    auto& keyPage = static_cast<KeyPageView&>(bench.window->View(1));

    bench.Click(QStringLiteral("Key4"));
    bench.Click(QStringLiteral("Key_Assembly"));
    AssemblyKeyDialog* dialog = keyPage.OpenDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("lbl_Assembly"))->text(),
             WindowBench::Text(3, "Str500"));
    QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("IB_Confirm"))->text(),
             WindowBench::Text(3, "Str501"));
    QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("IB_Cancel"))->text(),
             WindowBench::Text(3, "Str502"));
    const QRect window = bench.window->geometry();
    QCOMPARE(dialog->pos(), QPoint(window.x() + 223, window.y() + 250));
    QVERIFY(bench.Reports().empty());

    // The page stays usable: another label chosen meanwhile takes the result.
    bench.Click(QStringLiteral("Key6"));
    for (const char* step : {"+Ctrl", "A", "B"}) Perform(*dialog, QString::fromLatin1(step));
    dialog->findChild<QPushButton*>(QStringLiteral("IB_Confirm"))->click();
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key6")), QStringLiteral("Ctrl+A+B"));
    WindowBench cli;
    cli.Connect();
    corvid::session::Session& session = cli.window->Session();
    const corvid::keys::KeyPageState page{
        keys::kMainLayer, keys::LayerCaptions(session.DataBuf(), keys::kMainLayer,
                                              keys::CaptionContextOf(session, nullptr))};
    QVERIFY(
        keys::IsStored(keys::ApplyAssemblyKey(session, page, 6, "Ctrl+A+B", "02010405").result));
    QCOMPARE(bench.Reports(), cli.Reports());
  }

  void TheOnlyLeftButtonOpensNoDialog() {
    WindowBench bench;
    bench.Connect();
    auto& keyPage = static_cast<KeyPageView&>(bench.window->View(1));
    bench.Click(QStringLiteral("Key1"));
    bench.Click(QStringLiteral("Key_Assembly"));
    QVERIFY(!keyPage.OpenDialog());
  }
};

QTEST_MAIN(AssemblyKeyDialogTest)
#include "assembly_key_dialog_test.moc"
