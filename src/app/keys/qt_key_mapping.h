#pragma once

// Which PC keyboard key a Qt key event stands for, as a key identity of the key tables: what the
// key-combination dialog captures and the macro recorder records.
//
// The Qt key decides where it names the key on every keyboard (function keys, navigation, media
// keys, letters A..Z). Where it does not, the event's native data decides; on X11 and Wayland the
// native virtual key is the keysym and the native scan code the key code (Linux input code + 8):
// - left and right Shift, Ctrl, Alt and Windows keys by keysym, else by key code; without either,
//   the side-less Shift, Ctrl and Alt keys (a Windows key without a side is the left one);
// - keypad keys by keysym, which also tells Num Lock's state (keypad 7 is Home with Num Lock off);
//   without it by the Qt key with the keypad modifier. Keypad Enter is Enter: the mouse has one
//   Enter usage for both;
// - the digit row and the punctuation keys by their place on the keyboard, as the key code gives
//   it: the mouse stores a key by place, so "é" on the French "2" key is the key "2". Without a
//   key code, by the character on a US keyboard ("(" and "9" are both the key "9").
// - a character of another alphabet is the letter key at its place; the ISO key left of Z and the
//   Japanese Ro and Yen keys are no keys of the tables.
// A key the tables do not hold gives kh_None.

#include <QtGui/QKeyEvent>
#include <cstdint>

#include "model/key_tables.h"

namespace corvid::app {

// key: the Qt::Key value; nativeVirtualKey, nativeScanCode: 0 when the event has none;
// modifiers: the Qt::KeyboardModifiers bits.
model::TKeyboardHookKey KeyOfQtKey(int key, std::uint32_t nativeVirtualKey,
                                   std::uint32_t nativeScanCode, int modifiers);

inline model::TKeyboardHookKey KeyOfQtKeyEvent(const QKeyEvent& event) {
  return KeyOfQtKey(event.key(), event.nativeVirtualKey(), event.nativeScanCode(),
                    static_cast<int>(event.modifiers().toInt()));
}

}  // namespace corvid::app
