// The fire fields of the Advanced page: what typing sends, how values are kept in range, and that
// filling them sends nothing.

#include <QLineEdit>
#include <QtTest>

#include "device/memory_layout.h"
#include "window_bench.h"

using corvid::app::testing::WindowBench;

namespace {

// Gives slot 2 of Main Control fire key n through the menus and opens the Advanced page.
void FireKeyOnSlot2(WindowBench& bench, int fireKey) {
  bench.Click(QStringLiteral("Key2"));
  bench.Enter(QStringLiteral("Key_Special"));
  bench.Enter(QStringLiteral("Key_Fire"));
  bench.Click(QStringLiteral("Key_Fire%1").arg(fireKey));
  bench.Click(QStringLiteral("Btn_Adv_1"));
  bench.trace.str({});
}

// Types into a field as the user does: "<all>" selects everything, "<bs>" is Backspace, "<ret>"
// leaves the field with Return; anything else is typed.
void Type(QLineEdit* edit, const QString& keys) {
  for (const QString& step : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (step == QLatin1String("<all>")) {
      edit->selectAll();
    } else if (step == QLatin1String("<bs>")) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else if (step == QLatin1String("<ret>")) {
      QTest::keyClick(edit, Qt::Key_Return);
    } else {
      QTest::keyClicks(edit, step);
    }
  }
}

// Slot 2 of Main Control lies at offset 4 of bank 1.
std::string Slot2Report(const char* code) { return std::string("set 40 05 01 04 ") + code; }

}  // namespace

class FireKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void ARepeatAndDelayChangeRewritesTheButtonAndTheRepeatPair() {
    WindowBench bench;
    bench.Connect();
    FireKeyOnSlot2(bench, 2);
    Type(bench.Control<QLineEdit>(QStringLiteral("Edt_Repeat2")), QStringLiteral("<all> 3"));
    // Fire Key1 at 2 and Fire Key2 at 3 make the pair 0x21.
    QCOMPARE(bench.Reports(),
             (std::vector<std::string>{"set 40 05 00 01 21 00 00 01", Slot2Report("06 12 00 10")}));
    Type(bench.Control<QLineEdit>(QStringLiteral("Edt_DelayTime2")), QStringLiteral("<all> 20"));
    QCOMPARE(bench.Reports().back(), Slot2Report("06 12 00 14"));
    QCOMPARE(bench.CaptionOf(QStringLiteral("Key2")), WindowBench::Text(1, "Str232"));

    bench.trace.str({});
    bench.Click(QStringLiteral("lbl_Fire2Continue"));
    QCOMPARE(bench.PictureOf(QStringLiteral("Img_Fire2Continue")), QStringLiteral("CbS_E"));
    QCOMPARE(bench.Reports().back(), Slot2Report("06 92 00 14"));
  }

  void TypedValuesAreKeptInRange_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("lastCode");  // empty: nothing is sent
    QTest::newRow("repeat above 15") << "Edt_Repeat1"
                                     << "<all> 99"
                                     << "15"
                                     << "06 1E 00 10";
    QTest::newRow("repeat emptied, then typed") << "Edt_Repeat1"
                                                << "<all> <bs> 7"
                                                << "7"
                                                << "06 16 00 10";
    QTest::newRow("repeat emptied") << "Edt_Repeat1"
                                    << "<all> <bs>"
                                    << "1"
                                    << "06 10 00 10";
    QTest::newRow("repeat 0 left") << "Edt_Repeat1"
                                   << "<all> 0 <ret>"
                                   << "1"
                                   << "06 10 00 10";
    QTest::newRow("repeat 0 kept while typing") << "Edt_Repeat1"
                                                << "<all> 0"
                                                << "0"
                                                << "";
    QTest::newRow("letters") << "Edt_Repeat1"
                             << "<all> x"
                             << "2"
                             << "";
    QTest::newRow("delay above 4094 left") << "Edt_DelayTime1"
                                           << "<all> 5000 <ret>"
                                           << "4094"
                                           << "06 11 0F FE";
    QTest::newRow("delay of five digits") << "Edt_DelayTime1"
                                          << "<all> 12345"
                                          << "1234"
                                          << "06 11 04 D2";
    QTest::newRow("delay emptied and left") << "Edt_DelayTime1"
                                            << "<all> <bs> <ret>"
                                            << "0"
                                            << "06 11 00 00";
  }

  void TypedValuesAreKeptInRange() {
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(QString, lastCode);
    WindowBench bench;
    bench.Connect();
    FireKeyOnSlot2(bench, 1);
    auto* edit = bench.Control<QLineEdit>(field);
    QCOMPARE(edit->alignment() & Qt::AlignRight, Qt::AlignRight);
    Type(edit, keys);
    QCOMPARE(edit->text(), shown);
    if (lastCode.isEmpty()) {
      QVERIFY(bench.Reports().empty());
    } else {
      QVERIFY(!bench.Reports().empty());
      QCOMPARE(bench.Reports().back(), Slot2Report(lastCode.toLatin1().constData()));
    }
  }

  void FillingTheFieldsFromTheMouseSendsNothing() {
    WindowBench bench;
    // Slot 2 of Main Control holds Fire Key3: repeat 15, continuous, delay 4094.
    const auto image = corvid::shell::ResourceBytes("Corvid88Data");
    std::vector<std::uint8_t> profile(image->begin() + corvid::device::kParameterSectionSize,
                                      image->end());
    profile.resize(corvid::device::kProfileSectionSize);
    const std::uint8_t code[] = {0x06, 0x9E, 0x0F, 0xFE};
    std::copy(std::begin(code), std::end(code), profile.begin() + 4);
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < profile.size(); ++i) sum += profile[i];
    profile.back() = static_cast<std::uint8_t>(sum ^ 0x5A);
    bench.mouse.SetBank(1, profile);
    bench.Connect();
    bench.Click(QStringLiteral("Btn_Adv_1"));
    QCOMPARE(bench.Control<QLineEdit>(QStringLiteral("Edt_Repeat3"))->text(), QStringLiteral("15"));
    QCOMPARE(bench.Control<QLineEdit>(QStringLiteral("Edt_DelayTime3"))->text(),
             QStringLiteral("4094"));
    QCOMPARE(bench.PictureOf(QStringLiteral("Img_Fire3Continue")), QStringLiteral("CbS_E"));
    QVERIFY(bench.Reports().empty());
  }

  void NoMouseOrALockedMouseGetsNothing() {
    {
      WindowBench bench;
      auto* edit = bench.Control<QLineEdit>(QStringLiteral("Edt_Repeat1"));
      Type(edit, QStringLiteral("<all> 5"));
      QCOMPARE(edit->text(), QStringLiteral("5"));
      QVERIFY(bench.Reports().empty());
      QVERIFY(bench.dialogs.messages.isEmpty());
    }
    WindowBench bench;
    bench.mouse.SetIdentityBytes(0x12, 0x34);
    bench.Connect();
    QVERIFY(bench.window->Session().WriteLock());
    bench.Click(QStringLiteral("Btn_Adv_1"));
    Type(bench.Control<QLineEdit>(QStringLiteral("Edt_Repeat1")), QStringLiteral("<all> 5"));
    Type(bench.Control<QLineEdit>(QStringLiteral("Edt_DelayTime1")),
         QStringLiteral("<all> 9 <ret>"));
    bench.Click(QStringLiteral("lbl_Fire1Continue"));
    QVERIFY(bench.Reports().empty());
  }
};

QTEST_MAIN(FireKeysTest)
#include "fire_keys_test.moc"
