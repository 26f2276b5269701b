// The page buttons: what they need before they open a page, what they send, what they show.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "app/skin/skin_button.h"
#include "app/skin/skin_picture.h"
#include "keys/key_assignment.h"
#include "keys/key_layers.h"
#include "window_bench.h"

using corvid::app::Page;
using corvid::app::testing::WindowBench;

namespace {

// What a user could see of each control of page box `box`, one line per control, by name.
QStringList Describe(corvid::app::MainWindow& window, int box) {
  QStringList lines;
  for (QWidget* control : window.PageBox(box)->findChildren<QWidget*>()) {
    if (control->objectName().isEmpty()) continue;
    QString line = QStringLiteral("%1 %2,%3 %4x%5 hidden=%6 enabled=%7 name=%8")
                       .arg(control->objectName())
                       .arg(control->x())
                       .arg(control->y())
                       .arg(control->width())
                       .arg(control->height())
                       .arg(control->isHidden())
                       .arg(control->isEnabled())
                       .arg(control->accessibleName());
    if (auto* button = qobject_cast<corvid::app::SkinButton*>(control)) {
      line += QStringLiteral(" caption=") + button->Caption();
    }
    if (auto* picture = qobject_cast<corvid::app::SkinPicture*>(control)) {
      line += QStringLiteral(" picture=") + picture->SkinName();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(control))
      line += QStringLiteral(" text=") + edit->text();
    if (auto* label = qobject_cast<QLabel*>(control))
      line += QStringLiteral(" text=") + label->text();
    if (auto* list = qobject_cast<QListWidget*>(control)) {
      line += QStringLiteral(" items=%1 row=%2").arg(list->count()).arg(list->currentRow());
    }
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
      line += QStringLiteral(" items=%1 index=%2").arg(combo->count()).arg(combo->currentIndex());
    }
    line += QStringLiteral(" font=") + control->font().toString();
    lines.push_back(line);
  }
  lines.sort();
  return lines;
}

}  // namespace

class NavigationTest : public QObject {
  Q_OBJECT

 private slots:
  void StartsAsABorderlessWindowOnTheKeyPageWithoutAMouse() {
    WindowBench bench;
    corvid::app::MainWindow& window = *bench.window;
    QCOMPARE(window.size(), QSize(800, 600));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvid88 Gaming Mouse v1.0"));
    QCOMPARE(window.VisiblePageBox(), 1);
    QCOMPARE(window.LayoutError(), QString());
    // The key area is covered until a mouse is read; the main tab and language 1 are selected.
    QVERIFY(!bench.Control("Disable")->isHidden());
    for (int n = 1; n <= 5; ++n) {
      QCOMPARE(bench.PictureOf(QStringLiteral("Img_Main_%1").arg(n)), QStringLiteral("SetS_02"));
      QCOMPARE(bench.PictureOf(QStringLiteral("Img_Lang1_%1").arg(n)), QStringLiteral("SetS_02"));
      QCOMPARE(bench.PictureOf(QStringLiteral("Img_Adv_%1").arg(n)), QStringLiteral("SetS_01"));
    }
    QVERIFY(bench.Reports().empty());
  }

  void APageButtonWithoutAMouseSaysSoAndKeepsThePage() {
    WindowBench bench;
    bench.Click(QStringLiteral("Btn_Adv_1"));
    QCOMPARE(bench.dialogs.messages, QStringList{WindowBench::Text(1, "Str022")});
    QCOMPARE(bench.window->VisiblePageBox(), 1);
    QCOMPARE(bench.window->CurrentPage(), Page::kMain);
  }

  void PagesOpenFromAnyCopyOfTheirButtonAndOnlyLayersAreSent() {
    WindowBench bench;
    bench.Connect();
    QVERIFY(bench.window->Session().IsConnected());
    QVERIFY(bench.Control("Disable")->isHidden());

    struct Step {
      const char* button;
      Page page;
      int box;
      const char* family;
    };
    for (const Step& step : {Step{"Btn_Adv_1", Page::kAdvanced, 2, "Adv"},
                             Step{"Btn_Breath_2", Page::kBreath, 3, "Breath"},
                             Step{"Btn_Macro_3", Page::kMacro, 4, "Macro"}}) {
      bench.Click(QString::fromLatin1(step.button));
      QCOMPARE(bench.window->CurrentPage(), step.page);
      QCOMPARE(bench.window->VisiblePageBox(), step.box);
      for (int n = 1; n <= 5; ++n) {
        QCOMPARE(bench.PictureOf(QStringLiteral("Img_%1_%2").arg(step.family).arg(n)),
                 QStringLiteral("SetS_02"));
        QCOMPARE(bench.PictureOf(QStringLiteral("Img_Main_%1").arg(n)), QStringLiteral("SetS_01"));
      }
    }
    QVERIFY(bench.Reports().empty());

    // Main Control tells the mouse its layer: byte 33 of the parameter section.
    bench.Click(QStringLiteral("Btn_Main_4"));
    QCOMPARE(bench.window->VisiblePageBox(), 1);
    QCOMPARE(bench.Reports(), std::vector<std::string>{"set 40 05 00 21 00 00 00 01"});
    QVERIFY(bench.dialogs.messages.isEmpty());
  }

  void TheExtraLayersNeedTheirKeysFirst() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Switch_1"));
    QCOMPARE(bench.dialogs.messages, QStringList{WindowBench::Text(1, "Str020")});
    QCOMPARE(bench.window->CurrentPage(), Page::kMain);
    QVERIFY(bench.Reports().empty());

    // With a KB switch key in Main Control the switch layer opens and is sent.
    bench.Assign(corvid::keys::kMainLayer, 3, "KB Switch Key");
    bench.trace.str({});
    bench.dialogs.messages.clear();
    bench.Click(QStringLiteral("Btn_Switch_2"));
    QCOMPARE(bench.dialogs.messages, QStringList());
    QCOMPARE(bench.window->CurrentPage(), Page::kSwitch);
    QCOMPARE(bench.Reports(), std::vector<std::string>{"set 40 05 00 21 01 00 00 01"});
    QVERIFY(bench.Control("Disable")->isHidden());
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key3")), WindowBench::Text(1, "Str242"));
  }

  void TheFixedLayerIsShownUnderItsCover() {
    WindowBench bench;
    bench.Connect();
    bench.Assign(corvid::keys::kMainLayer, 3, "KB Switch Key");
    bench.Assign(corvid::keys::kSwitchLayer, 4, "KB Reset Key");
    bench.Click(QStringLiteral("Btn_Fixed_1"));
    QCOMPARE(bench.window->CurrentPage(), Page::kFixed);
    QVERIFY(!bench.Control("Disable")->isHidden());
    QVERIFY(!bench.Control("Key1")->isEnabled());
    bench.Click(QStringLiteral("Btn_Main_1"));
    QVERIFY(bench.Control("Disable")->isHidden());
    QVERIFY(bench.Control("Key1")->isEnabled());
  }

  void AWriteLockedMouseChangesPagesButSendsNothing() {
    WindowBench bench;
    // A mouse whose identity is not accepted is read but locked against writes.
    bench.mouse.SetIdentityBytes(0x12, 0x34);
    bench.Connect();
    QVERIFY(bench.window->Session().WriteLock());
    bench.dialogs.messages.clear();
    bench.Click(QStringLiteral("Btn_Adv_1"));
    bench.Click(QStringLiteral("Btn_Main_1"));
    QCOMPARE(bench.window->CurrentPage(), Page::kMain);
    QVERIFY(bench.Reports().empty());
  }

  // The window builds a page when it is first opened. Opened late, after a language switch and
  // a mouse, a page is what it would have been had every page been built at start.
  void APageBuiltOnItsFirstOpeningIsThePageBuiltAtStart() {
    WindowBench late;
    QVERIFY(late.window->PageBuilt(1));
    for (int n = 2; n <= 5; ++n) QVERIFY(!late.window->PageBuilt(n));
    WindowBench early;
    for (int n = 2; n <= 5; ++n) early.window->EnsurePage(n);
    for (WindowBench* bench : {&early, &late}) {
      bench->window->LanguageButtonClick(2);
      bench->Connect();
    }
    for (const auto& [page, box] :
         {std::pair{Page::kAdvanced, 2}, {Page::kBreath, 3}, {Page::kMacro, 4}}) {
      for (WindowBench* bench : {&early, &late}) {
        QVERIFY(bench->window->PageButtonClick(page));
      }
      QVERIFY(late.window->PageBuilt(box));
      QCOMPARE(Describe(*late.window, box), Describe(*early.window, box));
      QCOMPARE(Describe(*late.window, 1), Describe(*early.window, 1));
      QVERIFY(late.Reports() == early.Reports());
    }
    QCOMPARE(late.dialogs.messages, early.dialogs.messages);
  }

  // A single write is over in the mouse's 100 ms pause: the busy window does not flash up for
  // it. A longer transfer shows it. From the first report on, clicks do not reach the pages.
  void TheBusyWindowComesUpOnlyForLongerTransfersAndClicksWaitForNone() {
    WindowBench bench;
    bench.Connect();
    bench.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(bench.window.get()));
    corvid::app::BusyWindowQt& busy = bench.window->Busy();

    busy.Show();
    QTest::mouseClick(bench.Control("Btn_Adv_1"), Qt::LeftButton);
    busy.ProcessPendingEvents();
    QVERIFY(!busy.isVisible());
    busy.Hide();
    QCOMPARE(bench.window->CurrentPage(), Page::kMain);

    busy.Show();
    QTRY_VERIFY_WITH_TIMEOUT(busy.isVisible(), 5000);
    busy.Hide();
    QVERIFY(!busy.isVisible());
    QTest::qWait(corvid::app::BusyWindowQt::kRevealDelayMs + 50);
    QVERIFY(!busy.isVisible());

    QTest::mouseClick(bench.Control("Btn_Adv_1"), Qt::LeftButton);
    QCOMPARE(bench.window->CurrentPage(), Page::kAdvanced);
  }

  void UnpluggingCoversTheKeysAndSaysTheMouseIsGone() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Adv_1"));
    bench.bus.Unplug(bench.mousePlug);
    bench.window->Session().DevTimerTimer();
    QVERIFY(!bench.window->Session().IsConnected());
    QVERIFY(!bench.Control("Disable")->isHidden());
    QVERIFY(bench.dialogs.messages.last().startsWith(WindowBench::Text(1, "Str100")));
  }
};

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"
