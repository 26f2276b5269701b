#include "model/function_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/key_code_text.h"
#include "shell/language_file.h"

namespace corvid::model {
namespace {

class FakeMacroCatalog : public DeviceMacroCatalog {
 public:
  explicit FakeMacroCatalog(std::vector<std::pair<std::string, std::uint16_t>> macros)
      : macros_(std::move(macros)) {}
  int MacroCount() const override { return static_cast<int>(macros_.size()); }
  std::string MacroName(int index) const override { return macros_.at(index).first; }
  std::uint16_t MacroAddress(int index) const override { return macros_.at(index).second; }

 private:
  std::vector<std::pair<std::string, std::uint16_t>> macros_;
};

// Two I2C macros back to back: a 19-byte record, then the next one.
const FakeMacroCatalog kTwoMacros({{"M1", 0x0210}, {"Reload", 0x0223}});

CodeCaptionContext EnglishContext() {
  CodeCaptionContext context;
  context.language = 1;
  context.fireKey1RepeatMinusOne = 1;  // Fire Key1 repeats 2 times
  context.fireKey2RepeatMinusOne = 2;  // Fire Key2 repeats 3 times
  context.macros = &kTwoMacros;
  return context;
}

TEST(FunctionCodesTest, CaptionOfEveryKindOfCode) {
  struct Case {
    const char* code;
    const char* caption;
  };
  const Case cases[] = {
      {"01010000", "Left Key"},
      {"01100000", "Forward"},
      {"01030000", ""},  // two buttons at once: no caption, the code is kept as it is
      {"02080700", "Desktop"},
      {"02080800", "Win+E"},
      {"02050405", "Ctrl+Alt+A+B"},
      {"02000005", "B"},
      {"02080000", "Win+"},
      {"020F0000", "Ctrl+Shift+Alt+Win+"},
      {"02000000", ""},
      {"0300CD00", "Play/Pause"},
      {"03022A00", "WWW Favorites"},
      {"03019400", "My Computer"},
      {"03000100", ""},
      {"05040000", "AIM Key"},
      {"05FF0000", "AIM Key"},
      {"07000000", "KB Switch Key"},
      {"07010000", ""},
      {"0D000000", "KB Reset Key"},
      {"09020000", "DPI -"},
      {"0C000000", "Report Rate"},
      {"10021000", "M1"},
      {"10022300", "Reload"},
      {"10400000", ""},  // no stored macro there
      {"00000000", ""},
      {"04000000", ""},
      {"FF000000", ""},
      {"0300cd00", "Play/Pause"},
      {"0101000", ""},
      {"0101000000", ""},
      {"0G010000", ""},
  };
  for (const Case& c : cases) {
    const CodeCaption shown = CodeDisplayText(c.code, EnglishContext());
    EXPECT_EQ(shown.caption, c.caption) << c.code;
    EXPECT_FALSE(shown.fireKeyFields) << c.code;
  }
}

TEST(FunctionCodesTest, FireCodeNamesItsFireKeyByRepeatCountAndLoadsItsFields) {
  struct Case {
    const char* code;
    int fireKey1RepeatMinusOne;
    const char* caption;
    FireKeyFields fields;
  };
  const Case cases[] = {
      {"06110010", 1, "Fire Key1", {1, {2, 16, false}}},
      {"06920014", 1, "Fire Key2", {2, {3, 20, true}}},
      {"069E0FFE", 1, "Fire Key3", {3, {15, 4094, true}}},
      // Fire Key3 set to the same count as Fire Key1 is taken for Fire Key1.
      {"06140010", 4, "Fire Key1", {1, {5, 16, false}}},
      // A code read from a mouse may lack bit 4 and carry count 16; it still names a fire key.
      {"060F0000", 1, "Fire Key3", {3, {16, 0, false}}},
  };
  for (const Case& c : cases) {
    CodeCaptionContext context = EnglishContext();
    context.fireKey1RepeatMinusOne = c.fireKey1RepeatMinusOne;
    const CodeCaption shown = CodeDisplayText(c.code, context);
    EXPECT_EQ(shown.caption, c.caption) << c.code;
    EXPECT_EQ(shown.fireKeyFields, c.fields) << c.code;
  }

  CodeCaptionContext sameCounts = EnglishContext();
  sameCounts.fireKey2RepeatMinusOne = sameCounts.fireKey1RepeatMinusOne;
  EXPECT_EQ(CodeDisplayText("06110010", sameCounts).fireKeyFields->fireKey, 1);
}

TEST(FunctionCodesTest, CaptionsFollowTheLanguageButKeyNamesDoNot) {
  CodeCaptionContext russian = EnglishContext();
  russian.language = 2;
  EXPECT_EQ(CodeDisplayText("02080700", russian).caption, "Рабочий стол");
  EXPECT_EQ(CodeDisplayText("06110010", russian).caption, "Автоогонь 1");
  EXPECT_EQ(CodeDisplayText("05000000", russian).caption, "Прицел");
  EXPECT_EQ(CodeDisplayText("02050405", russian).caption, "Ctrl+Alt+A+B");
  EXPECT_EQ(CodeDisplayText("10022300", russian).caption, "Reload");
}

TEST(FunctionCodesTest, CodeForMenuTag) {
  MenuCodeInputs page;
  page.aimNumber = 5;
  page.fireKeys[0] = {15, 4094, true};
  page.fireKeys[1] = {2, 16, false};
  page.fireKeys[2] = {1, 5000, false};  // typed beyond 4094, not yet corrected by the page

  struct Case {
    int tag;
    const char* code;
  };
  const Case cases[] = {
      {900, "01010000"},
      {904, "01100000"},
      {1002, "07000000"},
      {1005, "0D000000"},
      {1009, "08000000"},
      {1103, "02080700"},
      {1306, "0300E200"},
      {1406, "03022A00"},
      {1001, "05040000"},
      {1500, "069E0FFE"},
      {1501, "06110010"},
      {1502, "06101388"},
      {0, ""},
      {5, ""},
      {7, ""},
      {899, ""},
      {1503, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodeForMenuTag(c.tag, page), c.code) << c.tag;
  }
}

TEST(FunctionCodesTest, PageSettingsOutsideTheCodeGiveNoCode) {
  struct Case {
    int aimNumber;
    FireKeySetting fire;
    bool aimCoded;
    bool fireCoded;
  };
  const Case cases[] = {
      {1, {1, 0, false}, true, true},     {12, {15, 0xFFFF, true}, true, true},
      {0, {0, 16, false}, false, false},  {13, {16, 16, false}, false, false},
      {-1, {2, -1, false}, false, false}, {1, {2, 0x10000, true}, true, false},
  };
  for (const Case& c : cases) {
    MenuCodeInputs page;
    page.aimNumber = c.aimNumber;
    page.fireKeys[0] = c.fire;
    EXPECT_EQ(!CodeForMenuTag(kAimMenuTag, page).empty(), c.aimCoded) << c.aimNumber;
    EXPECT_EQ(!CodeForMenuTag(kFireKey1MenuTag, page).empty(), c.fireCoded)
        << c.fire.repeat << " " << c.fire.delay;
  }
  EXPECT_EQ(SlotCodeText(*AimKeyCode(12)), "050B0000");
}

// A button assigned from a menu item must show that item's caption again: the layer rules find
// the KB switch, KB reset and Left keys by their captions.
TEST(FunctionCodesTest, EveryMenuItemShowsItsOwnCaptionInEveryLanguage) {
  MenuCodeInputs page;
  page.fireKeys = {FireKeySetting{2, 16, false}, FireKeySetting{3, 16, false},
                   FireKeySetting{4, 16, true}};
  for (int language = 1; language <= shell::kLanguageCount; ++language) {
    CodeCaptionContext context;
    context.language = language;
    context.fireKey1RepeatMinusOne = 1;
    context.fireKey2RepeatMinusOne = 2;
    for (const FunctionMenuItem& item : FunctionMenuItems()) {
      const std::string caption = CodeDisplayText(CodeForMenuTag(item.tag, page), context).caption;
      EXPECT_FALSE(caption.empty()) << item.component;
      EXPECT_EQ(caption, shell::LanguageText(language, item.languageKey))
          << item.component << " in language " << language;
    }
  }
}

TEST(FunctionCodesTest, MacroCodeShowsTheNameOfTheMacroAtItsAddress) {
  const FakeMacroCatalog flash({{"First", 0x4000}, {"Second", 0x4100}, {"Third", 0x4200}});
  EXPECT_EQ(SlotCodeText(MacroKeyCode(0x4200)), "10420000");
  EXPECT_EQ(ComposeKeyText(MacroKeyCode(0x4200), &flash), "Third");
  EXPECT_EQ(ComposeKeyText(MacroKeyCode(0x4000), &flash), "First");
  // After the last macro was deleted its block address holds no macro any more.
  const FakeMacroCatalog afterDelete({{"First", 0x4000}, {"Second", 0x4100}});
  EXPECT_EQ(ComposeKeyText(MacroKeyCode(0x4200), &afterDelete), "");
  EXPECT_EQ(ComposeKeyText(MacroKeyCode(0x4000), nullptr), "");
}

}  // namespace
}  // namespace corvid::model
