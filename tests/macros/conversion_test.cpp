#include "macros/conversion.h"

#include <gtest/gtest.h>

#include <string>

#include "macros/macro_name_field.h"

namespace corvid::macros {
namespace {

using namespace std::string_literals;

TEST(UnicodeHexTest, TextToHexAndBack) {
  struct Case {
    std::string text;
    std::string hex;
  };
  const Case cases[] = {
      {"", ""},
      {"AB", "00410042"},
      {"é", "00E9"},
      {"宏", "5B8F"},
      {"\xF0\x9F\x98\x80", "D83DDE00"},  // one code point, a surrogate pair
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrToUnicodeHex(c.text), c.hex) << c.text;
    EXPECT_EQ(UnicodeHexToStr(c.hex), c.text) << c.hex;
  }
}

TEST(UnicodeHexTest, TextStopsAtZeroUnitAndLimitAndReplacesBrokenUtf8) {
  EXPECT_EQ(StrToUnicodeHex("A\0B"s), "0041");
  EXPECT_EQ(StrToUnicodeHex(std::string(600, 'a')).size(), kMaxUnicodeHexUnits * 4);
  // 498 units and a pair that would need two more: the pair is left out whole.
  EXPECT_EQ(StrToUnicodeHex(std::string(498, 'a') + "\xF0\x9F\x98\x80").size(), 498u * 4);
  EXPECT_EQ(StrToUnicodeHex("\xFF"
                            "A"),
            "FFFD0041");
  EXPECT_EQ(StrToUnicodeHex("\xE5\xAE"), "FFFDFFFD");  // cut short
  EXPECT_EQ(StrToUnicodeHex("\xC0\x80"), "FFFDFFFD");  // overlong zero
}

TEST(UnicodeHexTest, HexIsReadFromTheEndSkippingBadGroups) {
  struct Case {
    std::string hex;
    std::string text;
  };
  const Case cases[] = {
      {"10041", "A"},  // 1..3 leading digits are ignored
      {"1230041", "A"},       {"004", ""},          {"ZZZZ0041", "A"},
      {"0041zz420042", "AB"}, {"00410000", "A\0"s}, {"D83D", "\xEF\xBF\xBD"},  // lone surrogate
      {"00e9", "é"},
  };
  for (const Case& c : cases) EXPECT_EQ(UnicodeHexToStr(c.hex), c.text) << c.hex;
}

TEST(MacroNameFieldTest, NameIsStoredHighByteFirstAndZeroPadded) {
  const auto field = NameToMacroNameField("Fire");
  ASSERT_TRUE(field.has_value());
  const MacroNameField expected{0x00, 0x46, 0x00, 0x69, 0x00, 0x72, 0x00, 0x65,
                                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(*field, expected);
  EXPECT_EQ(MacroNameFieldToRawText(*field), "Fire\0\0\0\0"s);
  EXPECT_EQ(MacroNameFieldToName(*field), "Fire");
  EXPECT_FALSE(IsEmptyMacroName(*field));
}

TEST(MacroNameFieldTest, EightUnitsFitAndLongerNamesAreRefused) {
  const auto full = NameToMacroNameField("ABCDEFGH");
  ASSERT_TRUE(full.has_value());
  EXPECT_EQ((*full)[15], 'H');
  EXPECT_EQ(MacroNameFieldToName(*full), "ABCDEFGH");

  const std::string emoji = "\xF0\x9F\x98\x80";
  const auto pairs = NameToMacroNameField("宏" + emoji + "12345");
  ASSERT_TRUE(pairs.has_value());
  EXPECT_EQ(MacroNameFieldToName(*pairs), "宏" + emoji + "12345");

  EXPECT_FALSE(NameToMacroNameField("ABCDEFGHI").has_value());
  EXPECT_FALSE(NameToMacroNameField("ABCDEFG" + emoji).has_value());
}

TEST(MacroNameFieldTest, EmptyNames) {
  const auto empty = NameToMacroNameField("");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(IsEmptyMacroName(*empty));
  EXPECT_EQ(MacroNameFieldToName(*empty), "");

  // Anything after a zero first unit is not part of the name.
  const MacroNameField hidden{0x00, 0x00, 0x00, 0x41};
  EXPECT_TRUE(IsEmptyMacroName(hidden));
  EXPECT_EQ(MacroNameFieldToName(hidden), "");
}

}  // namespace
}  // namespace corvid::macros
