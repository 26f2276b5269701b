#include "shell/resources.h"

#include <gtest/gtest.h>

namespace corvid::shell {
namespace {

TEST(ResourcesTest, FindsEveryBuiltInResourceInAnyLetterCase) {
  for (const char* name :
       {"Corvid88Data", "corvid88data", "PCMACRODATA", "org", "Lang1", "LANG2", "lang3"}) {
    SCOPED_TRACE(name);
    const auto bytes = ResourceBytes(name);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_FALSE(bytes->empty());
  }
}

TEST(ResourcesTest, UnknownNameFindsNothing) {
  EXPECT_FALSE(ResourceBytes("LANG4").has_value());
  EXPECT_FALSE(ResourceBytes("LANG").has_value());
  EXPECT_FALSE(ResourceBytes("").has_value());
}

TEST(ResourcesTest, MacroLibraryTemplateIsAnEmptyLibrary) {
  const auto bytes = ResourceBytes("PCMacroData");
  ASSERT_TRUE(bytes.has_value());
  ASSERT_EQ(bytes->size(), 27200U);
  for (std::uint8_t byte : *bytes) {
    ASSERT_EQ(byte, 0);
  }
}

}  // namespace
}  // namespace corvid::shell
