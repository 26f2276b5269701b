// The key page's function menus: what a choice sends, the rules that refuse or widen it, where
// the menus open and how the keyboard works them.

#include <QApplication>
#include <QListWidget>
#include <QtTest>

#include "app/pages/key_page_view.h"
#include "window_bench.h"

using corvid::app::SkinButton;
using corvid::app::testing::BenchOptions;
using corvid::app::testing::WindowBench;
namespace keys = corvid::keys;

namespace {

// The reports the command line's `button LAYER SLOT CAPTION` sends for the same choice, from a
// mouse of its own in the same state.
std::vector<std::string> CliReports(const std::vector<std::pair<int, const char*>>& before,
                                    int layer, int slot, const char* caption) {
  WindowBench cli;
  cli.Connect();
  for (const auto& [beforeSlot, beforeCaption] : before) {
    cli.Assign(keys::kMainLayer, beforeSlot, beforeCaption);
  }
  cli.trace.str({});
  cli.Assign(layer, slot, caption);
  return cli.Reports();
}

// The path through the menus to an item: the label, then items pointed at, then the item clicked.
struct MenuPath {
  const char* caption;
  std::vector<const char*> pointed;
  const char* item;
};

void Choose(WindowBench& bench, int slot, const MenuPath& path) {
  bench.Click(QStringLiteral("Key%1").arg(slot));
  for (const char* item : path.pointed) bench.Enter(QString::fromLatin1(item));
  bench.Click(QString::fromLatin1(path.item));
}

bool IsOpen(const WindowBench& bench, const char* panel) {
  return !bench.Control(QString::fromLatin1(panel))->isHidden();
}

}  // namespace

class KeyPageTest : public QObject {
  Q_OBJECT

 private slots:
  void AMenuChoiceSendsWhatTheCommandLineSendsAndShowsItsCaption() {
    const std::vector<MenuPath> paths{
        {"Middle Key", {"Key_Standard"}, "Key_Middle"},
        {"WWW Home", {"Key_WWW"}, "Key_WWWHome"},
        {"DPI +", {"Key_Special"}, "Key_CPII"},
        {"Fire Key2", {"Key_Special", "Key_Fire"}, "Key_Fire2"},
        {"Desktop", {"Key_MyPC"}, "Key_Desktop"},
    };
    for (const MenuPath& path : paths) {
      WindowBench bench;
      bench.Connect();
      Choose(bench, 2, path);
      QVERIFY2(!bench.Reports().empty(), path.caption);
      QCOMPARE(bench.Reports(), CliReports({}, keys::kMainLayer, 2, path.caption));
      QCOMPARE(bench.CaptionOf(QStringLiteral("Key2")), QString::fromLatin1(path.caption));
      // Every menu is shut after a choice.
      for (const char* panel : {"Pnl_Main", "Pnl_Special", "Pnl_FireKey", "Pnl_MseKey"}) {
        QVERIFY(!IsOpen(bench, panel));
      }
    }
  }

  void TheLastLeftButtonKeepsItsJobAndNothingIsSent() {
    WindowBench bench;
    bench.Connect();
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key1")), WindowBench::Text(1, "Str210"));
    Choose(bench, 1, {"Right Key", {"Key_Standard"}, "Key_Right"});
    QVERIFY(bench.Reports().empty());
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key1")), WindowBench::Text(1, "Str210"));

    // With a second left button the first may go.
    Choose(bench, 2, {"Left Key", {"Key_Standard"}, "Key_Left"});
    bench.trace.str({});
    Choose(bench, 1, {"Right Key", {"Key_Standard"}, "Key_Right"});
    QCOMPARE(bench.Reports(), CliReports({{2, "Left Key"}}, keys::kMainLayer, 1, "Right Key"));
  }

  void AKbSwitchKeySitsOnItsButtonInEveryLayer() {
    WindowBench bench;
    bench.Connect();
    Choose(bench, 5, {"KB Switch Key", {"Key_Special"}, "Key_Profile"});
    const std::vector<std::string> assigned = bench.Reports();
    QCOMPARE(assigned.size(), std::size_t{3});
    QCOMPARE(assigned, CliReports({}, keys::kMainLayer, 5, "KB Switch Key"));
    // Replacing it clears it from every layer again; in Switch Control it is not offered.
    bench.trace.str({});
    Choose(bench, 5, {"Middle Key", {"Key_Standard"}, "Key_Middle"});
    QCOMPARE(bench.Reports().size(), std::size_t{3});
    Choose(bench, 5, {"KB Switch Key", {"Key_Special"}, "Key_Profile"});
    bench.Click(QStringLiteral("Btn_Switch_1"));
    QVERIFY(!bench.Control("Key_Profile")->isEnabled());
  }

  void TheMacroEntryIsLeftOutOnAMouseThatCannotPlayMacros() {
    for (const std::uint8_t type : {std::uint8_t{1}, std::uint8_t{4}}) {
      BenchOptions options;
      options.deviceType = type;
      WindowBench bench(options);
      bench.Connect();
      const bool offered = type != 1;
      QCOMPARE(bench.window->Session().MacroBindingOffered(), offered);
      QCOMPARE(!bench.Control("Key_Macro")->isHidden(), offered);
      QCOMPARE(!bench.Control("ST_Macro")->isHidden(), offered);
      const QWidget* menu = bench.Control("Pnl_Main");
      const QWidget* last = bench.Control(offered ? "Key_Macro" : "Key_Assembly");
      QVERIFY(menu->height() > last->geometry().bottom());
      QVERIFY(offered || menu->height() < bench.Control("Key_Macro")->geometry().bottom());
    }
  }

  void MenusOpenBesideTheLabelAndStayInsideTheWindow() {
    WindowBench bench;
    bench.Connect();
    const QRect window = bench.window->rect();
    for (int slot = 1; slot <= 12; ++slot) {
      const QString label = QStringLiteral("Key%1").arg(slot);
      bench.Click(label);
      QWidget* menu = bench.Control("Pnl_Main");
      QVERIFY(IsOpen(bench, "Pnl_Main"));
      QVERIFY2(window.contains(menu->geometry()), qPrintable(label));
      // A corner of the menu is the centre of the label it belongs to, unless an edge moved it.
      const QPoint centre = bench.Control(label)->geometry().center();
      QVERIFY(menu->geometry().contains(centre) ||
              (menu->geometry().adjusted(-1, -1, 1, 1).contains(centre)));
      bench.Enter(QStringLiteral("Key_Special"));
      bench.Enter(QStringLiteral("Key_Fire"));
      for (const char* panel : {"Pnl_Special", "Pnl_FireKey"}) {
        QVERIFY(IsOpen(bench, panel));
        QVERIFY2(window.contains(bench.Control(panel)->geometry()), panel);
      }
      // The cascade does not cover the menu it came from.
      QVERIFY(!bench.Control("Pnl_Special")->geometry().intersects(menu->geometry()));
      // Another category closes the Special panels; the assembly item closes every panel.
      bench.Enter(QStringLiteral("Key_Media"));
      QVERIFY(!IsOpen(bench, "Pnl_Special") && !IsOpen(bench, "Pnl_FireKey"));
      QVERIFY(IsOpen(bench, "Pnl_Media"));
      bench.Enter(QStringLiteral("Key_Assembly"));
      QVERIFY(!IsOpen(bench, "Pnl_Media"));
    }
    // A click on the page background closes them all.
    bench.Click(QStringLiteral("Key3"));
    bench.Enter(QStringLiteral("Key_Standard"));
    QTest::mouseClick(bench.Control("Img_P1"), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!IsOpen(bench, "Pnl_Main") && !IsOpen(bench, "Pnl_MseKey"));
    QVERIFY(bench.Reports().empty());
  }

  void TheKeyboardWorksTheMenus() {
    WindowBench bench;
    bench.Connect();
    bench.window->show();
    QVERIFY(QTest::qWaitForWindowActive(bench.window.get()));
    // The window's own focus: the busy window that a write shows may take the activation.
    corvid::app::MainWindow* window = bench.window.get();
    const auto press = [window](Qt::Key key) {
      QWidget* focus = window->focusWidget();
      QVERIFY(focus);
      QTest::keyClick(focus, key);
    };
    const auto focused = [window] {
      return window->focusWidget() ? window->focusWidget()->objectName() : QString();
    };

    bench.Control("Key3")->setFocus();
    press(Qt::Key_Return);
    QVERIFY(IsOpen(bench, "Pnl_Main"));
    QCOMPARE(focused(), QStringLiteral("Key_Standard"));
    press(Qt::Key_Down);
    QCOMPARE(focused(), QStringLiteral("Key_Special"));
    press(Qt::Key_Right);
    QVERIFY(IsOpen(bench, "Pnl_Special"));
    QCOMPARE(focused(), QStringLiteral("Key_Fire"));
    press(Qt::Key_Escape);
    QVERIFY(!IsOpen(bench, "Pnl_Special"));
    QCOMPARE(focused(), QStringLiteral("Key_Special"));
    press(Qt::Key_Escape);
    QVERIFY(!IsOpen(bench, "Pnl_Main"));
    QCOMPARE(focused(), QStringLiteral("Key3"));
    QVERIFY(bench.Reports().empty());

    // Up from the top wraps to the bottom; Enter on a category opens it, Enter on a function
    // chooses it.
    press(Qt::Key_Down);
    press(Qt::Key_Up);
    QCOMPARE(focused(), QStringLiteral("Key_Macro"));
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    QCOMPARE(focused(), QStringLiteral("Key_Left"));
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key3")), WindowBench::Text(1, "Str212"));
    QCOMPARE(bench.Reports(), CliReports({}, keys::kMainLayer, 3, "Middle Key"));
    QCOMPARE(focused(), QStringLiteral("Key3"));
  }

  void AfterAFullReadTheLayerOnShowIsEnteredAgainWithItsRules() {
    WindowBench bench;
    bench.Connect();
    Choose(bench, 5, {"KB Switch Key", {"Key_Special"}, "Key_Profile"});
    bench.Click(QStringLiteral("Btn_Switch_1"));
    QCOMPARE(bench.window->CurrentPage(), corvid::app::Page::kSwitch);
    const auto replug = [&bench] {
      bench.bus.Unplug(bench.mousePlug);
      bench.window->Session().DevTimerTimer();
      bench.dialogs.messages.clear();
      bench.Connect();
    };

    // The same mouse comes back: Switch Control again, and the read sends no layer.
    replug();
    QCOMPARE(bench.window->CurrentPage(), corvid::app::Page::kSwitch);
    QVERIFY(bench.dialogs.messages.isEmpty());
    QVERIFY(bench.Control("Key5")->isEnabled());
    QVERIFY(bench.Control("Disable")->isHidden());
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key5")), WindowBench::Text(1, "Str242"));

    // A mouse without a KB switch key has no way into Switch Control: Main Control is shown.
    const auto image = corvid::shell::ResourceBytes("Corvid88Data");
    bench.mouse.SetBank(1, image->subspan(corvid::device::kParameterSectionSize,
                                          corvid::device::kProfileSectionSize));
    replug();
    QCOMPARE(bench.window->CurrentPage(), corvid::app::Page::kMain);
    QCOMPARE(bench.dialogs.messages, QStringList{WindowBench::Text(1, "Str020")});
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key1")), WindowBench::Text(1, "Str210"));
    QVERIFY(bench.Control("Key1")->isEnabled());
    QVERIFY(bench.Control("Disable")->isHidden());
  }

  void MenuItemsSayTheirFunctionInTheLanguageOnShow() {
    WindowBench bench;
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Lang2_1"));
    auto* item = bench.Control<SkinButton>(QStringLiteral("Key_Middle"));
    QCOMPARE(item->accessibleName(), WindowBench::Text(2, "Str212"));
    QVERIFY(item->Caption().endsWith(WindowBench::Text(2, "Str212")));
    QVERIFY(item->Caption() != item->accessibleName());
    // The rules follow the language: the only left button is still refused.
    Choose(bench, 1, {"", {"Key_Standard"}, "Key_Right"});
    QVERIFY(bench.Reports().empty());
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key1")), WindowBench::Text(2, "Str210"));
  }
};

QTEST_MAIN(KeyPageTest)
#include "key_page_test.moc"
