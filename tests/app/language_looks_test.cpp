// The language switch and the looks of the skinned buttons.

#include <QComboBox>
#include <QLabel>
#include <QtTest>

#include "app/skin/skin.h"
#include "keys/key_layers.h"
#include "window_bench.h"

using corvid::app::Page;
using corvid::app::testing::WindowBench;

class LanguageLooksTest : public QObject {
  Q_OBJECT

 private slots:
  void ASwitchRelabelsTheWindowAndTranslatesOnlyLanguageCaptions() {
    WindowBench bench;
    bench.Connect();
    // Slot 2 carries a caption of no language (a key combination), slot 1 the left button.
    corvid::session::Session& session = bench.window->Session();
    corvid::keys::KeyPageState page = corvid::keys::KeyPageStateOf(
        session.DataBuf(), corvid::keys::CaptionContextOf(session, &session.Macros()));
    QVERIFY(corvid::keys::IsStored(
        corvid::keys::ApplyAssemblyKey(session, page, 2, "Ctrl+Alt+A", "02050400").result));
    bench.window->RefreshPages();
    QCOMPARE(bench.CaptionOf("Key1"), WindowBench::Text(1, "Str210"));
    QCOMPARE(bench.CaptionOf("Key2"), QStringLiteral("Ctrl+Alt+A"));

    bench.Click(QStringLiteral("Btn_Lang2_3"));
    QCOMPARE(bench.window->CurrentLanguage(), 2);
    QCOMPARE(bench.window->LayoutError(), QString());
    for (int n = 1; n <= 5; ++n) {
      QCOMPARE(bench.CaptionOf(QStringLiteral("Btn_Main_%1").arg(n)),
               WindowBench::Text(2, "Str004"));
      QCOMPARE(bench.PictureOf(QStringLiteral("Img_Lang2_%1").arg(n)), QStringLiteral("SetS_02"));
      QCOMPARE(bench.PictureOf(QStringLiteral("Img_Lang1_%1").arg(n)), QStringLiteral("SetS_01"));
      QCOMPARE(bench.PictureOf(QStringLiteral("Img_Base_%1").arg(n)),
               QStringLiteral("L2_BackGround"));
    }
    QCOMPARE(bench.PictureOf("Img_P1"), QStringLiteral("L2_Back1"));
    QCOMPARE(bench.CaptionOf("Key1"), WindowBench::Text(2, "Str210"));
    QCOMPARE(bench.CaptionOf("Key2"), QStringLiteral("Ctrl+Alt+A"));
    QCOMPARE(bench.CaptionOf("Btn_LoadBIN"), WindowBench::Text(2, "Str440"));
    QCOMPARE(bench.Control<QComboBox>("CB_Insert")->itemText(9), WindowBench::Text(2, "Str457"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), WindowBench::Text(2, "Title"));
    // The messages follow the language.
    bench.Click(QStringLiteral("Btn_Switch_1"));
    QCOMPARE(bench.dialogs.messages.last(), WindowBench::Text(2, "Str020"));
  }

  void TheRememberedPageAndInsertChoiceSurviveASwitch() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Macro_1"));
    bench.Control<QComboBox>("CB_Insert")->setCurrentIndex(6);
    bench.Click(QStringLiteral("Btn_Lang2_4"));
    QCOMPARE(bench.window->CurrentPage(), Page::kMacro);
    QCOMPARE(bench.window->VisiblePageBox(), 4);
    QCOMPARE(bench.PictureOf("Img_P4"), QStringLiteral("L2_Back4"));
    QCOMPARE(bench.Control<QComboBox>("CB_Insert")->currentIndex(), 6);
  }

  // The pictures on show at start are decoded on a thread of their own while the window is made.
  void APictureDecodedAheadIsThePictureDecodedWhenAskedFor() {
    corvid::app::Skin ahead;
    ahead.DecodeAhead({QStringLiteral("l2_background"), QStringLiteral("NoSuchPicture"),
                       QStringLiteral("L2_Back1")});
    const corvid::app::Skin onDemand;
    for (const char* name : {"L2_BackGround", "L2_Back1"}) {
      const QImage decoded = ahead.Picture(QString::fromLatin1(name)).toImage();
      QVERIFY(!decoded.isNull());
      QCOMPARE(decoded, onDemand.Picture(QString::fromLatin1(name)).toImage());
    }
    QVERIFY(ahead.Picture(QStringLiteral("NoSuchPicture")).isNull());
  }

  void ButtonsChangeTheirPictureByType() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Adv_1"));
    // Type B: hovered shows SetS_03; leaving the current page's button puts back the selected look.
    bench.Enter(QStringLiteral("Btn_Adv_2"));
    QCOMPARE(bench.PictureOf("Img_Adv_2"), QStringLiteral("SetS_03"));
    bench.Leave(QStringLiteral("Btn_Adv_2"));
    QCOMPARE(bench.PictureOf("Img_Adv_2"), QStringLiteral("SetS_02"));
    bench.Enter(QStringLiteral("Btn_Save_2"));
    bench.Leave(QStringLiteral("Btn_Save_2"));
    QCOMPARE(bench.PictureOf("Img_Save_2"), QStringLiteral("SetS_01"));
    // Type A changes all five copies.
    bench.Enter(QStringLiteral("Btn_Exit_3"));
    for (int n = 1; n <= 5; ++n) {
      QCOMPARE(bench.PictureOf(QStringLiteral("Img_Exit_%1").arg(n)), QStringLiteral("BtnS_02"));
    }
    bench.Leave(QStringLiteral("Btn_Exit_3"));
    QCOMPARE(bench.PictureOf("Img_Exit_5"), QStringLiteral("BtnS_01"));
    // Type C and E.
    bench.Enter(QStringLiteral("Key5"));
    QCOMPARE(bench.PictureOf("Img_Key5"), QStringLiteral("KeyS_02"));
    bench.Leave(QStringLiteral("Key5"));
    QCOMPARE(bench.PictureOf("Img_Key5"), QStringLiteral("KeyS_01"));
    bench.Enter(QStringLiteral("Btn_Program"));
    QCOMPARE(bench.PictureOf("Img_Program"), QStringLiteral("KeyS_02"));
    // Type D: leaving a language button selects the current language's pictures again.
    bench.Enter(QStringLiteral("Btn_Lang1_1"));
    QCOMPARE(bench.PictureOf("Img_Lang1_1"), QStringLiteral("SetS_03"));
    bench.Leave(QStringLiteral("Btn_Lang1_1"));
    QCOMPARE(bench.PictureOf("Img_Lang1_1"), QStringLiteral("SetS_02"));
    // Reset shows its pressed look.
    bench.Click(QStringLiteral("Btn_Reset_2"));
    QCOMPARE(bench.PictureOf("Img_Reset_4"), QStringLiteral("BtnS_03"));
  }

  void AHoveredCaptionRunsAsAMarqueeAndComesBack() {
    WindowBench bench;
    bench.Enter(QStringLiteral("Btn_Main_1"));
    for (int tick = 0; tick < 3; ++tick) bench.window->LabelRunTimer();
    auto* label = bench.Control<corvid::app::SkinButton>("Btn_Main_1");
    QCOMPARE(label->ShownText(), QStringLiteral("n Control    Mai"));
    QCOMPARE(label->Caption(), QStringLiteral("Main Control"));
    bench.Leave(QStringLiteral("Btn_Main_1"));
    QCOMPARE(label->ShownText(), QStringLiteral("Main Control"));
  }

  void AMarqueeUnderThePointerGoesOnInTheNewLanguage() {
    WindowBench bench;
    bench.Enter(QStringLiteral("Btn_Lang2_1"));
    bench.window->LabelRunTimer();
    bench.Click(QStringLiteral("Btn_Lang2_1"));
    bench.window->LabelRunTimer();
    const QString russian = WindowBench::Text(2, "Str012");
    QCOMPARE(bench.Control<corvid::app::SkinButton>("Btn_Lang2_1")->ShownText(),
             russian.mid(1) + QStringLiteral("    ") + russian.at(0));
  }
};

QTEST_MAIN(LanguageLooksTest)
#include "language_looks_test.moc"
