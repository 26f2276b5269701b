#include "app/keys/qt_key_mapping.h"

#include <QtCore/Qt>
#include <optional>

namespace corvid::app {
namespace {

using K = model::TKeyboardHookKey;

K Offset(K first, int offset) { return static_cast<K>(static_cast<int>(first) + offset); }

// X keysyms of the keys whose Qt key does not tell them apart.
constexpr std::uint32_t kXkShiftL = 0xFFE1;
constexpr std::uint32_t kXkShiftR = 0xFFE2;
constexpr std::uint32_t kXkControlL = 0xFFE3;
constexpr std::uint32_t kXkControlR = 0xFFE4;
constexpr std::uint32_t kXkMetaL = 0xFFE7;
constexpr std::uint32_t kXkMetaR = 0xFFE8;
constexpr std::uint32_t kXkAltL = 0xFFE9;
constexpr std::uint32_t kXkAltR = 0xFFEA;
constexpr std::uint32_t kXkSuperL = 0xFFEB;
constexpr std::uint32_t kXkSuperR = 0xFFEC;
constexpr std::uint32_t kXkFirstKeypad = 0xFF80;  // KP_Space
constexpr std::uint32_t kXkLastKeypad = 0xFFBD;   // KP_Equal
constexpr std::uint32_t kXkKp0 = 0xFFB0;
constexpr std::uint32_t kXkKp9 = 0xFFB9;

// X key codes (Linux input codes + 8).
constexpr std::uint32_t kCodeLeftShift = 50;
constexpr std::uint32_t kCodeRightShift = 62;
constexpr std::uint32_t kCodeLeftCtrl = 37;
constexpr std::uint32_t kCodeRightCtrl = 105;
constexpr std::uint32_t kCodeLeftAlt = 64;
constexpr std::uint32_t kCodeRightAlt = 108;
constexpr std::uint32_t kCodeLeftMeta = 133;
constexpr std::uint32_t kCodeRightMeta = 134;
constexpr std::uint32_t kCodeKeypadDot = 91;

enum class Side { kUnknown, kLeft, kRight };

Side SideOf(std::uint32_t keysym, std::uint32_t code, std::uint32_t leftSym, std::uint32_t rightSym,
            std::uint32_t leftCode, std::uint32_t rightCode) {
  if (keysym == leftSym) return Side::kLeft;
  if (keysym == rightSym) return Side::kRight;
  if (code == leftCode) return Side::kLeft;
  if (code == rightCode) return Side::kRight;
  return Side::kUnknown;
}

K Sided(Side side, K left, K right, K either) {
  switch (side) {
    case Side::kLeft:
      return left;
    case Side::kRight:
      return right;
    case Side::kUnknown:
      break;
  }
  return either;
}

std::optional<K> ModifierKey(int key, std::uint32_t keysym, std::uint32_t code) {
  switch (key) {
    case Qt::Key_Shift:
      return Sided(SideOf(keysym, code, kXkShiftL, kXkShiftR, kCodeLeftShift, kCodeRightShift),
                   K::kh_LShift, K::kh_RShift, K::kh_Shift);
    case Qt::Key_Control:
      return Sided(SideOf(keysym, code, kXkControlL, kXkControlR, kCodeLeftCtrl, kCodeRightCtrl),
                   K::kh_LControl, K::kh_RControl, K::kh_Control);
    case Qt::Key_Alt:
      return Sided(SideOf(keysym, code, kXkAltL, kXkAltR, kCodeLeftAlt, kCodeRightAlt), K::kh_LAlt,
                   K::kh_RAlt, K::kh_Alt);
    case Qt::Key_AltGr:
      return K::kh_RAlt;
    case Qt::Key_Super_L:
      return K::kh_LWIN;
    case Qt::Key_Super_R:
      return K::kh_RWIN;
    case Qt::Key_Meta: {
      Side side = SideOf(keysym, code, kXkSuperL, kXkSuperR, kCodeLeftMeta, kCodeRightMeta);
      if (side == Side::kUnknown) side = SideOf(keysym, 0, kXkMetaL, kXkMetaR, 0, 0);
      return side == Side::kRight ? K::kh_RWIN : K::kh_LWIN;
    }
    default:
      return std::nullopt;
  }
}

std::optional<K> KeypadKeyOfKeysym(std::uint32_t keysym, std::uint32_t code) {
  if (keysym >= kXkKp0 && keysym <= kXkKp9) {
    return Offset(K::kh_Numpad0, static_cast<int>(keysym - kXkKp0));
  }
  switch (keysym) {
    case 0xFF80:
      return K::kh_Space;  // KP_Space
    case 0xFF89:
      return K::kh_Tab;  // KP_Tab
    case 0xFF8D:
      return K::kh_Return;  // KP_Enter
    case 0xFF95:
      return K::kh_Home;  // KP_Home
    case 0xFF96:
      return K::kh_Left;  // KP_Left
    case 0xFF97:
      return K::kh_Up;  // KP_Up
    case 0xFF98:
      return K::kh_Right;  // KP_Right
    case 0xFF99:
      return K::kh_Down;  // KP_Down
    case 0xFF9A:
      return K::kh_Prior;  // KP_Prior
    case 0xFF9B:
      return K::kh_Next;  // KP_Next
    case 0xFF9C:
      return K::kh_End;  // KP_End
    case 0xFF9D:
      return K::kh_Clear;  // KP_Begin: keypad 5 with Num Lock off
    case 0xFF9E:
      return K::kh_Insert;  // KP_Insert
    case 0xFF9F:
      return K::kh_Delete;  // KP_Delete
    case 0xFFAA:
      return K::kh_Multiply;
    case 0xFFAB:
      return K::kh_Add;
    case 0xFFAD:
      return K::kh_Subtract;
    case 0xFFAE:
      return K::kh_Decimal;
    case 0xFFAF:
      return K::kh_Divide;
    case 0xFFAC:  // KP_Separator: the decimal key of comma locales gives it too
      return code == kCodeKeypadDot ? K::kh_Decimal : K::kh_Separator;
    default:
      return std::nullopt;
  }
}

std::optional<K> KeypadKeyOfQtKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return Offset(K::kh_Numpad0, key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Asterisk:
      return K::kh_Multiply;
    case Qt::Key_Plus:
      return K::kh_Add;
    case Qt::Key_Minus:
      return K::kh_Subtract;
    case Qt::Key_Slash:
      return K::kh_Divide;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return K::kh_Decimal;
    case Qt::Key_Enter:
    case Qt::Key_Return:
      return K::kh_Return;
    default:
      return std::nullopt;  // navigation keys of the keypad: as on the main block
  }
}

// The key at a place of the keyboard, named as on a US keyboard, by X key code.
std::optional<K> KeyAtPlace(std::uint32_t code) {
  static constexpr K kTopLetters[] = {K::kh_Q, K::kh_W, K::kh_E, K::kh_R, K::kh_T,
                                      K::kh_Y, K::kh_U, K::kh_I, K::kh_O, K::kh_P};
  static constexpr K kHomeLetters[] = {K::kh_A, K::kh_S, K::kh_D, K::kh_F, K::kh_G,
                                       K::kh_H, K::kh_J, K::kh_K, K::kh_L};
  static constexpr K kBottomLetters[] = {K::kh_Z, K::kh_X, K::kh_C, K::kh_V,
                                         K::kh_B, K::kh_N, K::kh_M};
  if (code >= 10 && code <= 18) return Offset(K::kh_1, static_cast<int>(code - 10));
  if (code >= 24 && code <= 33) return kTopLetters[code - 24];
  if (code >= 38 && code <= 46) return kHomeLetters[code - 38];
  if (code >= 52 && code <= 58) return kBottomLetters[code - 52];
  switch (code) {
    case 19:
      return K::kh_0;
    case 20:
      return K::kh_OEM_Minus;
    case 21:
      return K::kh_OEM_Plus;
    case 34:
      return K::kh_OEM_4;
    case 35:
      return K::kh_OEM_6;
    case 47:
      return K::kh_OEM_1;
    case 48:
      return K::kh_OEM_7;
    case 49:
      return K::kh_OEM_3;
    case 51:
      return K::kh_OEM_5;
    case 59:
      return K::kh_OEM_Comma;
    case 60:
      return K::kh_OEM_Period;
    case 61:
      return K::kh_OEM_2;
    default:
      return std::nullopt;
  }
}

bool IsLetter(K key) {
  return static_cast<int>(key) >= static_cast<int>(K::kh_A) &&
         static_cast<int>(key) <= static_cast<int>(K::kh_Z);
}

// Digits and punctuation by the character they give on a US keyboard, shifted or not.
std::optional<K> KeyOfUsCharacter(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return Offset(K::kh_0, key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Exclam:
      return K::kh_1;
    case Qt::Key_At:
      return K::kh_2;
    case Qt::Key_NumberSign:
      return K::kh_3;
    case Qt::Key_Dollar:
      return K::kh_4;
    case Qt::Key_Percent:
      return K::kh_5;
    case Qt::Key_AsciiCircum:
      return K::kh_6;
    case Qt::Key_Ampersand:
      return K::kh_7;
    case Qt::Key_Asterisk:
      return K::kh_8;
    case Qt::Key_ParenLeft:
      return K::kh_9;
    case Qt::Key_ParenRight:
      return K::kh_0;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return K::kh_OEM_Minus;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
      return K::kh_OEM_Plus;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
      return K::kh_OEM_4;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
      return K::kh_OEM_6;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
      return K::kh_OEM_1;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
      return K::kh_OEM_7;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
      return K::kh_OEM_3;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
      return K::kh_OEM_5;
    case Qt::Key_Comma:
    case Qt::Key_Less:
      return K::kh_OEM_Comma;
    case Qt::Key_Period:
    case Qt::Key_Greater:
      return K::kh_OEM_Period;
    case Qt::Key_Slash:
    case Qt::Key_Question:
      return K::kh_OEM_2;
    default:
      return std::nullopt;
  }
}

// Places whose key the tables lack: the ISO key left of Z, the Japanese Ro and Yen keys. Their
// characters stand for them, not for the US key that gives the same character elsewhere.
bool IsPlaceWithoutKey(std::uint32_t code) { return code == 94 || code == 97 || code == 132; }

K CharacterKey(int key, std::uint32_t code) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return Offset(K::kh_A, key - Qt::Key_A);
  const std::optional<K> place = KeyAtPlace(code);
  if (place && !IsLetter(*place)) return *place;
  if (IsPlaceWithoutKey(code)) return K::kh_None;
  if (const std::optional<K> us = KeyOfUsCharacter(key)) return *us;
  return place.value_or(K::kh_None);
}

K SpecialKey(int key) {
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return Offset(K::kh_F1, key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace:
      return K::kh_Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return K::kh_Tab;
    case Qt::Key_Clear:
      return K::kh_Clear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return K::kh_Return;
    case Qt::Key_Pause:
      return K::kh_Pause;
    case Qt::Key_CapsLock:
      return K::kh_Capital;
    case Qt::Key_Escape:
      return K::kh_Escape;
    case Qt::Key_Space:
      return K::kh_Space;
    case Qt::Key_PageUp:
      return K::kh_Prior;
    case Qt::Key_PageDown:
      return K::kh_Next;
    case Qt::Key_End:
      return K::kh_End;
    case Qt::Key_Home:
      return K::kh_Home;
    case Qt::Key_Left:
      return K::kh_Left;
    case Qt::Key_Up:
      return K::kh_Up;
    case Qt::Key_Right:
      return K::kh_Right;
    case Qt::Key_Down:
      return K::kh_Down;
    case Qt::Key_Select:
      return K::kh_Select;
    case Qt::Key_Print:
    case Qt::Key_SysReq:
      return K::kh_Snapshot;
    case Qt::Key_Insert:
      return K::kh_Insert;
    case Qt::Key_Delete:
      return K::kh_Delete;
    case Qt::Key_Help:
      return K::kh_Help;
    case Qt::Key_Menu:
      return K::kh_APPS;
    case Qt::Key_NumLock:
      return K::kh_Numlock;
    case Qt::Key_ScrollLock:
      return K::kh_Scroll;
    case Qt::Key_Back:
      return K::kh_Browser_Back;
    case Qt::Key_Forward:
      return K::kh_Browser_Forward;
    case Qt::Key_Refresh:
      return K::kh_Browser_Refresh;
    case Qt::Key_Stop:
      return K::kh_Browser_Stop;
    case Qt::Key_Search:
      return K::kh_Browser_Search;
    case Qt::Key_Favorites:
      return K::kh_Browser_Favorites;
    case Qt::Key_HomePage:
      return K::kh_Browser_Home;
    case Qt::Key_VolumeMute:
      return K::kh_Volume_Mute;
    case Qt::Key_VolumeDown:
      return K::kh_Volume_Down;
    case Qt::Key_VolumeUp:
      return K::kh_Volume_Up;
    case Qt::Key_MediaNext:
      return K::kh_Media_Next_Track;
    case Qt::Key_MediaPrevious:
      return K::kh_Media_Prev_Track;
    case Qt::Key_MediaStop:
      return K::kh_Media_Stop;
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause:
    case Qt::Key_MediaTogglePlayPause:
      return K::kh_Media_Play_Pause;
    case Qt::Key_LaunchMail:
      return K::kh_Launch_Mail;
    case Qt::Key_LaunchMedia:
      return K::kh_Launch_Media_Select;
    case Qt::Key_Launch0:
    case Qt::Key_Explorer:
      return K::kh_Launch_App1;  // "My Computer"
    case Qt::Key_Launch1:
    case Qt::Key_Calculator:
      return K::kh_Launch_App2;
    default:
      return K::kh_None;
  }
}

// Characters and the keys Qt names by their character; Qt's other keys start here.
constexpr int kFirstSpecialQtKey = 0x01000000;

}  // namespace

model::TKeyboardHookKey KeyOfQtKey(int key, std::uint32_t nativeVirtualKey,
                                   std::uint32_t nativeScanCode, int modifiers) {
  if (const std::optional<K> modifier = ModifierKey(key, nativeVirtualKey, nativeScanCode)) {
    return *modifier;
  }
  if (nativeVirtualKey >= kXkFirstKeypad && nativeVirtualKey <= kXkLastKeypad) {
    if (const std::optional<K> keypad = KeypadKeyOfKeysym(nativeVirtualKey, nativeScanCode)) {
      return *keypad;
    }
  } else if ((modifiers & Qt::KeypadModifier) != 0) {
    if (const std::optional<K> keypad = KeypadKeyOfQtKey(key)) return *keypad;
  }
  if (key == Qt::Key_Space) return K::kh_Space;
  if (key > 0 && key < kFirstSpecialQtKey) return CharacterKey(key, nativeScanCode);
  return SpecialKey(key);
}

}  // namespace corvid::app
