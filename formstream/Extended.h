#pragma once
// The x87 80-bit extended value as stored in binary form streams, widening
// from the narrower IEEE formats, and the general number format computed
// from the exact value.
#include <cstdint>
#include <string>

namespace vc {

struct Extended {
  std::uint64_t mantissa = 0;      // explicit integer bit at bit 63
  std::uint16_t signExponent = 0;  // sign in bit 15, biased exponent (16383) below

  static Extended fromBytes(const unsigned char* p);  // 10 bytes, little-endian
  void toBytes(unsigned char* p) const;
  // Exact widenings; NaN payloads and signs are kept.
  static Extended fromDouble(double v);
  static Extended fromSingle(float v);
  static Extended fromInt64(std::int64_t v);

  bool negative() const { return (signExponent & 0x8000) != 0; }
  int exponentField() const { return signExponent & 0x7FFF; }
  bool isNan() const { return exponentField() == 0x7FFF && (mantissa << 1) != 0; }
  bool isInf() const { return exponentField() == 0x7FFF && (mantissa << 1) == 0; }
};

// General number format with 15 significant digits and "." as separator:
// "NAN", "INF", "0", fixed notation for decimal exponents -3..15, else
// scientific ("1.23456789012346E15", "1E-5").
std::string formatGeneral(const Extended& value);

}  // namespace vc
