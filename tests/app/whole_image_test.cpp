// The border's Save, Load and Reset, and the Update page: what reaches the mouse and the files.

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include "window_bench.h"

using corvid::app::Page;
using corvid::app::testing::BenchOptions;
using corvid::app::testing::WindowBench;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

bool HasReportStartingWith(const WindowBench& bench, const std::string& start) {
  for (const std::string& line : bench.Reports()) {
    if (line.starts_with(start)) return true;
  }
  return false;
}

}  // namespace

class WholeImageTest : public QObject {
  Q_OBJECT

 private slots:
  void WithoutAMouseSaveLoadAndResetSaySoAndTouchNothing() {
    WindowBench bench;
    for (const char* button : {"Btn_Save_1", "Btn_Load_2", "Btn_Reset_3"}) {
      bench.Click(QString::fromLatin1(button));
    }
    QCOMPARE(bench.dialogs.messages, QStringList(3, WindowBench::Text(1, "Str022")));
    QVERIFY(bench.Reports().empty());
  }

  void AProfileSavedThroughTheChooserLoadsBackIntoTheMouse() {
    QTemporaryDir folder;
    WindowBench bench;
    bench.Connect();
    bench.dialogs.fileToSave = folder.filePath(QStringLiteral("mine"));
    bench.Click(QStringLiteral("Btn_Save_2"));
    QFile saved(folder.filePath(QStringLiteral("mine.bin")));
    QVERIFY(saved.exists());
    QCOMPARE(saved.size(), 768);
    QVERIFY(bench.Reports().empty());

    bench.dialogs.fileToOpen = saved.fileName();
    bench.Click(QStringLiteral("Btn_Load_4"));
    // The whole parameter section goes to the mouse, the poll is back on afterwards.
    QVERIFY(HasReportStartingWith(bench, "set 40 05 00 00"));
    QVERIFY(bench.window->DevTimer().isActive() || bench.window->Session().IsConnected());
    QVERIFY(!bench.window->Busy().IsBusy());
    QVERIFY(bench.dialogs.messages.isEmpty());
  }

  void ACancelledChooserSendsNothing() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Load_1"));
    bench.Click(QStringLiteral("Btn_Save_1"));
    QVERIFY(bench.Reports().empty());
    QVERIFY(bench.dialogs.messages.isEmpty());
  }

  void ResetWritesTheDefaultsWithoutAQuestion() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Reset_5"));
    QVERIFY(HasReportStartingWith(bench, "set 40 05 00 00"));
    QVERIFY(bench.dialogs.messages.isEmpty());
    QVERIFY(!bench.window->Busy().IsBusy());
  }

  void TheUpdatePageBelongsToFlashMice() {
    WindowBench i2c;
    i2c.Connect();
    QVERIFY(i2c.Control("Btn_Update_1")->isHidden());

    WindowBench flash(BenchOptions{corvid::device::MemoryLayout::LayoutFlashFlash, true, 1});
    flash.Connect();
    QVERIFY(flash.window->Session().IsConnected());
    QVERIFY(!flash.Control("Btn_Update_1")->isHidden());
    // It stays so through a language switch.
    flash.window->LanguageButtonClick(2);
    QVERIFY(!flash.Control("Btn_Update_3")->isHidden());
    i2c.window->LanguageButtonClick(2);
    QVERIFY(i2c.Control("Btn_Update_3")->isHidden());
  }

  void TheUpdatePageProgramsALoadedFileAndFindsTheMouseAgain() {
    QTemporaryDir folder;
    WindowBench bench(BenchOptions{corvid::device::MemoryLayout::LayoutFlashFlash, true, 1});
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Update_2"));
    QCOMPARE(bench.window->CurrentPage(), Page::kUpdate);
    QCOMPARE(bench.window->VisiblePageBox(), 5);

    // Update before any file: nothing is sent.
    bench.Click(QStringLiteral("Btn_Program"));
    QVERIFY(bench.Reports().empty());

    // A file too short to hold the patch is refused and says so.
    const QString shortFile = folder.filePath(QStringLiteral("short.bin"));
    WriteFile(shortFile, QByteArray(0x8000, '\x11'));
    bench.dialogs.fileToOpen = shortFile;
    bench.Click(QStringLiteral("Btn_LoadBIN"));
    QCOMPARE(bench.Control<QLabel>("lbl_LoadBIN")->text(), shortFile);
    QCOMPARE(bench.dialogs.messages, QStringList{WindowBench::Text(1, "Str443")});
    bench.Click(QStringLiteral("Btn_Program"));
    QVERIFY(bench.Reports().empty());

    const QString patchFile = folder.filePath(QStringLiteral("patch.bin"));
    WriteFile(patchFile, QByteArray(0x8000, '\0') + QByteArray(1024, '\0'));
    bench.dialogs.fileToOpen = patchFile;
    bench.Click(QStringLiteral("Btn_LoadBIN"));
    bench.Click(QStringLiteral("Btn_Program"));
    const std::vector<std::string> reports = bench.Reports();
    QVERIFY(!reports.empty());
    QCOMPARE(reports.front(), std::string("set 40 07 C0 00 04 00 00 00"));
    // The header of an all-zero patch ends in the checksum 01 5A.
    QVERIFY(HasReportStartingWith(bench, "set 40 07 10 00 00 10 00 00"));
    QVERIFY(HasReportStartingWith(bench, "set 40 0E"));
    QVERIFY(bench.window->Session().IsConnected());

    // Entering the page again forgets the file.
    bench.Click(QStringLiteral("Btn_Main_1"));
    bench.Click(QStringLiteral("Btn_Update_1"));
    QCOMPARE(bench.Control<QLabel>("lbl_LoadBIN")->text(), QString());
    bench.trace.str({});
    bench.Click(QStringLiteral("Btn_Program"));
    QVERIFY(bench.Reports().empty());
  }
};

QTEST_MAIN(WholeImageTest)
#include "whole_image_test.moc"
