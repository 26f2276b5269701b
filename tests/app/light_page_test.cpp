// The Breathing Light page: the modes the mouse's LED family offers, the step time and the
// colours, each click sending what the command-line tool sends for the same change.

#include <QLineEdit>
#include <QtTest>
#include <functional>
#include <optional>

#include "cli_twin.h"
#include "performance/lighting.h"
#include "window_bench.h"

using corvid::app::testing::CliTwin;
using corvid::app::testing::WindowBench;
using Lines = std::vector<std::string>;

namespace {

void Press(WindowBench& bench, const QString& name) {
  bench.Control<QAbstractButton>(name)->click();
}

bool Shown(const WindowBench& bench, const QString& name) {
  return !bench.Control(name)->isHidden();
}

using Operation = std::function<void(corvid::session::Session&, corvid::pages::PageModel&)>;

struct LightCase {
  const char* what;
  std::uint8_t ledModeByte;  // byte 37 as the mouse holds it
  std::vector<const char*> clicks;
  QColor chosen;  // what the colour chooser answers
  Operation twin;
  Lines expected;
  std::function<void(const WindowBench&)> shows;
};

}  // namespace

class LightPageTest : public QObject {
  Q_OBJECT

 private slots:
  void ClicksWriteWhatTheToolWritesForEachLedFamily() {
    using namespace corvid::performance;
    using corvid::pages::PageModel;
    using corvid::session::Session;
    const std::vector<LightCase> cases{
        {"NT keeps its family bits; off stops the step time",
         0xF2,
         {"lbl_LED5", "lbl_Off", "Img_Fall4"},
         {},
         [](Session& s, PageModel& p) {
           SetLedMode(s, p.lighting, 5);
           SetLedMode(s, p.lighting, 0);
         },
         Lines{"set 40 05 00 25 F5 00 00 01", "set 40 05 00 25 F0 00 00 01"},
         [](const WindowBench& bench) {
           QVERIFY(!Shown(bench, QStringLiteral("lbl_LED4")));
           QVERIFY(!Shown(bench, QStringLiteral("Img_LED4")));
           QVERIFY(Shown(bench, QStringLiteral("lbl_LED5")));
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_Off")), QStringLiteral("RdS_E"));
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_LED5")), QStringLiteral("RdS_D"));
           QVERIFY(!bench.Control(QStringLiteral("Img_Fall4"))->isEnabled());
           QVERIFY(Shown(bench, QStringLiteral("cs_Col1")));
         }},
        {"Sync offers off and two modes, and no colours",
         0x41,
         {"lbl_LED2"},
         {},
         [](Session& s, PageModel& p) { SetLedMode(s, p.lighting, 2); },
         Lines{"set 40 05 00 25 42 00 00 01"},
         [](const WindowBench& bench) {
           for (const char* hidden : {"lbl_LED3", "Img_LED4", "lbl_LED5", "cs_Col1", "lbl_Col7",
                                      "Img_Col4", "cs_DPI1Col", "lbl_DPI8Col"}) {
             QVERIFY2(!Shown(bench, QString::fromLatin1(hidden)), hidden);
           }
           QVERIFY(Shown(bench, QStringLiteral("lbl_LED2")));
           QVERIFY(bench.Control(QStringLiteral("Img_Fall4"))->isEnabled());
         }},
        {"RGB offers every mode; the firmware's bits stay",
         0x34,
         {"lbl_LED1"},
         {},
         [](Session& s, PageModel& p) { SetLedMode(s, p.lighting, 1); },
         Lines{"set 40 05 00 25 31 00 00 01"},
         [](const WindowBench& bench) {
           QVERIFY(Shown(bench, QStringLiteral("lbl_LED4")));
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_LED1")), QStringLiteral("RdS_E"));
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_LED4")), QStringLiteral("RdS_D"));
         }},
        {"step 7 is 35 in both step-time bytes",
         0xF2,
         {"Img_Fall7"},
         {},
         [](Session& s, PageModel& p) { SetLedStepTime(s, p.lighting, 7); },
         Lines{"set 40 05 00 34 23 23 00 02"},
         [](const WindowBench& bench) {
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_Fall7")), QStringLiteral("Bar1_E"));
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_Fall8")), QStringLiteral("Bar1_D"));
         }},
        {"white is 15 a channel",
         0xF2,
         {"lbl_Col1"},
         Qt::white,
         [](Session& s, PageModel& p) {
           SetLedColour(s, p.lighting, 1, {255, 255, 255});
         },
         Lines{"set 40 05 00 36 0F 0F 0F 03"},
         {}},
        {"a channel of 16 is 0; the swatch shows what the mouse keeps",
         0xF2,
         {"lbl_Col3"},
         QColor(16, 255, 32),
         [](Session& s, PageModel& p) {
           SetLedColour(s, p.lighting, 3, {16, 255, 32});
         },
         Lines{"set 40 05 00 3C 00 0F 01 03"},
         [](const WindowBench& bench) {
           QCOMPARE(bench.Control<QLineEdit>(QStringLiteral("Edt_Col3R"))->text(),
                    QStringLiteral("0"));
           QCOMPARE(bench.Control<QLineEdit>(QStringLiteral("Edt_Col3B"))->text(),
                    QStringLiteral("1"));
           QCOMPARE(bench.Control(QStringLiteral("cs_Col3"))->palette().color(QPalette::Window),
                    QColor(0, 255, 17));
         }},
        {"a cancelled colour chooser sends nothing", 0xF2, {"lbl_Col2"}, QColor(), {}, Lines{}, {}},
    };
    for (const LightCase& c : cases) {
      WindowBench bench;
      bench.mouse.Bank(0)[37] = c.ledModeByte;
      bench.Connect();
      bench.Click(QStringLiteral("Btn_Breath_1"));
      CliTwin twin(bench.mouse);
      bench.dialogs.colourToChoose = c.chosen;
      for (const char* click : c.clicks) Press(bench, QString::fromLatin1(click));
      const Lines sent = bench.Reports();
      if (c.twin) QCOMPARE(sent, twin.Reports(c.twin));
      QCOMPARE(sent, c.expected);
      if (c.shows) c.shows(bench);
      QVERIFY2(bench.dialogs.messages.isEmpty(), c.what);
    }
  }

  void TheStepTimeBarShowsTheSmallestStepThatCoversTheStoredTime() {
    struct Case {
      std::uint8_t stored;
      int step;
    };
    for (const Case& c : {Case{0, 1}, Case{5, 1}, Case{14, 3}, Case{50, 10}, Case{255, 10}}) {
      WindowBench bench;
      bench.mouse.Bank(0)[53] = c.stored;
      bench.Connect();
      for (int segment = 1; segment <= 10; ++segment) {
        QCOMPARE(bench.PictureOf(QStringLiteral("Img_Fall%1").arg(segment)),
                 segment <= c.step ? QStringLiteral("Bar1_E") : QStringLiteral("Bar1_D"));
      }
    }
  }
};

QTEST_MAIN(LightPageTest)
#include "light_page_test.moc"
