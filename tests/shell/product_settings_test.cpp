#include "shell/product_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvid::shell {
namespace {

ProductSettingsRead ReadText(const char* text) {
  return ReadProductSettings(ParseLayoutFile(text).file);
}

TEST(ProductSettingsTest, BuiltInSettingsKeepTheWebButtonHiddenButEnabled) {
  const ProductSettingsRead read = ReadProductSettings();
  EXPECT_TRUE(read.invalidKeys.empty());
  const ProductSettings& settings = read.settings;
  EXPECT_EQ(settings.ledType, "RGB");
  EXPECT_TRUE(settings.webEnabled);
  EXPECT_TRUE(settings.web.starts_with("https://www.example.com"));
  EXPECT_EQ(settings.webX, 1317);
  EXPECT_EQ(settings.webY, 1495);
  EXPECT_EQ(settings.revManuId, 0);
  EXPECT_EQ(settings.revProId, 0);
  EXPECT_EQ(settings.path, "");  // the macro library stays beside the program
}

TEST(ProductSettingsTest, WebEnableOtherThanOneKeepsTheAddressButDisablesTheButton) {
  const ProductSettingsRead read = ReadText(
      "[org]\nLEDType=ZK\nWeb_Enable=0\nWeb=https://example.com/x\nWeb_X=10 \nWeb_Y=20\n"
      "Rev_Manu_ID=18\nRev_Pro_ID=52\nPath=/opt/corvid/\n");
  EXPECT_TRUE(read.invalidKeys.empty());
  EXPECT_FALSE(read.settings.webEnabled);
  EXPECT_EQ(read.settings.web, "https://example.com/x");
  EXPECT_EQ(read.settings.ledType, "ZK");
  EXPECT_EQ(read.settings.webX, 10);
  EXPECT_EQ(read.settings.webY, 20);
  EXPECT_EQ(read.settings.revManuId, 18);
  EXPECT_EQ(read.settings.revProId, 52);
  EXPECT_EQ(read.settings.path, "/opt/corvid/");
  EXPECT_FALSE(ReadText("[org]\nWeb_Enable=2\n").settings.webEnabled);
}

TEST(ProductSettingsTest, MissingOrNonNumericNumbersAreNamedAndLeaveSafeDefaults) {
  const ProductSettingsRead read =
      ReadText("[org]\nWeb_Enable=yes\nWeb=https://example.com/\nWeb_X=100\nRev_Manu_ID=0x12\n");
  EXPECT_EQ(read.invalidKeys,
            (std::vector<std::string>{"Web_Enable", "Web_Y", "Rev_Manu_ID", "Rev_Pro_ID"}));
  EXPECT_FALSE(read.settings.webEnabled);
  // Half a position does not move the button into the window.
  EXPECT_EQ(read.settings.webX, kHiddenWebButtonX);
  EXPECT_EQ(read.settings.webY, kHiddenWebButtonY);
  EXPECT_EQ(read.settings.revManuId, 0);

  // A layout text without the section names every numeric key.
  EXPECT_EQ(ReadText("[org1]\nWeb_Enable=1\n").invalidKeys.size(), 5U);
}

}  // namespace
}  // namespace corvid::shell
