#include "shell/layout_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvid::shell {
namespace {

TEST(LayoutFileTest, ReadsKeysOfEachSectionIgnoringBlanksCommentsAndBanners) {
  const LayoutFileParse parse = ParseLayoutFile(
      "\xEF\xBB\xBF//////////////\r\n"
      "[org1]\r\n"
      "// Buttons //\r\n"
      "M_L_W = 230\r\n"
      "Btn_A3_Enable=1 \r\n"
      "; Hidden=1\r\n"
      "  [ ORG2 ]  \n"
      "Font=Arial Black\n"
      "Empty=\n"
      "no key here\n");
  const LayoutFile& file = parse.file;
  EXPECT_TRUE(parse.problems.empty());
  EXPECT_EQ(file.IntegerValue("org1", "M_L_W"), 230);
  EXPECT_EQ(file.Value("org1", "Btn_A3_Enable"), "1");
  EXPECT_EQ(file.IntegerValue("ORG1", "btn_a3_enable"), 1);
  EXPECT_FALSE(file.Value("org1", "Hidden").has_value());
  EXPECT_EQ(file.Value("org2", "Font"), "Arial Black");
  EXPECT_EQ(file.Value("org2", "Empty"), "");
  EXPECT_FALSE(file.IntegerValue("org2", "Empty").has_value());
  EXPECT_FALSE(file.Value("org2", "M_L_W").has_value());
  EXPECT_FALSE(file.HasSection("org3"));
}

TEST(LayoutFileTest, SaysWhichLinesItDidNotAccept) {
  const LayoutFileParse parse = ParseLayoutFile("Stray=1\n[org]\n=5\nA=1\nA=2\n");
  EXPECT_EQ(parse.file.IntegerValue("org", "A"), 1);
  EXPECT_EQ(parse.problems,
            (std::vector<std::string>{"line 1: key before any section ignored: Stray",
                                      "line 3: line without a key ignored",
                                      "line 5: repeated key ignored: A"}));
}

TEST(LayoutFileTest, DecimalIntegers) {
  struct Case {
    const char* text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"1495", 1495},
      {"-12", -12},
      {"+7", 7},
      {"", std::nullopt},
      {"12a", std::nullopt},
      {"0x10", std::nullopt},
      {"$10", std::nullopt},
      {"1 2", std::nullopt},
      {"+-1", std::nullopt},
      {"+", std::nullopt},
      {"99999999999", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseDecimalInteger(c.text), c.value);
  }
}

TEST(LayoutFileTest, BuiltInOrgTextReadsCleanly) {
  const auto layout = LoadLayoutResource("ORG");
  ASSERT_TRUE(layout.has_value());
  EXPECT_TRUE(layout->HasSection("org"));
  EXPECT_FALSE(LoadLayoutResource("ORG9").has_value());
}

}  // namespace
}  // namespace corvid::shell
