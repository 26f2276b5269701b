// The Advanced page: DPI levels, their colours, the aim DPI and the report rate write what the
// command-line tool writes for the same change; the pointer bars follow the desktop's settings.

#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <functional>
#include <optional>

#include "cli_twin.h"
#include "keys/fire_aim_keys.h"
#include "performance/dpi.h"
#include "performance/report_rate.h"
#include "window_bench.h"

using corvid::app::testing::CliTwin;
using corvid::app::testing::WindowBench;
using corvid::performance::PointerSetting;
using Lines = std::vector<std::string>;

namespace {

void Press(WindowBench& bench, const QString& name) {
  bench.Control<QAbstractButton>(name)->click();
}

// Segments 1..filled of a bar show its filled picture.
bool BarShows(const WindowBench& bench, const QString& prefix, int count, int filled,
              const QString& filledPicture) {
  for (int segment = 1; segment <= count; ++segment) {
    if ((bench.PictureOf(prefix + QString::number(segment)) == filledPicture) !=
        (segment <= filled)) {
      return false;
    }
  }
  return true;
}

QString Edits(const WindowBench& bench, int level) {
  QStringList channels;
  for (const char* channel : {"R", "G", "B"}) {
    channels << bench.Control<QLineEdit>(QStringLiteral("edt_DPI%1Col%2").arg(level).arg(channel))
                    ->text();
  }
  return channels.join(QLatin1Char(','));
}

// The mouse of the shipped image: eight levels, the sixth current (byte 38 = 0x75); steps
// 800, 1000, 1200, 1600, 2400, 3200, 4800, 6000 (bytes 39..42 = 43 65 98 BA); 1000 Hz.
using Operation = std::function<void(corvid::session::Session&, corvid::pages::PageModel&)>;

struct DpiCase {
  const char* what;
  std::vector<std::pair<int, std::uint8_t>> bank0;
  std::vector<const char*> clicks;
  QColor chosen;  // what the colour chooser answers
  // What the tool sends for the same change; none where the window's memory of an earlier page
  // decides (the tool starts without one).
  Operation twin;
  std::optional<Lines> expected;
  std::function<void(const WindowBench&)> shows;
};

}  // namespace

class AdvancedPageTest : public QObject {
  Q_OBJECT

 private slots:
  void DpiClicksWriteWhatTheToolWrites() {
    using namespace corvid::performance;
    using corvid::pages::PageModel;
    using corvid::session::Session;
    const std::vector<DpiCase> cases{
        {"a step of level 3, then the current level twice",
         {},
         {"Img_DPI3_7"},
         {},
         [](Session& s, PageModel& p) { SetDpiLevelStep(s, p.dpi, 3, 7); },
         Lines{"set 40 05 00 28 66 00 00 01", "set 40 05 00 26 74 00 00 01",
               "set 40 05 00 26 75 00 00 01"},
         [](const WindowBench& bench) {
           QCOMPARE(bench.Control<QLabel>(QStringLiteral("lbl_DPI3Value"))->text(),
                    QStringLiteral("1600"));
           QVERIFY(BarShows(bench, QStringLiteral("Img_DPI3_"), 12, 7, QStringLiteral("Bar2_E")));
         }},
        {"step 12 of level 4 beside step 2 of level 3",
         {{40, 0x62}},
         {"Img_DPI4_12"},
         {},
         [](Session& s, PageModel& p) { SetDpiLevelStep(s, p.dpi, 4, 12); },
         Lines{"set 40 05 00 28 B2 00 00 01", "set 40 05 00 26 74 00 00 01",
               "set 40 05 00 26 75 00 00 01"},
         {}},
        {"the only level stays; the next one is enabled",
         {{38, 0x00}},
         {"lbl_DPI1", "lbl_DPI2"},
         {},
         [](Session& s, PageModel& p) {
           ToggleDpiLevel(s, p.dpi, 1);
           ToggleDpiLevel(s, p.dpi, 2);
         },
         Lines{"set 40 05 00 26 10 00 00 01"},
         [](const WindowBench& bench) {
           QVERIFY(bench.Control(QStringLiteral("Img_DPI2_5"))->isEnabled());
           QVERIFY(!bench.Control(QStringLiteral("Img_DPI3_5"))->isEnabled());
           QCOMPARE(
               bench.Control<corvid::app::SkinButton>(QStringLiteral("lbl_DPI2"))->TextColour(),
               bench.window->Style().dpiEnabled);
         }},
        {"a level far past the last changes nothing but is still written",
         {{38, 0x20}},
         {"lbl_DPI5"},
         {},
         [](Session& s, PageModel& p) { ToggleDpiLevel(s, p.dpi, 5); },
         Lines{"set 40 05 00 26 20 00 00 01"},
         {}},
        {"the current last level is disabled: the level before becomes current",
         {{38, 0x22}},
         {"lbl_DPI3"},
         {},
         [](Session& s, PageModel& p) { ToggleDpiLevel(s, p.dpi, 3); },
         Lines{"set 40 05 00 26 11 00 00 01"},
         [](const WindowBench& bench) {
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_DPI2")), QStringLiteral("CbS_E"));
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_DPI3")), QStringLiteral("CbS_D"));
           QVERIFY(!bench.Control(QStringLiteral("Img_DPI3"))->isEnabled());
           QVERIFY(!bench.Control(QStringLiteral("Img_DPI3_1"))->isEnabled());
           QCOMPARE(
               bench.Control<corvid::app::SkinButton>(QStringLiteral("lbl_DPI3"))->TextColour(),
               bench.window->Style().dpiDisabled);
         }},
        {"a marker makes its level current",
         {},
         {"Img_DPI2"},
         {},
         [](Session& s, PageModel& p) { SelectCurrentDpiLevel(s, p.dpi, 2); },
         Lines{"set 40 05 00 26 71 00 00 01"},
         [](const WindowBench& bench) {
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_DPI2")), QStringLiteral("CbS_E"));
           QCOMPARE(bench.PictureOf(QStringLiteral("Img_DPI6")), QStringLiteral("CbS_D"));
         }},
        {"a chosen colour is kept in 4 bits a channel, the pair's three bytes written",
         {},
         {"lbl_DPI2Col"},
         QColor(255, 128, 16),
         [](Session& s, PageModel& p) {
           SetDpiLevelColour(s, p.dpi, 2, {255, 128, 16});
         },
         {},
         [](const WindowBench& bench) {
           QCOMPARE(Edits(bench, 2), QStringLiteral("15,7,0"));
           QCOMPARE(bench.Control(QStringLiteral("cs_DPI2Col"))->palette().color(QPalette::Window),
                    QColor(255, 119, 0));
         }},
        {"a cancelled colour chooser changes nothing",
         {},
         {"lbl_DPI2Col"},
         QColor(),
         {},
         Lines{},
         [](const WindowBench& bench) { QCOMPARE(Edits(bench, 2), QStringLiteral("0,15,0")); }},
        {"a level the mouse gave no step keeps the one the page showed, and sends it",
         {{39, 0xF3}},
         {"Img_DPI1_1"},
         {},
         {},
         Lines{"set 40 05 00 27 40 00 00 01", "set 40 05 00 26 74 00 00 01",
               "set 40 05 00 26 75 00 00 01"},
         [](const WindowBench& bench) {
           QCOMPARE(bench.Control<QLabel>(QStringLiteral("lbl_DPI2Value"))->text(),
                    QStringLiteral("1000"));
         }},
    };
    for (const DpiCase& c : cases) {
      WindowBench bench;
      for (const auto& [offset, value] : c.bank0) bench.mouse.Bank(0)[offset] = value;
      bench.Connect();
      bench.Click(QStringLiteral("Btn_Adv_1"));
      CliTwin twin(bench.mouse);
      bench.dialogs.colourToChoose = c.chosen;
      for (const char* click : c.clicks) Press(bench, QString::fromLatin1(click));
      const Lines sent = bench.Reports();
      if (c.twin) QCOMPARE(sent, twin.Reports(c.twin));
      if (c.expected) QCOMPARE(sent, *c.expected);
      if (c.shows) c.shows(bench);
      QVERIFY2(bench.dialogs.messages.isEmpty(), c.what);
    }
  }

  void TheAimBarWritesTheAimKeysOrGoesBackWithoutOne() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Adv_1"));
    // The layer on show has no aim key: the user is told, the bar is back at its first step.
    Press(bench, QStringLiteral("Img_AIMDPI_5"));
    QCOMPARE(bench.dialogs.messages,
             QStringList{WindowBench::Text(1, "Str105") + WindowBench::Text(1, "Str004")});
    QVERIFY(bench.Reports().empty());
    QVERIFY(BarShows(bench, QStringLiteral("Img_AIMDPI_"), 12, 1, QStringLiteral("Bar2_E")));
    QCOMPARE(bench.Control<QLabel>(QStringLiteral("lbl_AIMDPIValue"))->text(),
             QStringLiteral("200"));

    // With an aim key on the third button, read in again as the window reads a mouse.
    bench.Assign(1, 3, "AIM Key");
    bench.window->Session().ReFindDev();
    bench.Click(QStringLiteral("Btn_Adv_1"));
    CliTwin twin(bench.mouse);
    bench.trace.str({});
    Press(bench, QStringLiteral("Img_AIMDPI_7"));
    const Lines expected = twin.Reports([](auto& session, auto& pages) {
      corvid::performance::SetAimDpi(session, pages.dpi, 7, [&](int step) {
        return corvid::keys::SettingAIMKey(session, pages.key, step).result;
      });
    });
    QVERIFY(!expected.empty());
    QCOMPARE(bench.Reports(), expected);
    QVERIFY(BarShows(bench, QStringLiteral("Img_AIMDPI_"), 12, 7, QStringLiteral("Bar2_E")));
    QCOMPARE(bench.Control<QLabel>(QStringLiteral("lbl_AIMDPIValue"))->text(),
             QStringLiteral("1600"));
    QCOMPARE(bench.dialogs.messages.size(), 1);
  }

  void AHigherRateThanTheMouseWasReadWithRestartsItAndFindsItAgain() {
    struct Case {
      std::uint8_t loadedBits;  // bits 5..4 of byte 6 as read
      int option;               // 1..4: 125, 250, 500, 1000 Hz
      bool restarts;
    };
    for (const Case& c : {Case{0x00, 4, true}, Case{0x10, 3, true}, Case{0x30, 2, false},
                          Case{0x30, 4, false}, Case{0x20, 2, false}}) {
      WindowBench bench;
      std::uint8_t& rateByte = bench.mouse.Bank(0)[6];
      rateByte = static_cast<std::uint8_t>((rateByte & ~0x30) | c.loadedBits);
      const std::uint8_t written =
          static_cast<std::uint8_t>((rateByte & ~0x30) | (c.option - 1) << 4);
      bench.Connect();
      bench.Click(QStringLiteral("Btn_Adv_1"));
      bench.Click(QStringLiteral("lbl_Rep%1").arg(c.option));

      const Lines sent = bench.Reports();
      QVERIFY(!sent.empty());
      QCOMPARE(QString::fromStdString(sent.front()),
               QString::asprintf("set 40 05 00 06 %02X 00 00 01", written));
      QCOMPARE(bench.mouse.RestartCount(), c.restarts ? 1 : 0);
      QCOMPARE(sent.size() > 1, c.restarts);
      // Back again and read with the new rate, on the same page.
      QVERIFY(bench.window->Session().IsConnected());
      QCOMPARE(bench.window->Session().State(), corvid::session::ConnectionState::kConnected);
      QCOMPARE(bench.window->VisiblePageBox(), 2);
      for (int option = 1; option <= 4; ++option) {
        QCOMPARE(bench.PictureOf(QStringLiteral("Img_Rep%1").arg(option)),
                 option == c.option ? QStringLiteral("RdS_E") : QStringLiteral("RdS_D"));
      }
      // The user saw the mouse leave while it restarted.
      QCOMPARE(bench.dialogs.messages.isEmpty(), !c.restarts);
    }
  }

  void PointerBarsShowTheDesktopsValuesAndEveryClickRewritesAllOfThem() {
    using corvid::platform::GSettingsPointerStore;
    auto desktop = GSettingsPointerStore::ForThisSession();
    QVERIFY(desktop->Write(PointerSetting::kSpeed, 10));
    QVERIFY(desktop->Write(PointerSetting::kDoubleClick, 500));
    WindowBench bench;
    // Sensitivity 10 is step 6; 500 ms lies off the scale and leaves its bar empty.
    QVERIFY(BarShows(bench, QStringLiteral("Img_Spd"), 10, 6, QStringLiteral("Bar1_E")));
    QVERIFY(BarShows(bench, QStringLiteral("Img_DbSpd"), 10, 0, QStringLiteral("Bar1_E")));
    // GNOME keeps no wheel lines: that bar says why it cannot be used.
    const corvid::platform::PointerHome wheel = desktop->Home(PointerSetting::kWheel);
    QVERIFY(!wheel.available);
    for (const char* name : {"Img_ScrSpd1", "Img_ScrSpd10", "lbl_ScrSpd4"}) {
      QWidget* control = bench.Control(QString::fromLatin1(name));
      QVERIFY(!control->isEnabled());
      QCOMPARE(control->toolTip(), QString::fromStdString(wheel.reason));
    }
    QVERIFY(bench.Control(QStringLiteral("Img_Spd3"))->toolTip().isEmpty());

    // A click on the speed bar keeps 500 ms: the double-click bar has no step to write.
    Press(bench, QStringLiteral("Img_Spd8"));
    QCOMPARE(desktop->Read(PointerSetting::kSpeed), std::optional<int>(14));
    QCOMPARE(desktop->Read(PointerSetting::kDoubleClick), std::optional<int>(500));
    QVERIFY(BarShows(bench, QStringLiteral("Img_Spd"), 10, 8, QStringLiteral("Bar1_E")));

    // Step 3 of the double-click bar is 760 ms; the speed is written again from its step.
    QVERIFY(desktop->Write(PointerSetting::kSpeed, 12));
    Press(bench, QStringLiteral("Img_DbSpd3"));
    QCOMPARE(desktop->Read(PointerSetting::kDoubleClick), std::optional<int>(760));
    QCOMPARE(desktop->Read(PointerSetting::kSpeed), std::optional<int>(14));
    QVERIFY(BarShows(bench, QStringLiteral("Img_DbSpd"), 10, 3, QStringLiteral("Bar1_E")));

    // A full read of the mouse reads the desktop again: a value off the scale keeps the step.
    QVERIFY(desktop->Write(PointerSetting::kSpeed, 3));
    QVERIFY(desktop->Write(PointerSetting::kDoubleClick, 270));
    bench.Connect();
    QVERIFY(BarShows(bench, QStringLiteral("Img_Spd"), 10, 8, QStringLiteral("Bar1_E")));
    QVERIFY(BarShows(bench, QStringLiteral("Img_DbSpd"), 10, 10, QStringLiteral("Bar1_E")));
  }
};

QTEST_MAIN(AdvancedPageTest)
#include "advanced_page_test.moc"
