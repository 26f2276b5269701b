#include "shell/language_file.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "shell/resources.h"

namespace corvid::shell {
namespace {

// A language file as the build would carry it: FF FE, then the text as UTF-16 little-endian.
std::vector<std::uint8_t> Utf16File(std::u16string_view text) {
  std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

std::string AsString(std::u8string_view text) { return std::string(text.begin(), text.end()); }

TEST(LanguageFileTest, BuiltInFilesReadCleanlyWithAllKeysInEveryLanguage) {
  for (int language = 1; language <= kLanguageCount; ++language) {
    SCOPED_TRACE(language);
    const auto bytes = ResourceBytes("LANG" + std::to_string(language));
    ASSERT_TRUE(bytes.has_value());
    const LanguageFileParse parse = ParseLanguageFile(*bytes, language);
    EXPECT_TRUE(parse.problems.empty()) << parse.problems.front();
    // The 125 keys of the shipped table and the tool's own two: Str108 (a mouse that cannot be
    // opened) and Str443 (an update file too short to hold the update).
    EXPECT_EQ(parse.file.KeyCount(), 127U);
    EXPECT_EQ(BuiltInLanguageFile(language).KeyCount(), 127U);
    EXPECT_TRUE(parse.file.Contains("Str108"));
    EXPECT_TRUE(parse.file.Contains("Str443"));
  }
}

TEST(LanguageFileTest, BuiltInTextsOfEachLanguage) {
  EXPECT_EQ(LanguageText(1, "Title"), "Corvid88 Gaming Mouse");
  EXPECT_EQ(LanguageText(1, "Str002"), "Reset");
  EXPECT_EQ(LanguageText(1, "Str020"),
            "Please select any key to be a KB switch key under Main Control mode before entering");
  EXPECT_EQ(LanguageText(1, "Str012"), "Russian");
  // The Russian texts survive the trip from UTF-16 intact.
  EXPECT_EQ(LanguageText(2, "Str011"), "English");
  EXPECT_EQ(LanguageText(2, "Str012"), AsString(u8"Русский"));
  EXPECT_EQ(LanguageText(2, "Str013"), AsString(u8"Язык3"));
  EXPECT_EQ(LanguageText(2, "Str214"), AsString(u8"Вперёд"));
  EXPECT_EQ(LanguageText(3, "Str011"), "Language1");
  EXPECT_EQ(LanguageText(3, "Str020"),
            "Please select the keyboard mode switch button to take effect after the key definition "
            "interface");
  EXPECT_TRUE(LanguageText(3, "Title").starts_with("Corvid88 Gaming Mouse"));
  EXPECT_EQ(LanguageText(1, "Str999"), "");
  EXPECT_EQ(LanguageText(4, "Title"), "");
}

TEST(LanguageFileTest, MenuItemsCarryTheMarkBetweenBlanks) {
  EXPECT_EQ(MenuItemText(BuiltInLanguageFile(1), "Str234"), " * AIM Key");
  EXPECT_EQ(MenuItemText(BuiltInLanguageFile(1), "Str201"), " * Standard Mouse Key");
}

TEST(LanguageFileTest, ReadingSplitsEntriesAtBlanksUnlessQuoted) {
  const LanguageFileParse parse =
      ParseLanguageFile(Utf16File(u"[lang1]\r\n"
                                  u"\"Str002 = Reset \"\r\n"
                                  u"\r\n"
                                  u"Str003=Exit\tStr004=Main Control\r\n"
                                  u"\"Str005=a=b\"\r\n"
                                  u"Str006=\"quoted\"\n"),
                        1);
  const LanguageFile& file = parse.file;
  EXPECT_EQ(file.Text("Str002"), "Reset");
  EXPECT_EQ(file.Text("str003"), "Exit");
  // Unquoted, the entry falls apart at its blank: "Str004=Main", then "Control" without '='.
  EXPECT_EQ(file.Text("Str004"), "Main");
  EXPECT_EQ(file.Text("Str005"), "a=b");
  // A quote inside an unquoted entry is kept as part of the text.
  EXPECT_EQ(file.Text("Str006"), "\"quoted\"");
  EXPECT_EQ(parse.problems, std::vector<std::string>{"entry without '=' ignored: Control"});
}

TEST(LanguageFileTest, OnlyTheSectionOfTheLanguageCounts) {
  const auto bytes =
      Utf16File(u"Str001=outside\r\n[lang2]\r\n\"Str002=two\"\r\n[lang1]\r\n\"Str003=one\"\r\n");
  const LanguageFileParse one = ParseLanguageFile(bytes, 1);
  EXPECT_EQ(one.file.Text("Str003"), "one");
  EXPECT_FALSE(one.file.Contains("Str002"));
  EXPECT_FALSE(one.file.Contains("Str001"));

  // A file whose section name does not match its language yields no texts at all.
  const LanguageFileParse three = ParseLanguageFile(bytes, 3);
  EXPECT_EQ(three.file.KeyCount(), 0U);
  EXPECT_EQ(three.problems, std::vector<std::string>{"no section [lang3]; no texts read"});
}

TEST(LanguageFileTest, DamagedFilesAreReadAsFarAsTheyGoAndSaySo) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::size_t keys;
  };
  std::vector<std::uint8_t> oddLength = Utf16File(u"[lang1]\n\"Str002=Reset\"");
  oddLength.push_back('x');
  std::vector<std::uint8_t> loneSurrogate = Utf16File(u"[lang1]\n\"Str002=A\xD800\"");
  const Case cases[] = {
      {"empty", {}, 0},
      {"no byte-order mark", {'[', 0, 'l', 0}, 0},
      {"big-endian mark", {0xFE, 0xFF, 0, '['}, 0},
      {"odd length", oddLength, 1},
      {"lone surrogate", loneSurrogate, 1},
      {"unclosed quote", Utf16File(u"[lang1]\n\"Str002=Reset"), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LanguageFileParse parse = ParseLanguageFile(c.bytes, 1);
    EXPECT_EQ(parse.file.KeyCount(), c.keys);
    EXPECT_FALSE(parse.problems.empty());
  }
  EXPECT_EQ(ParseLanguageFile(loneSurrogate, 1).file.Text("Str002"), AsString(u8"A\uFFFD"));
}

TEST(LanguageFileTest, CharactersBeyondTheBasicPlaneDecode) {
  const LanguageFileParse parse =
      ParseLanguageFile(Utf16File(u"[lang1]\n\"Str002=\U0001F5B1\""), 1);
  EXPECT_EQ(parse.file.Text("Str002"), AsString(u8"\U0001F5B1"));
  EXPECT_TRUE(parse.problems.empty());
}

TEST(LanguageFileTest, FindKeyTakesTheLastMatchFromStr100Up) {
  struct Case {
    std::string text;
    std::string key;
  };
  const Case cases[] = {
      {"Stop", "Str401"},    // Str251 and Str401 both read "Stop"; the higher one wins
      {"Reset", ""},         // Str002 is never formed: keys are looked up without leading zeros
      {"Main Control", ""},  // Str004, likewise
      {"Left Key", "Str210"},
      {"OK", "Str511"},
      {"stop", ""},  // letter case counts
      {AsString(u8"Левая кнопка"), "Str210"},
      {"", ""},  // missing keys read as empty, but only keys a file has can match
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FindKeyOfText(c.text), c.key);
  }
}

TEST(LanguageFileTest, FindKeyLetsALaterFileWin) {
  const LanguageFile first = ParseLanguageFile(Utf16File(u"[lang1]\n\"Str300=same\""), 1).file;
  const LanguageFile second = ParseLanguageFile(Utf16File(u"[lang2]\n\"Str150=same\""), 2).file;
  const std::array<const LanguageFile*, 2> files = {&first, &second};
  EXPECT_EQ(FindKeyOfText(files, "same"), "Str150");
}

// A key label is translated by finding the key of its caption and reading that key in the new
// language. Every key name must come back as the same function in every language.
TEST(LanguageFileTest, KeyNamesTranslateBetweenAllLanguages) {
  const char* const keyNames[] = {
      "Str210", "Str211", "Str212", "Str213", "Str214", "Str231", "Str232", "Str233", "Str234",
      "Str241", "Str242", "Str243", "Str244", "Str245", "Str246", "Str247", "Str248", "Str250",
      "Str251", "Str252", "Str253", "Str254", "Str255", "Str256", "Str260", "Str261", "Str262",
      "Str263", "Str264", "Str265", "Str266", "Str270", "Str271", "Str272", "Str273"};
  for (const char* key : keyNames) {
    for (int from = 1; from <= kLanguageCount; ++from) {
      const std::string found = FindKeyOfText(LanguageText(from, key));
      ASSERT_FALSE(found.empty()) << key << " in language " << from;
      for (int to = 1; to <= kLanguageCount; ++to) {
        EXPECT_EQ(LanguageText(to, found), LanguageText(to, key))
            << key << " from language " << from << " to " << to;
      }
    }
  }
}

}  // namespace
}  // namespace corvid::shell
