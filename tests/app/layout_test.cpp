// The layout sections of the three languages applied to the window.

#include <QLabel>
#include <QtTest>

#include "app/skin/layout_applier.h"
#include "shell/layout_file.h"
#include "window_bench.h"

using corvid::app::ApplyLayoutSection;
using corvid::app::KeySlotOfPosition;
using corvid::app::LayoutStyle;
using corvid::app::SkinPicture;
using corvid::app::testing::WindowBench;

namespace {

// Controls of one pair (picture and label, or frame, swatch and click label) share the name
// after their prefix; they lie on each other by design.
QString PairName(const QString& name) {
  for (const char* prefix : {"Img_", "Btn_", "lbl_", "cs_", "edt_", "Edt_", "LED_", "IB_"}) {
    if (name.startsWith(QLatin1String(prefix))) return name.mid(static_cast<int>(strlen(prefix)));
  }
  return name;
}

bool IsPlaced(const QWidget* control) {
  const auto* picture = qobject_cast<const SkinPicture*>(control);
  if (picture && picture->PictureRole() == SkinPicture::Role::kBackground) return false;
  const QString name = control->objectName();
  // Covers, groups and menus lie over other controls on purpose.
  return name != QLatin1String("Disable") && !name.startsWith("gbPage") &&
         !name.startsWith("Gb_") && !name.startsWith("Pnl_") && name != QLatin1String("LB_Name") &&
         !control->parentWidget()->objectName().startsWith("Pnl_");
}

}  // namespace

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void EverySectionPlacesEveryControlInsideTheWindowWithoutOverlaps_data() {
    QTest::addColumn<int>("language");
    for (int language = 1; language <= 3; ++language) {
      QTest::newRow(qPrintable(QStringLiteral("language %1").arg(language))) << language;
    }
  }
  void EverySectionPlacesEveryControlInsideTheWindowWithoutOverlaps() {
    QFETCH(int, language);
    WindowBench bench;
    bench.window->LanguageButtonClick(language);
    QCOMPARE(bench.window->LayoutError(), QString());
    const QRect window(0, 0, 800, 600);
    for (int box = 1; box <= 5; ++box) {
      QWidget* page = bench.window->PageBox(box);
      // What a page shows: its own controls and the border, as they would be seen.
      std::vector<std::pair<QString, QRect>> shown;
      for (QWidget* control : bench.window->Controls().All()) {
        if (!page->isAncestorOf(control) || !IsPlaced(control) || !control->isVisibleTo(page)) {
          continue;
        }
        if (qobject_cast<QLabel*>(control) && qobject_cast<QLabel*>(control)->text().isEmpty()) {
          continue;
        }
        const QRect area(control->mapTo(page, QPoint(0, 0)), control->size());
        QVERIFY2(window.contains(area), qPrintable(control->objectName() + " lies outside"));
        shown.emplace_back(control->objectName(), area);
      }
      for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
          if (PairName(shown[i].first) == PairName(shown[j].first)) continue;
          QVERIFY2(!shown[i].second.intersects(shown[j].second),
                   qPrintable(QStringLiteral("%1 overlaps %2 on page %3")
                                  .arg(shown[i].first, shown[j].first)
                                  .arg(box)));
        }
      }
    }
  }

  void TheThirdLanguageButtonIsShownOnlyByItsOwnSection() {
    WindowBench bench;
    QVERIFY(bench.Control("Btn_Lang3_1")->isHidden());
    bench.window->LanguageButtonClick(3);
    for (int n = 1; n <= 5; ++n) {
      QVERIFY(!bench.Control(QStringLiteral("Btn_Lang3_%1").arg(n))->isHidden());
      QVERIFY(!bench.Control(QStringLiteral("Img_Lang3_%1").arg(n))->isHidden());
    }
  }

  void PageButtonLabelsLeaveTheMarginsOfTheirPicture() {
    WindowBench bench;
    const LayoutStyle& style = bench.window->Style();
    const QWidget* picture = bench.Control("Img_Adv_2");
    const QWidget* label = bench.Control("Btn_Adv_2");
    QCOMPARE(label->x(), picture->x() + style.buttonSpaceFront);
    QCOMPARE(label->y(), picture->y());
    QCOMPARE(label->width(), picture->width() - style.buttonSpaceFront - style.buttonSpaceBack);
    QCOMPARE(label->height(), picture->height());
  }

  void DpiBarsRunUpwardsOrToTheRight() {
    WindowBench bench;
    corvid::app::MainWindow& window = *bench.window;
    const QWidget* first = bench.Control("Img_DPI1_1");
    const QWidget* last = bench.Control("Img_DPI1_12");
    if (window.Style().dpiOrientation == 0) {
      QCOMPARE(last->x(), first->x());
      QCOMPARE(last->y(), first->y() - 11 * first->height());
    } else {
      QCOMPARE(last->y(), first->y());
      QCOMPARE(last->x(), first->x() + 11 * first->width());
    }
  }

  void KeyPositionsPlaceTheSlotsOfTheLedType() {
    QCOMPARE(KeySlotOfPosition("RGB", 4), 10);
    QCOMPARE(KeySlotOfPosition("ZK", 4), 3);
    QCOMPARE(KeySlotOfPosition("NT", 4), 0);
    QCOMPARE(KeySlotOfPosition("NT", 12), 4);
    // With ZK the fourth position shows slot 3 where RGB shows slot 10.
    WindowBench bench;
    const auto layout = corvid::shell::LoadLayoutResource("ORG");
    QVERIFY(layout.has_value());
    LayoutStyle style;
    QVERIFY(ApplyLayoutSection(*layout, 1, "ZK", true, bench.window->Controls(), style).ok);
    const QPoint fourth(*layout->IntegerValue("org1", "Key4_X"),
                        *layout->IntegerValue("org1", "Key4_Y"));
    QCOMPARE(bench.Control("Img_Key3")->pos(), fourth);
    QCOMPARE(bench.Control("Key3")->pos(), fourth);
  }

  void ABadKeyStopsTheApplyThereAndNamesIt() {
    WindowBench bench;
    const auto layout = corvid::shell::LoadLayoutResource("ORG");
    QVERIFY(layout.has_value());
    std::string text =
        "[org1]\nSize_A=9\nColor_A_R=1\nColor_A_G=2\nColor_A_B=3\nBtn_A3_Enable=1\n"
        "Btn_A3_X=600\nBtn_A3_Y=x\n";
    const corvid::shell::LayoutFile broken = corvid::shell::ParseLayoutFile(text).file;
    const QPoint before = bench.Control("Img_Reset_1")->pos();
    LayoutStyle style;
    const auto applied =
        ApplyLayoutSection(broken, 1, "RGB", true, bench.window->Controls(), style);
    QVERIFY(!applied.ok);
    QCOMPARE(applied.badKey, QStringLiteral("Btn_A3_Y"));
    QCOMPARE(bench.Control("Img_Reset_1")->pos(), before);
    QCOMPARE(bench.Control<corvid::app::SkinButton>("Btn_Reset_1")->font().pointSize(), 9);
  }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
