#include "platform/Cp950.h"

#include <gtest/gtest.h>

#include "platform/Utf.h"

using namespace vc;

TEST(Cp950, TrailByteFollowsOddLeadRuns) {
  // 0xA4 0x40 is one character; the "@" behind a single lead byte is its trail.
  std::string s = "A\xA4\x40\xA4\xA4\x40";
  EXPECT_FALSE(cp950::isTrailByte(s, 0));
  EXPECT_FALSE(cp950::isTrailByte(s, 1));
  EXPECT_TRUE(cp950::isTrailByte(s, 2));
  EXPECT_FALSE(cp950::isTrailByte(s, 3));  // lead run in front of it is 0x40: none
  EXPECT_TRUE(cp950::isTrailByte(s, 4));   // one lead byte in front
  EXPECT_FALSE(cp950::isTrailByte(s, 5));  // two lead bytes in front: even run
  EXPECT_FALSE(cp950::isTrailByte(s, 6));  // behind the end
}

TEST(Cp950, DecodesBig5AndEncodesBack) {
  std::string big5 = "\xB7\x7C\xC4\xB3\xAB\xC7|Room";  // 會議室|Room
  EXPECT_EQ(cp950::toUtf8(big5), "會議室|Room");
  EXPECT_EQ(cp950::fromUtf8("會議室|Room"), big5);
}

TEST(Cp950, EveryByteStringSurvivesARoundTrip) {
  // Bytes that do not decode (0x80, 0xFF, a lone lead byte at the end, a lead
  // byte followed by a byte that is no trail) come back unchanged.
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  for (int b = 0x81; b < 0xFF; ++b) {
    all.push_back(static_cast<char>(b));
    all.push_back('\x7F');
  }
  all += "\xA4";
  auto back = cp950::encode(cp950::decode(all));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
}

TEST(Cp950, RefusesCharactersWithoutEncoding) {
  std::size_t at = 99;
  EXPECT_FALSE(cp950::encode(u"ab\u00E9c", &at).has_value());  // é is not in Big5
  EXPECT_EQ(at, 2u);
  EXPECT_EQ(cp950::encodeLossy(u"ab\u00E9c"), "ab?c");
}

TEST(Utf, MalformedUtf8BecomesReplacementCharacter) {
  EXPECT_EQ(utf::utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(utf::utf8ToUtf16("\xE6\x9C"), u"\uFFFD");  // truncated sequence
  EXPECT_EQ(utf::utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(utf::utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // lone surrogate
}
