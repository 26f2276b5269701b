#include "model/default_key_functions.h"

#include <gtest/gtest.h>

#include "model/function_codes.h"
#include "model/key_code_text.h"

namespace corvid::model {
namespace {

// The bytes, the text and the menu item of each fallback must name the same function, or a
// rebound button would show one thing and do another.
TEST(DefaultKeyFunctionsTest, EachSlotsBytesTextAndMenuItemAgree) {
  for (int slot = 1; slot <= model::kSlotsPerLayer; ++slot) {
    SCOPED_TRACE(slot);
    const auto function = DefaultKeyFunctionOf(slot);
    ASSERT_TRUE(function.has_value());
    EXPECT_EQ(function->slot, slot);
    EXPECT_EQ(model::SlotCodeText(function->bytes), function->code);
    const model::FunctionMenuItem* item = model::FindFunctionMenuItem(function->menuTag);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->code, function->code);
  }
  EXPECT_FALSE(DefaultKeyFunctionOf(0).has_value());
  EXPECT_FALSE(DefaultKeyFunctionOf(13).has_value());
}

}  // namespace
}  // namespace corvid::model
