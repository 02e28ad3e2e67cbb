#include "platform/LittleEndian.h"

#include <gtest/gtest.h>

// Values decode little-endian; a read that runs past the end fails and moves nowhere.
TEST(ByteCursor, ReadsInOrderAndRefusesToRunPastTheEnd) {
  vc::le::ByteCursor c(std::string_view("\x34\x12\x78\x56\x34\x12" "A\0B\0", 10));
  std::uint16_t a = 0;
  std::uint32_t b = 0;
  std::u16string text;
  ASSERT_TRUE(c.u16(a));
  ASSERT_TRUE(c.u32(b));
  EXPECT_EQ(a, 0x1234);
  EXPECT_EQ(b, 0x12345678u);
  EXPECT_FALSE(c.utf16(3, text));
  EXPECT_EQ(c.offset(), 6u);
  ASSERT_TRUE(c.utf16(2, text));
  EXPECT_EQ(text, u"AB");
  EXPECT_FALSE(c.u16(a));
  EXPECT_FALSE(c.skip(1));
}
