#pragma once
// Exact conversions of form text numbers: decimal text to the 80-bit extended
// format (correctly rounded, ties to even), and from there to binary32,
// binary64 and the scaled currency integer. None of it depends on the locale
// or on the platform's long double.
#include <cstdint>
#include <optional>
#include <string_view>

#include "formstream/Extended.h"

namespace vc {

// "-"? digits, or "$" and 1 to 16 hexadecimal digits taken as a 64-bit pattern.
std::optional<std::int64_t> parseInt64(std::string_view text);

// Optional sign, digits and/or "." with digits behind it, optional exponent
// ("E"/"e", optional sign, digits; none counts as 0). nullopt for any other
// text and for values beyond the extended range.
std::optional<Extended> parseExtended(std::string_view text);

// Rounding of an extended value (ties to even); nullopt when it lies beyond
// the target's finite range or is not finite.
std::optional<float> extendedToSingle(const Extended& value);
std::optional<double> extendedToDouble(const Extended& value);

// The stored currency integer: the value divided by 10000 and multiplied by
// 10000 again, both in extended precision, then rounded to an integer.
std::optional<std::int64_t> extendedToCurrency(const Extended& value);

}  // namespace vc
