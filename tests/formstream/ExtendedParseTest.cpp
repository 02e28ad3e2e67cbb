#include "formstream/ExtendedParse.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

using namespace vc;

namespace {

Extended ext(std::uint16_t signExponent, std::uint64_t mantissa) {
  Extended e;
  e.signExponent = signExponent;
  e.mantissa = mantissa;
  return e;
}

void expectExt(const char* text, std::uint16_t signExponent, std::uint64_t mantissa) {
  auto v = parseExtended(text);
  ASSERT_TRUE(v.has_value()) << text;
  EXPECT_EQ(v->signExponent, signExponent) << text;
  EXPECT_EQ(v->mantissa, mantissa) << text;
}

}  // namespace

TEST(ParseInt64, DecimalHexAndRange) {
  EXPECT_EQ(parseInt64("0"), 0);
  EXPECT_EQ(parseInt64("-12"), -12);
  EXPECT_EQ(parseInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(parseInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_FALSE(parseInt64("9223372036854775808"));
  EXPECT_FALSE(parseInt64("-9223372036854775809"));
  EXPECT_FALSE(parseInt64("99999999999999999999999"));
  EXPECT_EQ(parseInt64("$ff"), 255);
  EXPECT_EQ(parseInt64("$FF"), 255);
  EXPECT_EQ(parseInt64("$FFFFFFFF"), 4294967295);
  EXPECT_EQ(parseInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_FALSE(parseInt64("$1FFFFFFFFFFFFFFFF"));  // 17 digits
  EXPECT_FALSE(parseInt64("$"));
  EXPECT_FALSE(parseInt64("-"));
  EXPECT_FALSE(parseInt64(""));
  EXPECT_FALSE(parseInt64("1-2"));
  EXPECT_FALSE(parseInt64("--1"));
}

TEST(ParseExtended, ExactValues) {
  expectExt("1.5", 0x3FFF, 0xC000000000000000);
  expectExt("1", 0x3FFF, 0x8000000000000000);
  expectExt("-2", 0xC000, 0x8000000000000000);
  expectExt("0.1", 0x3FFB, 0xCCCCCCCCCCCCCCCD);
  expectExt("1.", 0x3FFF, 0x8000000000000000);
  expectExt("1e", 0x3FFF, 0x8000000000000000);
  expectExt("1E+", 0x3FFF, 0x8000000000000000);
  expectExt("1E+5", 0x400F, 0xC350000000000000);
  expectExt("0", 0, 0);
  expectExt("0.000e99999999999", 0, 0);
  expectExt("-0", 0x8000, 0);
}

TEST(ParseExtended, TiesGoToEven) {
  // 2^64 + 1 lies halfway between 2^64 and 2^64 + 2: the even significand wins.
  expectExt("18446744073709551617", 0x3FFF + 64, 0x8000000000000000);
  // 2^64 + 3 lies halfway between 2^64 + 2 (odd significand) and 2^64 + 4.
  expectExt("18446744073709551619", 0x3FFF + 64, 0x8000000000000002);
  // Just above the halfway point rounds up, however far away the extra digit is.
  expectExt("18446744073709551617.0000000000000000000000000000001", 0x3FFF + 64, 0x8000000000000001);
}

TEST(ParseExtended, RangeEnds) {
  expectExt("1.18973149535723176502e4932", 0x7FFE, 0xFFFFFFFFFFFFFFFF);  // the largest
  EXPECT_FALSE(parseExtended("1.2e4932"));
  EXPECT_FALSE(parseExtended("1e99999999999999"));
  expectExt("3.64519953188247460253e-4951", 0, 1);  // the smallest denormal
  expectExt("1e-4952", 0, 0);                        // below half of it
  expectExt("3.3621031431120935063e-4932", 1, 0x8000000000000000);  // the smallest normal
}

TEST(ParseExtended, RejectsWhatIsNoFloat) {
  for (const char* bad : {"-", "", "1-2", "1.2.3", "e5", "1e5x", "+", "1 ", "0x10", "inf", "nan"})
    EXPECT_FALSE(parseExtended(bad)) << bad;
}

TEST(ExtendedRounding, SingleAndDateRoundFromTheExtendedValue) {
  EXPECT_EQ(extendedToSingle(*parseExtended("1.5")), 1.5f);
  EXPECT_EQ(extendedToSingle(*parseExtended("0.100000001490116")), 0.1f);
  EXPECT_EQ(extendedToDouble(*parseExtended("0.1")), 0.1);
  // Rendered from FLT_MAX with 15 digits the text is slightly above it.
  EXPECT_EQ(extendedToSingle(*parseExtended("3.40282346638529E38")), FLT_MAX);
  EXPECT_FALSE(extendedToSingle(*parseExtended("1e39")));
  EXPECT_FALSE(extendedToDouble(*parseExtended("1e309")));
  EXPECT_EQ(extendedToSingle(*parseExtended("1e-50")), 0.0f);
  EXPECT_EQ(extendedToDouble(*parseExtended("4.9406564584124654e-324")), 4.9406564584124654e-324);
  EXPECT_TRUE(std::signbit(*extendedToDouble(*parseExtended("-0"))));
  // Two roundings differ from one here: the decimal lies just above the
  // midpoint of two binary64 values but rounds to the midpoint in extended,
  // which then goes to the even neighbour.
  const char* twice = "1.0000000000000001110223024625156541";  // 1 + 2^-53 + a little
  EXPECT_EQ(extendedToDouble(*parseExtended(twice)), 1.0);
  EXPECT_EQ(std::strtod(twice, nullptr), 1.0000000000000002);
  Extended inf = ext(0x7FFF, 0x8000000000000000);
  EXPECT_FALSE(extendedToSingle(inf));
  EXPECT_FALSE(extendedToDouble(inf));
}

TEST(ExtendedRounding, CurrencyKeepsTheScaledInteger) {
  EXPECT_EQ(extendedToCurrency(*parseExtended("15000")), 15000);
  EXPECT_EQ(extendedToCurrency(*parseExtended("-15000")), -15000);
  EXPECT_EQ(extendedToCurrency(*parseExtended("0.5")), 0);
  EXPECT_EQ(extendedToCurrency(*parseExtended("1.5")), 2);
  EXPECT_EQ(extendedToCurrency(*parseExtended("2.5")), 2);
  EXPECT_EQ(extendedToCurrency(*parseExtended("9223372036854775807")), INT64_MAX);
  EXPECT_EQ(extendedToCurrency(*parseExtended("-9223372036854775808")), INT64_MIN);
  EXPECT_FALSE(extendedToCurrency(*parseExtended("9223372036854775808")));
  EXPECT_FALSE(extendedToCurrency(*parseExtended("1e30")));
  EXPECT_EQ(extendedToCurrency(*parseExtended("1e-30")), 0);
}

#if defined(__x86_64__) || defined(__i386__)
// On x86 the C library's long double is the same extended format and its
// conversions round correctly, which makes it an independent oracle here.
static_assert(LDBL_MANT_DIG == 64);

TEST(ExtendedOracle, RandomDecimalsMatchTheLibrary) {
  std::mt19937_64 rng(12345);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    if (rng() % 2) text += '-';
    // Half the cases stay within 19 digits, where a 128-bit shortcut applies.
    int maxDigits = i % 2 ? 25 : 10;
    int intDigits = static_cast<int>(rng() % maxDigits), fracDigits = static_cast<int>(rng() % maxDigits);
    if (intDigits == 0 && fracDigits == 0) fracDigits = 1;
    for (int k = 0; k < intDigits; ++k) text += static_cast<char>('0' + rng() % 10);
    if (fracDigits || intDigits == 0) {
      text += '.';
      for (int k = 0; k < fracDigits; ++k) text += static_cast<char>('0' + rng() % 10);
    }
    int range = i < 15000 ? 40 : 9900;
    if (rng() % 3) text += "E" + std::to_string(static_cast<int>(rng() % (2 * range + 1)) - range);
    auto ours = parseExtended(text);
    long double lib = std::strtold(text.c_str(), nullptr);
    if (std::isinf(lib)) {
      EXPECT_FALSE(ours) << text;
      continue;
    }
    ASSERT_TRUE(ours) << text;
    unsigned char bytes[16] = {};
    std::memcpy(bytes, &lib, 10);
    Extended want = Extended::fromBytes(bytes);
    ASSERT_EQ(ours->mantissa, want.mantissa) << text;
    ASSERT_EQ(ours->signExponent, want.signExponent) << text;
    if (std::fabs(lib) < 1e30L) {
      auto d = extendedToDouble(*ours);
      auto f = extendedToSingle(*ours);
      ASSERT_TRUE(d && f) << text;
      EXPECT_EQ(*d, static_cast<double>(lib)) << text;
      if (std::fabs(lib) < 3e38L) {
        EXPECT_EQ(*f, static_cast<float>(lib)) << text;
      }
    }
    if (std::fabs(lib) < 9e18L) {
      long double scaled = (lib / 10000.0L) * 10000.0L;
      EXPECT_EQ(extendedToCurrency(*ours), std::llrintl(scaled)) << text;
    }
  }
}
#endif
