#include "model/key_tables.h"

#include <array>
#include <cstddef>

namespace corvid::model {
namespace {

using K = TKeyboardHookKey;

constexpr int kNoVirtualKey = -1;

struct KeyEntry {
  K key;
  std::string_view name;
  int virtualKey;
  std::uint8_t usage;
};

// One row per identity, in the order of the enumeration.
constexpr std::array<KeyEntry, kKeyboardHookKeyCount> kKeys = {{
    {K::kh_None, "None", kNoVirtualKey, 0x00},
    {K::kh_Demo, "Demo", kNoVirtualKey, 0x00},
    {K::kh_255, "255", 255, 0x00},
    {K::kh_Back, "Backspace", 8, 0x2A},
    {K::kh_Tab, "Tab", 9, 0x2B},
    {K::kh_Clear, "Clear", 12, 0x9C},
    {K::kh_Return, "Enter", 13, 0x28},
    {K::kh_Shift, "Shift", 16, 0xE1},
    {K::kh_Control, "Ctrl", 17, 0xE0},
    {K::kh_Alt, "Alt", 18, 0xE2},
    {K::kh_Pause, "Pause", 19, 0x48},
    {K::kh_Capital, "Caps Lock", 20, 0x39},
    {K::kh_Escape, "Esc", 27, 0x29},
    {K::kh_Space, "Space bar", 32, 0x2C},
    {K::kh_Prior, "Page Up", 33, 0x4B},
    {K::kh_Next, "Page Down", 34, 0x4E},
    {K::kh_End, "End", 35, 0x4D},
    {K::kh_Home, "Home", 36, 0x4A},
    {K::kh_Left, "Left Arrow", 37, 0x50},
    {K::kh_Up, "Up Arrow", 38, 0x52},
    {K::kh_Right, "Right Arrow", 39, 0x4F},
    {K::kh_Down, "Down Arrow", 40, 0x51},
    {K::kh_Select, "Select", 41, 0x77},
    {K::kh_Snapshot, "Print Screen", 44, 0x46},
    {K::kh_Insert, "Insert", 45, 0x49},
    {K::kh_Delete, "Delete", 46, 0x4C},
    {K::kh_Help, "Help", 47, 0x75},
    {K::kh_LWIN, "Left Windows", 91, 0xE3},
    {K::kh_RWIN, "Right Windows", 92, 0xE7},
    {K::kh_APPS, "Applications", 93, 0x65},
    {K::kh_Numpad0, "0 (numeric pad)", 96, 0x62},
    {K::kh_Numpad1, "1 (numeric pad)", 97, 0x59},
    {K::kh_Numpad2, "2 (numeric pad)", 98, 0x5A},
    {K::kh_Numpad3, "3 (numeric pad)", 99, 0x5B},
    {K::kh_Numpad4, "4 (numeric pad)", 100, 0x5C},
    {K::kh_Numpad5, "5 (numeric pad)", 101, 0x5D},
    {K::kh_Numpad6, "6 (numeric pad)", 102, 0x5E},
    {K::kh_Numpad7, "7 (numeric pad)", 103, 0x5F},
    {K::kh_Numpad8, "8 (numeric pad)", 104, 0x60},
    {K::kh_Numpad9, "9 (numeric pad)", 105, 0x61},
    {K::kh_Multiply, "Multiply (numeric pad)", 106, 0x55},
    {K::kh_Add, "Add (numeric pad)", 107, 0x57},
    {K::kh_Separator, "Separator (numeric pad)", 108, 0x58},
    {K::kh_Subtract, "Subtract (numeric pad)", 109, 0x56},
    {K::kh_Decimal, "Decimal (numeric pad)", 110, 0x63},
    {K::kh_Divide, "Divide (numeric pad)", 111, 0x54},
    {K::kh_F1, "F1", 112, 0x3A},
    {K::kh_F2, "F2", 113, 0x3B},
    {K::kh_F3, "F3", 114, 0x3C},
    {K::kh_F4, "F4", 115, 0x3D},
    {K::kh_F5, "F5", 116, 0x3E},
    {K::kh_F6, "F6", 117, 0x3F},
    {K::kh_F7, "F7", 118, 0x40},
    {K::kh_F8, "F8", 119, 0x41},
    {K::kh_F9, "F9", 120, 0x42},
    {K::kh_F10, "F10", 121, 0x43},
    {K::kh_F11, "F11", 122, 0x44},
    {K::kh_F12, "F12", 123, 0x45},
    {K::kh_F13, "F13", 124, 0x68},
    {K::kh_F14, "F14", 125, 0x69},
    {K::kh_F15, "F15", 126, 0x6A},
    {K::kh_F16, "F16", 127, 0x6B},
    {K::kh_F17, "F17", 128, 0x6C},
    {K::kh_F18, "F18", 129, 0x6D},
    {K::kh_F19, "F19", 130, 0x6E},
    {K::kh_F20, "F20", 131, 0x6F},
    {K::kh_F21, "F21", 132, 0x70},
    {K::kh_F22, "F22", 133, 0x71},
    {K::kh_F23, "F23", 134, 0x72},
    {K::kh_F24, "F24", 135, 0x73},
    {K::kh_Numlock, "Num Lock", 144, 0x53},
    {K::kh_Scroll, "Scroll Lock", 145, 0x47},
    {K::kh_LShift, "Left Shift", 160, 0xE1},
    {K::kh_RShift, "Right Shift", 161, 0xE5},
    {K::kh_LControl, "Left Ctrl", 162, 0xE0},
    {K::kh_RControl, "Right Ctrl", 163, 0xE4},
    {K::kh_LAlt, "Left Alt", 164, 0xE2},
    {K::kh_RAlt, "Right Alt", 165, 0xE6},
    {K::kh_A, "A", 65, 0x04},
    {K::kh_B, "B", 66, 0x05},
    {K::kh_C, "C", 67, 0x06},
    {K::kh_D, "D", 68, 0x07},
    {K::kh_E, "E", 69, 0x08},
    {K::kh_F, "F", 70, 0x09},
    {K::kh_G, "G", 71, 0x0A},
    {K::kh_H, "H", 72, 0x0B},
    {K::kh_I, "I", 73, 0x0C},
    {K::kh_J, "J", 74, 0x0D},
    {K::kh_K, "K", 75, 0x0E},
    {K::kh_L, "L", 76, 0x0F},
    {K::kh_M, "M", 77, 0x10},
    {K::kh_N, "N", 78, 0x11},
    {K::kh_O, "O", 79, 0x12},
    {K::kh_P, "P", 80, 0x13},
    {K::kh_Q, "Q", 81, 0x14},
    {K::kh_R, "R", 82, 0x15},
    {K::kh_S, "S", 83, 0x16},
    {K::kh_T, "T", 84, 0x17},
    {K::kh_U, "U", 85, 0x18},
    {K::kh_V, "V", 86, 0x19},
    {K::kh_W, "W", 87, 0x1A},
    {K::kh_X, "X", 88, 0x1B},
    {K::kh_Y, "Y", 89, 0x1C},
    {K::kh_Z, "Z", 90, 0x1D},
    {K::kh_0, "0", 48, 0x27},
    {K::kh_1, "1", 49, 0x1E},
    {K::kh_2, "2", 50, 0x1F},
    {K::kh_3, "3", 51, 0x20},
    {K::kh_4, "4", 52, 0x21},
    {K::kh_5, "5", 53, 0x22},
    {K::kh_6, "6", 54, 0x23},
    {K::kh_7, "7", 55, 0x24},
    {K::kh_8, "8", 56, 0x25},
    {K::kh_9, "9", 57, 0x26},
    {K::kh_OEM_1, "OEM_1", 186, 0x33},
    {K::kh_OEM_2, "OEM_2", 191, 0x38},
    {K::kh_OEM_3, "OEM_3", 192, 0x35},
    {K::kh_OEM_4, "OEM_4", 219, 0x2F},
    {K::kh_OEM_5, "OEM_5", 220, 0x31},
    {K::kh_OEM_6, "OEM_6", 221, 0x30},
    {K::kh_OEM_7, "OEM_7", 222, 0x34},
    {K::kh_OEM_8, "OEM_8", 223, 0x00},
    {K::kh_OEM_Plus, "OEM_Plus", 187, 0x2E},
    {K::kh_OEM_Comma, "OEM_Comma", 188, 0x36},
    {K::kh_OEM_Minus, "OEM_Minus", 189, 0x2D},
    {K::kh_OEM_Period, "OEM_Period", 190, 0x37},
    {K::kh_Browser_Back, "Browser_Back", 166, 0xCA},
    {K::kh_Browser_Forward, "Browser_Forward", 167, 0xCB},
    {K::kh_Browser_Refresh, "Browser_Refresh", 168, 0xCD},
    {K::kh_Browser_Stop, "Browser_Stop", 169, 0xCC},
    {K::kh_Browser_Search, "Browser_Search", 170, 0xC8},
    {K::kh_Browser_Favorites, "Browser_Favorites", 171, 0xCE},
    {K::kh_Browser_Home, "Browser_Home", 172, 0xC9},
    {K::kh_Volume_Mute, "Volume_Mute", 173, 0xC4},
    {K::kh_Volume_Down, "Volume_Down", 174, 0xC6},
    {K::kh_Volume_Up, "Volume_Up", 175, 0xC5},
    {K::kh_Media_Next_Track, "Media_Next_Track", 176, 0xC0},
    {K::kh_Media_Prev_Track, "Media_Prev_Track", 177, 0xC1},
    {K::kh_Media_Stop, "Media_Stop", 178, 0xC2},
    {K::kh_Media_Play_Pause, "Media_Play_Pause", 179, 0xC3},
    {K::kh_Launch_Mail, "Launch_Mail", 180, 0xC7},
    {K::kh_Launch_Media_Select, "Launch_Media_Select", 181, 0xD1},
    {K::kh_Launch_App1, "Launch_App1", 182, 0x00},
    {K::kh_Launch_App2, "Launch_App2", 183, 0x00},
    {K::kh_Return_KP, "", kNoVirtualKey, 0x00},
}};

constexpr bool RowsFollowTheEnumeration() {
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    if (static_cast<std::size_t>(kKeys[i].key) != i) return false;
  }
  return true;
}
static_assert(RowsFollowTheEnumeration());

// Virtual key 58, unassigned on most layouts, is taken as the 9 key too.
constexpr int kSecondVirtualKeyOfNine = 58;

constexpr std::array<K, 256> BuildKeyOfVirtualKey() {
  std::array<K, 256> table{};
  table.fill(K::kh_None);
  for (const KeyEntry& entry : kKeys) {
    if (entry.virtualKey != kNoVirtualKey) {
      table[static_cast<std::size_t>(entry.virtualKey)] = entry.key;
    }
  }
  table[kSecondVirtualKeyOfNine] = K::kh_9;
  return table;
}

constexpr std::array<K, 256> kKeyOfVirtualKey = BuildKeyOfVirtualKey();

struct UsageName {
  std::uint8_t usage;
  std::string_view name;
};

// Names of stored usages. Mostly the key names, but the stored form no longer knows left from
// right for the Windows keys, and the generic modifiers read as their left-hand keys.
constexpr UsageName kUsageNames[] = {
    {0x04, "A"},
    {0x05, "B"},
    {0x06, "C"},
    {0x07, "D"},
    {0x08, "E"},
    {0x09, "F"},
    {0x0A, "G"},
    {0x0B, "H"},
    {0x0C, "I"},
    {0x0D, "J"},
    {0x0E, "K"},
    {0x0F, "L"},
    {0x10, "M"},
    {0x11, "N"},
    {0x12, "O"},
    {0x13, "P"},
    {0x14, "Q"},
    {0x15, "R"},
    {0x16, "S"},
    {0x17, "T"},
    {0x18, "U"},
    {0x19, "V"},
    {0x1A, "W"},
    {0x1B, "X"},
    {0x1C, "Y"},
    {0x1D, "Z"},
    {0x1E, "1"},
    {0x1F, "2"},
    {0x20, "3"},
    {0x21, "4"},
    {0x22, "5"},
    {0x23, "6"},
    {0x24, "7"},
    {0x25, "8"},
    {0x26, "9"},
    {0x27, "0"},
    {0x28, "Enter"},
    {0x29, "Esc"},
    {0x2A, "Backspace"},
    {0x2B, "Tab"},
    {0x2C, "Space bar"},
    {0x2D, "OEM_Minus"},
    {0x2E, "OEM_Plus"},
    {0x2F, "OEM_4"},
    {0x30, "OEM_6"},
    {0x31, "OEM_5"},
    {0x33, "OEM_1"},
    {0x34, "OEM_7"},
    {0x35, "OEM_3"},
    {0x36, "OEM_Comma"},
    {0x37, "OEM_Period"},
    {0x38, "OEM_2"},
    {0x39, "Caps Lock"},
    {0x3A, "F1"},
    {0x3B, "F2"},
    {0x3C, "F3"},
    {0x3D, "F4"},
    {0x3E, "F5"},
    {0x3F, "F6"},
    {0x40, "F7"},
    {0x41, "F8"},
    {0x42, "F9"},
    {0x43, "F10"},
    {0x44, "F11"},
    {0x45, "F12"},
    {0x46, "Print Screen"},
    {0x47, "Scroll Lock"},
    {0x48, "Pause"},
    {0x49, "Insert"},
    {0x4A, "Home"},
    {0x4B, "Page Up"},
    {0x4C, "Delete"},
    {0x4D, "End"},
    {0x4E, "Page Down"},
    {0x4F, "Right Arrow"},
    {0x50, "Left Arrow"},
    {0x51, "Down Arrow"},
    {0x52, "Up Arrow"},
    {0x53, "Num Lock"},
    {0x54, "Divide (numeric pad)"},
    {0x55, "Multiply (numeric pad)"},
    {0x56, "Subtract (numeric pad)"},
    {0x57, "Add (numeric pad)"},
    {0x58, "Separator (numeric pad)"},
    {0x59, "1 (numeric pad)"},
    {0x5A, "2 (numeric pad)"},
    {0x5B, "3 (numeric pad)"},
    {0x5C, "4 (numeric pad)"},
    {0x5D, "5 (numeric pad)"},
    {0x5E, "6 (numeric pad)"},
    {0x5F, "7 (numeric pad)"},
    {0x60, "8 (numeric pad)"},
    {0x61, "9 (numeric pad)"},
    {0x62, "0 (numeric pad)"},
    {0x63, "Decimal (numeric pad)"},
    {0x65, "Applications"},
    {0x68, "F13"},
    {0x69, "F14"},
    {0x6A, "F15"},
    {0x6B, "F16"},
    {0x6C, "F17"},
    {0x6D, "F18"},
    {0x6E, "F19"},
    {0x6F, "F20"},
    {0x70, "F21"},
    {0x71, "F22"},
    {0x72, "F23"},
    {0x73, "F24"},
    {0x75, "Help"},
    {0x77, "Select"},
    {0x9C, "Clear"},
    {0xC0, "Media_Next_Track"},
    {0xC1, "Media_Prev_Track"},
    {0xC2, "Media_Stop"},
    {0xC3, "Media_Play_Pause"},
    {0xC4, "Volume_Mute"},
    {0xC5, "Volume_Up"},
    {0xC6, "Volume_Down"},
    {0xC7, "Launch_Mail"},
    {0xC8, "Browser_Search"},
    {0xC9, "Browser_Home"},
    {0xCA, "Browser_Back"},
    {0xCB, "Browser_Forward"},
    {0xCC, "Browser_Stop"},
    {0xCD, "Browser_Refresh"},
    {0xCE, "Browser_Favorites"},
    {0xD1, "Launch_Media_Select"},
    {0xE0, "Left Ctrl"},
    {0xE1, "Left Shift"},
    {0xE2, "Left Alt"},
    {0xE3, "Win"},
    {0xE4, "Right Ctrl"},
    {0xE5, "Right Shift"},
    {0xE6, "Right Alt"},
    {0xE7, "Win"},
};

constexpr std::array<std::string_view, 256> BuildNameOfUsage() {
  std::array<std::string_view, 256> table{};
  for (const UsageName& entry : kUsageNames) table[entry.usage] = entry.name;
  return table;
}

constexpr std::array<std::string_view, 256> kNameOfUsage = BuildNameOfUsage();

const KeyEntry* EntryOf(TKeyboardHookKey key) {
  const auto index = static_cast<std::size_t>(key);
  return index < kKeys.size() ? &kKeys[index] : nullptr;
}

}  // namespace

TKeyboardHookKey KeyOfVirtualKey(int virtualKey) {
  if (virtualKey < 0 || virtualKey >= static_cast<int>(kKeyOfVirtualKey.size())) {
    return K::kh_None;
  }
  return kKeyOfVirtualKey[static_cast<std::size_t>(virtualKey)];
}

std::string_view NameOfKey(TKeyboardHookKey key) {
  const KeyEntry* entry = EntryOf(key);
  return entry != nullptr ? entry->name : std::string_view{};
}

std::uint8_t UsageOfKey(TKeyboardHookKey key) {
  const KeyEntry* entry = EntryOf(key);
  return entry != nullptr ? entry->usage : 0;
}

std::string_view NameOfUsage(std::uint8_t usage) { return kNameOfUsage[usage]; }

}  // namespace corvid::model
