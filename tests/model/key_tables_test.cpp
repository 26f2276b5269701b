#include "model/key_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>

namespace corvid::model {
namespace {

using K = TKeyboardHookKey;

constexpr K KeyAt(int index) { return static_cast<K>(index); }

TEST(KeyTablesTest, VirtualKeysGiveKeyNameAndUsage) {
  struct Case {
    int virtualKey;
    K key;
    const char* name;
    std::uint8_t usage;
  };
  const Case cases[] = {
      {8, K::kh_Back, "Backspace", 0x2A},
      {12, K::kh_Clear, "Clear", 0x9C},
      {13, K::kh_Return, "Enter", 0x28},
      {17, K::kh_Control, "Ctrl", 0xE0},
      {162, K::kh_LControl, "Left Ctrl", 0xE0},
      {163, K::kh_RControl, "Right Ctrl", 0xE4},
      {16, K::kh_Shift, "Shift", 0xE1},
      {91, K::kh_LWIN, "Left Windows", 0xE3},
      {92, K::kh_RWIN, "Right Windows", 0xE7},
      {32, K::kh_Space, "Space bar", 0x2C},
      {44, K::kh_Snapshot, "Print Screen", 0x46},
      {48, K::kh_0, "0", 0x27},
      {49, K::kh_1, "1", 0x1E},
      {57, K::kh_9, "9", 0x26},
      {58, K::kh_9, "9", 0x26},
      {65, K::kh_A, "A", 0x04},
      {90, K::kh_Z, "Z", 0x1D},
      {96, K::kh_Numpad0, "0 (numeric pad)", 0x62},
      {97, K::kh_Numpad1, "1 (numeric pad)", 0x59},
      {105, K::kh_Numpad9, "9 (numeric pad)", 0x61},
      {108, K::kh_Separator, "Separator (numeric pad)", 0x58},
      {110, K::kh_Decimal, "Decimal (numeric pad)", 0x63},
      {111, K::kh_Divide, "Divide (numeric pad)", 0x54},
      {112, K::kh_F1, "F1", 0x3A},
      {123, K::kh_F12, "F12", 0x45},
      {124, K::kh_F13, "F13", 0x68},
      {135, K::kh_F24, "F24", 0x73},
      {144, K::kh_Numlock, "Num Lock", 0x53},
      {145, K::kh_Scroll, "Scroll Lock", 0x47},
      {166, K::kh_Browser_Back, "Browser_Back", 0xCA},
      {173, K::kh_Volume_Mute, "Volume_Mute", 0xC4},
      {181, K::kh_Launch_Media_Select, "Launch_Media_Select", 0xD1},
      {182, K::kh_Launch_App1, "Launch_App1", 0x00},
      {183, K::kh_Launch_App2, "Launch_App2", 0x00},
      {186, K::kh_OEM_1, "OEM_1", 0x33},
      {187, K::kh_OEM_Plus, "OEM_Plus", 0x2E},
      {191, K::kh_OEM_2, "OEM_2", 0x38},
      {219, K::kh_OEM_4, "OEM_4", 0x2F},
      {223, K::kh_OEM_8, "OEM_8", 0x00},
      {255, K::kh_255, "255", 0x00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.virtualKey);
    const K key = KeyOfVirtualKey(c.virtualKey);
    EXPECT_EQ(key, c.key);
    EXPECT_EQ(NameOfKey(key), c.name);
    EXPECT_EQ(UsageOfKey(key), c.usage);
  }
}

TEST(KeyTablesTest, UnlistedVirtualKeysGiveNone) {
  for (const int virtualKey : {-1,  0,   1,   7,   10,  14,  42,  59,  64,  94,  95,  136,
                               143, 146, 159, 184, 185, 193, 218, 224, 254, 256, 1000}) {
    EXPECT_EQ(KeyOfVirtualKey(virtualKey), K::kh_None) << virtualKey;
  }
  EXPECT_EQ(NameOfKey(K::kh_None), "None");
}

// Every identity except the three without a key is reached by exactly one virtual key; the 9 key
// by two.
TEST(KeyTablesTest, EveryKeyHasItsVirtualKeys) {
  std::map<K, int> reached;
  for (int virtualKey = 0; virtualKey < 256; ++virtualKey) ++reached[KeyOfVirtualKey(virtualKey)];

  ASSERT_EQ(kKeyboardHookKeyCount, 145);
  for (int index = 1; index < kKeyboardHookKeyCount; ++index) {
    const K key = KeyAt(index);
    const int expected = key == K::kh_Demo || key == K::kh_Return_KP ? 0 : key == K::kh_9 ? 2 : 1;
    EXPECT_EQ(reached[key], expected) << NameOfKey(key);
  }
}

TEST(KeyTablesTest, KeysWithoutAUsage) {
  for (const K key : {K::kh_None, K::kh_Demo, K::kh_255, K::kh_OEM_8, K::kh_Launch_App1,
                      K::kh_Launch_App2, K::kh_Return_KP}) {
    EXPECT_EQ(UsageOfKey(key), 0) << NameOfKey(key);
  }
  EXPECT_EQ(NameOfKey(K::kh_Return_KP), "");
  EXPECT_EQ(NameOfKey(K::kh_Demo), "Demo");
}

// The usage names are a table of their own; read through a key they must give the key's name,
// except where the stored byte cannot tell the keys apart.
TEST(KeyTablesTest, UsageNamesAgreeWithKeyNames) {
  const std::map<K, std::string> differs = {{K::kh_Shift, "Left Shift"},
                                            {K::kh_Control, "Left Ctrl"},
                                            {K::kh_Alt, "Left Alt"},
                                            {K::kh_LWIN, "Win"},
                                            {K::kh_RWIN, "Win"}};
  std::set<std::uint8_t> usages;
  int mappable = 0;
  for (int index = 0; index < kKeyboardHookKeyCount; ++index) {
    const K key = KeyAt(index);
    const std::uint8_t usage = UsageOfKey(key);
    if (usage == 0) continue;
    ++mappable;
    usages.insert(usage);
    const auto special = differs.find(key);
    const std::string expected =
        special != differs.end() ? special->second : std::string(NameOfKey(key));
    EXPECT_EQ(NameOfUsage(usage), expected) << NameOfKey(key);
  }
  // Only the generic and left-hand modifiers share a usage.
  EXPECT_EQ(mappable - 3, static_cast<int>(usages.size()));

  // And no usage has a name unless a key produces it.
  for (int usage = 0; usage < 256; ++usage) {
    if (!usages.contains(static_cast<std::uint8_t>(usage))) {
      EXPECT_EQ(NameOfUsage(static_cast<std::uint8_t>(usage)), "") << usage;
    }
  }
  EXPECT_EQ(NameOfUsage(0x32), "");
  EXPECT_EQ(NameOfUsage(0x64), "");
}

}  // namespace
}  // namespace corvid::model
