// The general number format on exact 80-bit patterns.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "formstream/Extended.h"

namespace vc {
namespace {

Extended ext(std::uint16_t signExp, std::uint64_t mantissa) { return Extended{mantissa, signExp}; }

TEST(FormatGeneralTest, SpecialValues) {
  EXPECT_EQ(formatGeneral(ext(0x7FFF, 0x8000000000000000ull)), "INF");
  EXPECT_EQ(formatGeneral(ext(0xFFFF, 0x8000000000000000ull)), "-INF");
  EXPECT_EQ(formatGeneral(ext(0x7FFF, 0xC000000000000000ull)), "NAN");
  EXPECT_EQ(formatGeneral(ext(0xFFFF, 0xC000000000000000ull)), "-NAN");
  EXPECT_EQ(formatGeneral(ext(0x0000, 0)), "0");
  EXPECT_EQ(formatGeneral(ext(0x8000, 0)), "0");              // negative zero
  EXPECT_EQ(formatGeneral(ext(0x0000, 0x0000000000000001ull)), "0");  // denormal
  EXPECT_EQ(formatGeneral(ext(0x8000, 0x7FFFFFFFFFFFFFFFull)), "0");  // negative denormal
}

TEST(FormatGeneralTest, FixedAndScientificBoundaries) {
  auto d = [](double v) { return formatGeneral(Extended::fromDouble(v)); };
  EXPECT_EQ(d(1.5), "1.5");
  EXPECT_EQ(d(-1.5), "-1.5");
  EXPECT_EQ(d(0.0001), "0.0001");
  EXPECT_EQ(d(0.00001), "1E-5");
  EXPECT_EQ(d(0.00012345), "0.00012345");
  EXPECT_EQ(d(1e15), "1E15");
  EXPECT_EQ(d(999999999999999.0), "999999999999999");
  EXPECT_EQ(d(123456789012345.0), "123456789012345");
  EXPECT_EQ(d(1234567890123456.0), "1.23456789012346E15");
  EXPECT_EQ(d(1e20), "1E20");
  EXPECT_EQ(d(-2.5e-300), "-2.5E-300");
  EXPECT_EQ(d(100.0), "100");
  EXPECT_EQ(d(0.1), "0.1");
  EXPECT_EQ(d(1e-310), "9.99999999999997E-311");  // subnormal double, widened exactly
  EXPECT_EQ(formatGeneral(Extended::fromInt64(15000)), "15000");
  EXPECT_EQ(formatGeneral(Extended::fromInt64(std::numeric_limits<std::int64_t>::min())), "-9.22337203685478E18");
}

TEST(FormatGeneralTest, RoundingCarries) {
  // 9.99999999999999999 is the extended 0x4002 A000000000000000 - a few ulps.
  EXPECT_EQ(formatGeneral(ext(0x4002, 0x9FFFFFFFFFFFFFFDull)), "10");
  EXPECT_EQ(formatGeneral(ext(0x3FFF, 0xFFFFFFFFFFFFFFFFull)), "2");  // 1.99999999999999999989
  EXPECT_EQ(formatGeneral(ext(0x3FFE, 0xFFFFFFFFFFFFFFFFull)), "1");  // just below 1
  // 0.3 as extended: 18 digits 0.300000000000000000 exactly after rounding.
  EXPECT_EQ(formatGeneral(ext(0x3FFD, 0x9999999999999999ull)), "0.3");
  EXPECT_EQ(formatGeneral(ext(0x3FFD, 0x999999999999999Aull)), "0.3");
}

TEST(FormatGeneralTest, SinglesAndExtremes) {
  EXPECT_EQ(formatGeneral(Extended::fromSingle(0.1f)), "0.100000001490116");
  EXPECT_EQ(formatGeneral(Extended::fromSingle(std::numeric_limits<float>::denorm_min())), "1.40129846432482E-45");
  EXPECT_EQ(formatGeneral(Extended::fromSingle(-std::numeric_limits<float>::infinity())), "-INF");
  EXPECT_EQ(formatGeneral(Extended::fromDouble(std::nan(""))), "NAN");
  EXPECT_EQ(formatGeneral(ext(0x7FFE, 0xFFFFFFFFFFFFFFFFull)), "1.18973149535723E4932");
  EXPECT_EQ(formatGeneral(ext(0x0001, 0x8000000000000000ull)), "3.36210314311209E-4932");
  EXPECT_EQ(formatGeneral(Extended::fromDouble(45000.5)), "45000.5");  // a date
}

TEST(FormatGeneralTest, SeparatorIsAlwaysAPoint) {
  // A locale with a decimal comma must not reach the text.
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE"})
    if (std::setlocale(LC_NUMERIC, name)) break;
  EXPECT_EQ(formatGeneral(Extended::fromDouble(1.5)), "1.5");
  EXPECT_EQ(formatGeneral(Extended::fromDouble(-2.5e-7)), "-2.5E-7");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ExtendedTest, BytesRoundTrip) {
  unsigned char b[10];
  Extended e = Extended::fromDouble(-3.25);
  e.toBytes(b);
  Extended back = Extended::fromBytes(b);
  EXPECT_EQ(back.mantissa, e.mantissa);
  EXPECT_EQ(back.signExponent, e.signExponent);
  EXPECT_EQ(b[9], 0xC0);
  EXPECT_EQ(b[8], 0x00);
  EXPECT_EQ(b[7], 0xD0);
}

}  // namespace
}  // namespace vc
