#pragma once

// What a button does, as the mouse stores it: four bytes, the function class in byte 0. Pages build
// a code from a menu item, and show a code as the caption of its button label.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/section_fields.h"

namespace corvid::model {

using KeyFunctionCode = SlotBytes;

// Byte 0 of a code. The firmware knows no other classes; codes of other classes read from a mouse
// are kept and written back unchanged.
enum class KeyFunctionClass : std::uint8_t {
  NoFunction = 0x00,
  MouseButton = 0x01,      // b1: button mask
  Keyboard = 0x02,         // b1: modifier bits, b2 and b3: keyboard usages
  ConsumerControl = 0x03,  // b1 b2: consumer page usage, high byte first
  AimKey = 0x05,           // b1: aim index 0..11
  FireKey = 0x06,          // b1: repeat byte, b2 b3: delay, high byte first
  KbSwitchKey = 0x07,
  LedSwitch = 0x08,
  DpiChange = 0x09,  // b1: 0 cycle, 1 up, 2 down
  ReportRateChange = 0x0C,
  KbResetKey = 0x0D,
  LedModeChange = 0x0E,
  Macro = 0x10,  // b1 b2: start address of the macro body, high byte first
};

constexpr KeyFunctionClass ClassOf(const KeyFunctionCode& code) {
  return static_cast<KeyFunctionClass>(code[0]);
}

// Mouse button masks (class 0x01, b1).
inline constexpr std::uint8_t kLeftButton = 0x01;
inline constexpr std::uint8_t kRightButton = 0x02;
inline constexpr std::uint8_t kMiddleButton = 0x04;
inline constexpr std::uint8_t kBackwardButton = 0x08;
inline constexpr std::uint8_t kForwardButton = 0x10;

// Modifier bits (class 0x02, b1).
inline constexpr std::uint8_t kModifierCtrl = 0x01;
inline constexpr std::uint8_t kModifierShift = 0x02;
inline constexpr std::uint8_t kModifierAlt = 0x04;
inline constexpr std::uint8_t kModifierWin = 0x08;

// Repeat byte of a fire code (class 0x06, b1): repeat count - 1 in bits 3..0, bit 4 always set,
// bit 7 for continuous fire.
inline constexpr std::uint8_t kFireRepeatMarker = 0x10;
inline constexpr std::uint8_t kFireContinuous = 0x80;
inline constexpr int kMaxFireRepeat = 15;
inline constexpr int kMaxAimNumber = 12;

// The settings of one fire key as the advanced page holds them.
struct FireKeySetting {
  int repeat = 2;  // 1..15
  int delay = 16;  // the page keeps 0..4094; anything up to 0xFFFF can be stored
  bool continuous = false;
  bool operator==(const FireKeySetting&) const = default;
};

inline constexpr int kFireKeyCount = 3;

// Codes of the functions that carry parameters. Settings the bytes cannot hold give no code.
std::optional<KeyFunctionCode> FireKeyCode(const FireKeySetting& setting);
// aimNumber is the position 1..12 on the aim DPI bar; the code holds the position - 1.
std::optional<KeyFunctionCode> AimKeyCode(int aimNumber);
KeyFunctionCode MacroKeyCode(std::uint16_t macroAddress);

// One function item of the button menus: its Tag, its component name, the language key of its
// caption and its code text (empty for the aim and fire items, whose code comes from the page).
struct FunctionMenuItem {
  int tag;
  std::string_view component;
  std::string_view languageKey;
  std::string_view code;
};

std::span<const FunctionMenuItem> FunctionMenuItems();
const FunctionMenuItem* FindFunctionMenuItem(int tag);

inline constexpr int kAimMenuTag = 1001;
inline constexpr int kFireKey1MenuTag = 1500;

// The page state a menu item's code depends on.
struct MenuCodeInputs {
  int aimNumber = 1;  // the aim DPI position "1".."12" shown on the advanced page
  std::array<FireKeySetting, kFireKeyCount> fireKeys{};
};

// The code text for a menu Tag. Empty for a tag no item carries, and for an aim or fire item
// whose page setting cannot be stored in a code (the caller then has nothing to assign).
std::string CodeForMenuTag(int tag, const MenuCodeInputs& page);

// The macros stored in the mouse, in the order of the device macro list. The macro model
// provides it; a caption for a macro code is the name of the macro at the code's address.
class DeviceMacroCatalog {
 public:
  virtual ~DeviceMacroCatalog() = default;
  virtual int MacroCount() const = 0;
  // index 0..MacroCount() - 1.
  virtual std::string MacroName(int index) const = 0;
  virtual std::uint16_t MacroAddress(int index) const = 0;
};

// What a caption depends on besides the code.
struct CodeCaptionContext {
  int language = 1;  // CurrentLanguage, 1..3
  // The page's repeat copies (repeat - 1) of Fire Key1 and Fire Key2; a fire code is told apart
  // only by its repeat count.
  int fireKey1RepeatMinusOne = 1;
  int fireKey2RepeatMinusOne = 1;
  const DeviceMacroCatalog* macros = nullptr;  // no macros when null
};

// The fields of a fire key as a fire code sets them; the page loads them into that fire key's
// repeat, delay and continuous controls.
struct FireKeyFields {
  int fireKey = 1;  // 1..3
  // As the code holds it: a code from a mouse may carry repeat 16, which the page's range rule
  // then corrects.
  FireKeySetting setting;
  bool operator==(const FireKeyFields&) const = default;
};

struct CodeCaption {
  std::string caption;
  std::optional<FireKeyFields> fireKeyFields;  // only for fire codes
};

// The caption of a button label for a code, in the context's language. Text that is not 8
// hexadecimal digits shows no caption.
CodeCaption CodeDisplayText(std::string_view codeText, const CodeCaptionContext& context);
CodeCaption CodeDisplayText(const KeyFunctionCode& code, const CodeCaptionContext& context);

// The caption of a key combination ("Ctrl+Alt+A+B") or of a macro (its name); empty for any other
// class and for a macro address no stored macro has.
std::string ComposeKeyText(std::string_view codeText, const DeviceMacroCatalog* macros);
std::string ComposeKeyText(const KeyFunctionCode& code, const DeviceMacroCatalog* macros);

}  // namespace corvid::model
