#include "app/keys/qt_key_mapping.h"

#include <QtTest/QtTest>
#include <set>
#include <string>
#include <vector>

namespace corvid::app {
namespace {

using K = model::TKeyboardHookKey;

// One key event as X11 delivers it (keysym and key code 0 where the event carries none) and the
// key it stands for.
struct Row {
  std::string what;
  int key;
  std::uint32_t keysym;
  std::uint32_t code;
  int modifiers;
  K expected;
};

K At(K first, int offset) { return static_cast<K>(static_cast<int>(first) + offset); }

std::vector<Row> Rows() {
  constexpr int kKeypad = Qt::KeypadModifier;
  std::vector<Row> rows = {
      // Keys Qt names alike on every keyboard.
      {"Backspace", Qt::Key_Backspace, 0xFF08, 22, 0, K::kh_Back},
      {"Tab", Qt::Key_Tab, 0xFF09, 23, 0, K::kh_Tab},
      {"Shift+Tab", Qt::Key_Backtab, 0xFE20, 23, Qt::ShiftModifier, K::kh_Tab},
      {"Enter", Qt::Key_Return, 0xFF0D, 36, 0, K::kh_Return},
      {"Pause", Qt::Key_Pause, 0xFF13, 127, 0, K::kh_Pause},
      {"Caps Lock", Qt::Key_CapsLock, 0xFFE5, 66, 0, K::kh_Capital},
      {"Esc", Qt::Key_Escape, 0xFF1B, 9, 0, K::kh_Escape},
      {"Space", Qt::Key_Space, 0x20, 65, 0, K::kh_Space},
      {"Page Up", Qt::Key_PageUp, 0xFF55, 112, 0, K::kh_Prior},
      {"Page Down", Qt::Key_PageDown, 0xFF56, 117, 0, K::kh_Next},
      {"End", Qt::Key_End, 0xFF57, 115, 0, K::kh_End},
      {"Home", Qt::Key_Home, 0xFF50, 110, 0, K::kh_Home},
      {"Left", Qt::Key_Left, 0xFF51, 113, 0, K::kh_Left},
      {"Up", Qt::Key_Up, 0xFF52, 111, 0, K::kh_Up},
      {"Right", Qt::Key_Right, 0xFF53, 114, 0, K::kh_Right},
      {"Down", Qt::Key_Down, 0xFF54, 116, 0, K::kh_Down},
      {"Select", Qt::Key_Select, 0xFF60, 0, 0, K::kh_Select},
      {"Print Screen", Qt::Key_Print, 0xFF61, 107, 0, K::kh_Snapshot},
      {"Alt+Print Screen", Qt::Key_SysReq, 0xFF15, 107, Qt::AltModifier, K::kh_Snapshot},
      {"Insert", Qt::Key_Insert, 0xFF63, 118, 0, K::kh_Insert},
      {"Delete", Qt::Key_Delete, 0xFFFF, 119, 0, K::kh_Delete},
      {"Help", Qt::Key_Help, 0xFF6A, 146, 0, K::kh_Help},
      {"Menu", Qt::Key_Menu, 0xFF67, 135, 0, K::kh_APPS},
      {"Num Lock", Qt::Key_NumLock, 0xFF7F, 77, kKeypad, K::kh_Numlock},
      {"Scroll Lock", Qt::Key_ScrollLock, 0xFF14, 78, 0, K::kh_Scroll},
      {"F25 is not a key of the tables", Qt::Key_F25, 0xFFD6, 0, 0, K::kh_None},
      {"Browser back", Qt::Key_Back, 0x1008FF26, 166, 0, K::kh_Browser_Back},
      {"Browser forward", Qt::Key_Forward, 0x1008FF27, 167, 0, K::kh_Browser_Forward},
      {"Browser refresh", Qt::Key_Refresh, 0x1008FF29, 181, 0, K::kh_Browser_Refresh},
      {"Browser stop", Qt::Key_Stop, 0x1008FF28, 136, 0, K::kh_Browser_Stop},
      {"Browser search", Qt::Key_Search, 0x1008FF1B, 225, 0, K::kh_Browser_Search},
      {"Browser favorites", Qt::Key_Favorites, 0x1008FF30, 164, 0, K::kh_Browser_Favorites},
      {"Browser home", Qt::Key_HomePage, 0x1008FF18, 180, 0, K::kh_Browser_Home},
      {"Mute", Qt::Key_VolumeMute, 0x1008FF12, 121, 0, K::kh_Volume_Mute},
      {"Volume down", Qt::Key_VolumeDown, 0x1008FF11, 122, 0, K::kh_Volume_Down},
      {"Volume up", Qt::Key_VolumeUp, 0x1008FF13, 123, 0, K::kh_Volume_Up},
      {"Next track", Qt::Key_MediaNext, 0x1008FF17, 171, 0, K::kh_Media_Next_Track},
      {"Previous track", Qt::Key_MediaPrevious, 0x1008FF16, 173, 0, K::kh_Media_Prev_Track},
      {"Media stop", Qt::Key_MediaStop, 0x1008FF15, 174, 0, K::kh_Media_Stop},
      {"Play", Qt::Key_MediaPlay, 0x1008FF14, 172, 0, K::kh_Media_Play_Pause},
      {"Play/pause", Qt::Key_MediaTogglePlayPause, 0, 0, 0, K::kh_Media_Play_Pause},
      {"Mail", Qt::Key_LaunchMail, 0x1008FF19, 163, 0, K::kh_Launch_Mail},
      {"Media select", Qt::Key_LaunchMedia, 0x1008FF32, 234, 0, K::kh_Launch_Media_Select},
      {"My computer", Qt::Key_Launch0, 0x1008FF33, 165, 0, K::kh_Launch_App1},
      {"Calculator", Qt::Key_Calculator, 0x1008FF1D, 148, 0, K::kh_Launch_App2},
      {"Launch (1)", Qt::Key_Launch1, 0, 0, 0, K::kh_Launch_App2},

      // Modifiers: the side from the keysym, else from the key code, else none.
      {"left Shift", Qt::Key_Shift, 0xFFE1, 50, 0, K::kh_LShift},
      {"right Shift", Qt::Key_Shift, 0xFFE2, 62, Qt::ShiftModifier, K::kh_RShift},
      {"right Shift by key code", Qt::Key_Shift, 0, 62, 0, K::kh_RShift},
      {"Shift of no side", Qt::Key_Shift, 0, 0, 0, K::kh_Shift},
      {"left Ctrl", Qt::Key_Control, 0xFFE3, 37, 0, K::kh_LControl},
      {"right Ctrl", Qt::Key_Control, 0xFFE4, 105, 0, K::kh_RControl},
      {"Ctrl of no side", Qt::Key_Control, 0, 0, 0, K::kh_Control},
      {"left Alt", Qt::Key_Alt, 0xFFE9, 64, 0, K::kh_LAlt},
      {"right Alt", Qt::Key_Alt, 0xFFEA, 108, 0, K::kh_RAlt},
      {"left Alt by key code", Qt::Key_Alt, 0, 64, 0, K::kh_LAlt},
      {"Alt of no side", Qt::Key_Alt, 0, 0, 0, K::kh_Alt},
      {"AltGr", Qt::Key_AltGr, 0xFE03, 108, 0, K::kh_RAlt},
      {"left Windows", Qt::Key_Super_L, 0xFFEB, 133, 0, K::kh_LWIN},
      {"right Windows", Qt::Key_Super_R, 0xFFEC, 134, 0, K::kh_RWIN},
      {"right Windows as Meta", Qt::Key_Meta, 0xFFEC, 134, 0, K::kh_RWIN},
      {"Meta of no side", Qt::Key_Meta, 0, 0, 0, K::kh_LWIN},

      // Keypad with Num Lock on and off, and without native data.
      {"keypad *", Qt::Key_Asterisk, 0xFFAA, 63, kKeypad, K::kh_Multiply},
      {"keypad +", Qt::Key_Plus, 0xFFAB, 86, kKeypad, K::kh_Add},
      {"keypad -", Qt::Key_Minus, 0xFFAD, 82, kKeypad, K::kh_Subtract},
      {"keypad /", Qt::Key_Slash, 0xFFAF, 106, kKeypad, K::kh_Divide},
      {"keypad .", Qt::Key_Period, 0xFFAE, 91, kKeypad, K::kh_Decimal},
      {"keypad decimal comma", Qt::Key_Comma, 0xFFAC, 91, kKeypad, K::kh_Decimal},
      {"keypad separator", Qt::Key_Comma, 0xFFAC, 129, kKeypad, K::kh_Separator},
      {"keypad Enter", Qt::Key_Enter, 0xFF8D, 104, kKeypad, K::kh_Return},
      {"keypad 7, Num Lock off", Qt::Key_Home, 0xFF95, 79, kKeypad, K::kh_Home},
      {"keypad 5, Num Lock off", Qt::Key_Clear, 0xFF9D, 84, kKeypad, K::kh_Clear},
      {"keypad 0, Num Lock off", Qt::Key_Insert, 0xFF9E, 90, kKeypad, K::kh_Insert},
      {"keypad ., Num Lock off", Qt::Key_Delete, 0xFF9F, 91, kKeypad, K::kh_Delete},
      {"keypad 3 without native data", Qt::Key_3, 0, 0, kKeypad, K::kh_Numpad3},
      {"keypad * without native data", Qt::Key_Asterisk, 0, 0, kKeypad, K::kh_Multiply},
      {"keypad Enter without native data", Qt::Key_Enter, 0, 0, kKeypad, K::kh_Return},
      {"keypad Page Up without native data", Qt::Key_PageUp, 0, 0, kKeypad, K::kh_Prior},

      // Punctuation by place on a US keyboard, shifted or not.
      {"-", Qt::Key_Minus, 0x2D, 20, 0, K::kh_OEM_Minus},
      {"+ (shifted =)", Qt::Key_Plus, 0x2B, 21, Qt::ShiftModifier, K::kh_OEM_Plus},
      {"[", Qt::Key_BracketLeft, 0x5B, 34, 0, K::kh_OEM_4},
      {"}", Qt::Key_BraceRight, 0x7D, 35, Qt::ShiftModifier, K::kh_OEM_6},
      {";", Qt::Key_Semicolon, 0x3B, 47, 0, K::kh_OEM_1},
      {"'", Qt::Key_Apostrophe, 0x27, 48, 0, K::kh_OEM_7},
      {"`", Qt::Key_QuoteLeft, 0x60, 49, 0, K::kh_OEM_3},
      {"\\", Qt::Key_Backslash, 0x5C, 51, 0, K::kh_OEM_5},
      {",", Qt::Key_Comma, 0x2C, 59, 0, K::kh_OEM_Comma},
      {".", Qt::Key_Period, 0x2E, 60, 0, K::kh_OEM_Period},
      {"?", Qt::Key_Question, 0x3F, 61, Qt::ShiftModifier, K::kh_OEM_2},
      {"( (shifted 9)", Qt::Key_ParenLeft, 0x28, 18, Qt::ShiftModifier, K::kh_9},
      {"keypad = is the = key", Qt::Key_Equal, 0xFFBD, 125, kKeypad, K::kh_OEM_Plus},
      // Without a key code, by the character on a US keyboard.
      {") without native data", Qt::Key_ParenRight, 0, 0, Qt::ShiftModifier, K::kh_0},
      {"\" without native data", Qt::Key_QuoteDbl, 0, 0, Qt::ShiftModifier, K::kh_OEM_7},
      {"| without native data", Qt::Key_Bar, 0, 0, Qt::ShiftModifier, K::kh_OEM_5},
      {"< without native data", Qt::Key_Less, 0, 0, Qt::ShiftModifier, K::kh_OEM_Comma},
      {"~ without native data", Qt::Key_AsciiTilde, 0, 0, Qt::ShiftModifier, K::kh_OEM_3},

      // Other layouts: the place decides, except for the letters A..Z.
      {"French 2 key", Qt::Key_Eacute, 0xE9, 11, 0, K::kh_2},
      {"French 3 key", Qt::Key_QuoteDbl, 0x22, 12, 0, K::kh_3},
      {"French A on the US Q place", Qt::Key_A, 0x61, 24, 0, K::kh_A},
      {"French comma on the US M place", Qt::Key_Comma, 0x2C, 58, 0, K::kh_OEM_Comma},
      {"German o-umlaut", Qt::Key_Odiaeresis, 0xF6, 47, 0, K::kh_OEM_1},
      {"Russian ef on the A place", 0x0424, 0x6C6, 38, 0, K::kh_A},
      {"an unknown character nowhere", 0x0424, 0, 0, 0, K::kh_None},
      {"the ISO key left of Z is not a key of the tables", Qt::Key_Less, 0x3C, 94, 0, K::kh_None},
      {"an unknown key", Qt::Key_Hyper_L, 0xFFED, 0, 0, K::kh_None},
  };
  for (int i = 0; i < 26; ++i) {
    rows.push_back({std::string("letter ") + char('A' + i), Qt::Key_A + i, std::uint32_t('a' + i),
                    0, 0, At(K::kh_A, i)});
  }
  for (int i = 0; i < 10; ++i) {
    // Key codes 10..18 are 1..9, 19 is 0.
    const std::uint32_t code = i == 0 ? 19 : 9 + i;
    rows.push_back({"digit " + std::to_string(i), Qt::Key_0 + i, std::uint32_t('0' + i), code, 0,
                    At(K::kh_0, i)});
    rows.push_back({"keypad digit " + std::to_string(i), Qt::Key_0 + i, 0xFFB0 + std::uint32_t(i),
                    0, Qt::KeypadModifier, At(K::kh_Numpad0, i)});
  }
  for (int i = 0; i < 24; ++i) {
    rows.push_back({"F" + std::to_string(i + 1), Qt::Key_F1 + i, 0xFFBE + std::uint32_t(i), 0, 0,
                    At(K::kh_F1, i)});
  }
  return rows;
}

}  // namespace

class QtKeyMappingTest : public QObject {
  Q_OBJECT

 private slots:
  void mapsKeyEvents_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<uint>("keysym");
    QTest::addColumn<uint>("code");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("expected");
    for (const Row& row : Rows()) {
      QTest::newRow(row.what.c_str()) << row.key << uint(row.keysym) << uint(row.code)
                                      << row.modifiers << static_cast<int>(row.expected);
    }
  }

  void mapsKeyEvents() {
    QFETCH(int, key);
    QFETCH(uint, keysym);
    QFETCH(uint, code);
    QFETCH(int, modifiers);
    QFETCH(int, expected);
    const K got = KeyOfQtKey(key, keysym, code, modifiers);
    QCOMPARE(QString::fromUtf8(model::NameOfKey(got).data(), model::NameOfKey(got).size()),
             QString::fromUtf8(model::NameOfKey(static_cast<K>(expected)).data(),
                               model::NameOfKey(static_cast<K>(expected)).size()));
    QCOMPARE(static_cast<int>(got), expected);
  }

  // Every key of the tables that a keyboard can have is reached by some event.
  void everyKeyOfTheTablesIsReached() {
    std::set<K> reached;
    for (const Row& row : Rows()) reached.insert(row.expected);
    // OEM_8 has no place of its own: the key that some layouts give that name sits at the place
    // of the US ` key, and the mouse stores keys by place.
    const std::set<K> keyless = {K::kh_None, K::kh_Demo, K::kh_255, K::kh_Return_KP, K::kh_OEM_8};
    QStringList missing;
    for (int i = 0; i < model::kKeyboardHookKeyCount; ++i) {
      const K key = static_cast<K>(i);
      if (keyless.count(key) == 0 && reached.count(key) == 0) {
        missing << QString::number(i);
      }
    }
    QVERIFY2(missing.isEmpty(), qPrintable("not reached: " + missing.join(", ")));
  }

  // The event's own fields go to the right parameters.
  void readsTheNativeDataOfAnEvent() {
    const QKeyEvent rightShift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, 62, 0xFFE2, 0);
    QCOMPARE(KeyOfQtKeyEvent(rightShift), K::kh_RShift);
    const QKeyEvent keypadHome(QEvent::KeyPress, Qt::Key_Home, Qt::KeypadModifier, 79, 0xFF95, 0);
    QCOMPARE(KeyOfQtKeyEvent(keypadHome), K::kh_Home);
    const QKeyEvent keypadSeven(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier, 79, 0xFFB7, 0);
    QCOMPARE(KeyOfQtKeyEvent(keypadSeven), K::kh_Numpad7);
    const QKeyEvent frenchTwo(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, 11, 0xE9, 0);
    QCOMPARE(KeyOfQtKeyEvent(frenchTwo), K::kh_2);
  }
};

}  // namespace corvid::app

QTEST_GUILESS_MAIN(corvid::app::QtKeyMappingTest)
#include "qt_key_mapping_test.moc"
