#include "device/bits.h"

#include <gtest/gtest.h>

namespace corvid::device {
namespace {

struct BitCase {
  std::uint32_t value;
  unsigned bit;
  bool isSet;
  std::uint32_t withBit;
  std::uint32_t withoutBit;
};

TEST(BitsTest, TestSetAndClearTakeTheBitNumberModulo32) {
  const BitCase cases[] = {
      {0x00, 0, false, 0x01, 0x00},
      {0x80, 7, true, 0x80, 0x00},
      {0xA5, 2, true, 0xA5, 0xA1},
      {0xA5, 1, false, 0xA7, 0xA5},
      {0x8000'0000U, 31, true, 0x8000'0000U, 0},
      {0x02, 33, true, 0x02, 0x00},  // bit 33 is bit 1
      {0x01, 32, true, 0x01, 0x00},  // bit 32 is bit 0
  };
  for (const BitCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "value " << c.value << " bit " << c.bit);
    EXPECT_EQ(TestBit(c.value, c.bit), c.isSet);
    EXPECT_EQ(SetBit(c.value, c.bit), c.withBit);
    EXPECT_EQ(ClearBit(c.value, c.bit), c.withoutBit);
  }
}

}  // namespace
}  // namespace corvid::device
