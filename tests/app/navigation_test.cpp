// The page buttons: what they need before they open a page, what they send, what they show.

#include <QtTest>

#include "keys/key_assignment.h"
#include "keys/key_layers.h"
#include "window_bench.h"

using corvid::app::Page;
using corvid::app::testing::WindowBench;

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
