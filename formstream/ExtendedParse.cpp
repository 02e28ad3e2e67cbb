#include "formstream/ExtendedParse.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

namespace vc {
namespace {

// Unsigned integer of any size, 32-bit limbs, least significant first, no
// zero limbs at the top (zero is the empty vector).
class BigUInt {
 public:
  BigUInt() = default;
  explicit BigUInt(std::uint64_t v) {
    while (v) {
      m_d.push_back(static_cast<std::uint32_t>(v));
      v >>= 32;
    }
  }

  bool isZero() const { return m_d.empty(); }

  std::size_t bitLength() const {
    if (m_d.empty()) return 0;
    return (m_d.size() - 1) * 32 + (32 - static_cast<std::size_t>(std::countl_zero(m_d.back())));
  }

  bool bit(std::size_t i) const {
    std::size_t limb = i / 32;
    return limb < m_d.size() && ((m_d[limb] >> (i % 32)) & 1u);
  }

  // True when any of the bits below position n is set.
  bool anyBelow(std::size_t n) const {
    std::size_t full = std::min(n / 32, m_d.size());
    for (std::size_t i = 0; i < full; ++i)
      if (m_d[i]) return true;
    if (full < m_d.size() && n % 32) return (m_d[full] & ((1u << (n % 32)) - 1)) != 0;
    return false;
  }

  // Up to 64 bits starting at position from.
  std::uint64_t bitsFrom(std::size_t from) const {
    std::size_t limb = from / 32;
    unsigned __int128 window = 0;  // three limbs hold the 64 bits at any offset
    for (std::size_t i = 0; i < 3 && limb + i < m_d.size(); ++i)
      window |= static_cast<unsigned __int128>(m_d[limb + i]) << (32 * i);
    return static_cast<std::uint64_t>(window >> (from % 32));
  }

  void mulAdd(std::uint32_t mul, std::uint32_t add) {
    std::uint64_t carry = add;
    for (std::uint32_t& limb : m_d) {
      std::uint64_t t = std::uint64_t{limb} * mul + carry;
      limb = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry) m_d.push_back(static_cast<std::uint32_t>(carry));
  }

  void shiftLeft(std::size_t bits) {
    if (m_d.empty() || bits == 0) return;
    std::size_t limbs = bits / 32;
    unsigned rest = static_cast<unsigned>(bits % 32);
    if (rest) {
      std::uint32_t carry = 0;
      for (std::uint32_t& limb : m_d) {
        std::uint32_t next = limb >> (32 - rest);
        limb = (limb << rest) | carry;
        carry = next;
      }
      if (carry) m_d.push_back(carry);
    }
    m_d.insert(m_d.begin(), limbs, 0u);
  }

  static BigUInt pow10(std::size_t n) {
    BigUInt r(1);
    for (; n >= 9; n -= 9) r.mulAdd(1000000000u, 0);
    static constexpr std::uint32_t kSmall[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    r.mulAdd(kSmall[n], 0);
    return r;
  }

  // quotient = u / v; returns whether the remainder is nonzero. v must not be zero.
  static bool divide(const BigUInt& u, const BigUInt& v, BigUInt& quotient);

 private:
  void trim() {
    while (!m_d.empty() && m_d.back() == 0) m_d.pop_back();
  }
  std::vector<std::uint32_t> m_d;
};

bool BigUInt::divide(const BigUInt& u, const BigUInt& v, BigUInt& quotient) {
  quotient.m_d.clear();
  const std::size_t n = v.m_d.size();
  if (u.m_d.size() < n) return !u.isZero();
  if (n == 1) {
    std::uint64_t rem = 0;
    quotient.m_d.assign(u.m_d.size(), 0);
    for (std::size_t i = u.m_d.size(); i-- > 0;) {
      std::uint64_t cur = (rem << 32) | u.m_d[i];
      quotient.m_d[i] = static_cast<std::uint32_t>(cur / v.m_d[0]);
      rem = cur % v.m_d[0];
    }
    quotient.trim();
    return rem != 0;
  }
  // Long division on normalised operands (the divisor's top bit set), with
  // the two-limb estimate of each quotient limb corrected at most twice.
  const std::size_t m = u.m_d.size() - n;
  const unsigned s = static_cast<unsigned>(std::countl_zero(v.m_d.back()));
  auto shifted = [s](const std::vector<std::uint32_t>& x, std::size_t size) {
    std::vector<std::uint32_t> r(size, 0);
    for (std::size_t i = 0; i < x.size(); ++i) {
      std::uint64_t w = std::uint64_t{x[i]} << s;
      r[i] |= static_cast<std::uint32_t>(w);
      if (i + 1 < size) r[i + 1] |= static_cast<std::uint32_t>(w >> 32);
    }
    return r;
  };
  std::vector<std::uint32_t> vn = shifted(v.m_d, n);
  std::vector<std::uint32_t> un = shifted(u.m_d, u.m_d.size() + 1);
  constexpr std::uint64_t kBase = std::uint64_t{1} << 32;
  quotient.m_d.assign(m + 1, 0);
  for (std::size_t j = m + 1; j-- > 0;) {
    std::uint64_t num = (std::uint64_t{un[j + n]} << 32) | un[j + n - 1];
    std::uint64_t qhat = num / vn[n - 1];
    std::uint64_t rhat = num % vn[n - 1];
    while (qhat >= kBase || qhat * vn[n - 2] > ((rhat << 32) | un[j + n - 2])) {
      --qhat;
      rhat += vn[n - 1];
      if (rhat >= kBase) break;
    }
    std::int64_t borrow = 0;
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < n; ++i) {
      std::uint64_t p = qhat * vn[i] + carry;
      carry = p >> 32;
      std::int64_t t = std::int64_t{un[i + j]} - borrow - static_cast<std::int64_t>(p & 0xFFFFFFFFu);
      un[i + j] = static_cast<std::uint32_t>(t);
      borrow = t < 0 ? 1 : 0;
    }
    std::int64_t t = std::int64_t{un[j + n]} - borrow - static_cast<std::int64_t>(carry);
    un[j + n] = static_cast<std::uint32_t>(t);
    if (t < 0) {
      --qhat;
      std::uint64_t c = 0;
      for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t sum = std::uint64_t{un[i + j]} + vn[i] + c;
        un[i + j] = static_cast<std::uint32_t>(sum);
        c = sum >> 32;
      }
      un[j + n] += static_cast<std::uint32_t>(c);
    }
    quotient.m_d[j] = static_cast<std::uint32_t>(qhat);
  }
  quotient.trim();
  for (std::size_t i = 0; i < n; ++i)
    if (un[i]) return true;
  return false;
}

// A value rounded to `precision` bits: magnitude * 2^exp, magnitude < 2^precision.
struct Rounded {
  std::uint64_t magnitude = 0;
  std::int64_t exp = 0;
};

// The last step of rounding: m, the kept bits with the exponent k of the
// lowest, goes up by one when the bit below is set (half) and anything below
// that is (rest) or m is odd; a carry out of the top moves the exponent.
Rounded roundKept(std::uint64_t m, std::int64_t k, bool half, bool rest, int precision) {
  if (half && (rest || (m & 1))) {
    if (precision == 64 && m == ~std::uint64_t{0}) {
      m = std::uint64_t{1} << 63;
      ++k;
    } else {
      ++m;
      if (precision < 64 && m == (std::uint64_t{1} << precision)) {
        m >>= 1;
        ++k;
      }
    }
  }
  return {m, k};
}

// Rounds q * 2^e (plus a positive amount below its last bit when sticky) to
// `precision` significant bits, ties to even, with the last bit's exponent
// never below minLsb (gradual underflow). Callers pass either an exact q or
// one with at least precision + 2 bits above minLsb.
Rounded roundBits(const BigUInt& q, std::int64_t e, bool sticky, int precision, std::int64_t minLsb) {
  Rounded r;
  if (q.isZero()) return r;
  std::int64_t len = static_cast<std::int64_t>(q.bitLength());
  std::int64_t k = std::max(len + e - precision, minLsb);
  std::int64_t shift = k - e;
  if (shift <= 0) {
    r.magnitude = q.bitsFrom(0) << (-shift);
    r.exp = k;
    return r;
  }
  std::uint64_t m = q.bitsFrom(static_cast<std::size_t>(shift));
  bool half = q.bit(static_cast<std::size_t>(shift - 1));
  bool rest = sticky || q.anyBelow(static_cast<std::size_t>(shift - 1));
  return roundKept(m, k, half, rest, precision);
}

constexpr int kExtBias = 16383;
constexpr std::int64_t kExtMinLsb = 1 - kExtBias - 63;  // -16445

std::optional<Extended> packExtended(const Rounded& r, bool negative) {
  Extended x;
  x.signExponent = negative ? 0x8000 : 0;
  if (r.magnitude == 0) return x;
  if (r.magnitude >> 63) {
    std::int64_t biased = r.exp + 63 + kExtBias;
    if (biased >= 0x7FFF) return std::nullopt;
    x.signExponent = static_cast<std::uint16_t>(x.signExponent | biased);
  }
  x.mantissa = r.magnitude;
  return x;
}

// Most numbers in form text have few digits and a small exponent; their
// exact value or quotient fits 128 bits, which spares the big integers.
std::optional<Rounded> roundSmall(std::uint64_t n, std::int64_t exp10) {
  static constexpr std::uint64_t kPow10[] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL,
                                             10000000ULL, 100000000ULL, 1000000000ULL, 10000000000ULL,
                                             100000000000ULL, 1000000000000ULL, 10000000000000ULL,
                                             100000000000000ULL, 1000000000000000ULL, 10000000000000000ULL,
                                             100000000000000000ULL, 1000000000000000000ULL,
                                             10000000000000000000ULL};
  using U128 = unsigned __int128;
  auto bitLength = [](U128 v) {
    std::uint64_t hi = static_cast<std::uint64_t>(v >> 64);
    return hi ? 128 - std::countl_zero(hi) : 64 - std::countl_zero(static_cast<std::uint64_t>(v));
  };
  U128 q;
  std::int64_t e = 0;
  bool sticky = false;
  if (exp10 >= 0 && exp10 <= 19) {
    q = static_cast<U128>(n) * kPow10[exp10];  // below 10^38
  } else if (exp10 < 0 && exp10 >= -18) {
    std::uint64_t d = kPow10[-exp10];
    int s = std::max(0, 65 + (64 - std::countl_zero(d)) - (64 - std::countl_zero(n)));  // at most 125 bits
    U128 num = static_cast<U128>(n) << s;
    q = num / d;
    sticky = num % d != 0;
    e = -s;
  } else {
    return std::nullopt;
  }
  Rounded r;
  int len = bitLength(q);
  int shift = len - 64;
  r.exp = e + shift;
  if (shift <= 0) {
    r.magnitude = static_cast<std::uint64_t>(q) << -shift;
    return r;
  }
  std::uint64_t m = static_cast<std::uint64_t>(q >> shift);
  bool half = (q >> (shift - 1)) & 1;
  bool rest = sticky || (q & ((static_cast<U128>(1) << (shift - 1)) - 1)) != 0;
  return roundKept(m, r.exp, half, rest, 64);
}

// roundBits for a q of one word without sticky bits: the mantissa of an
// extended rounded to a narrower format, without big integers.
Rounded roundWord(std::uint64_t q, std::int64_t e, int precision, std::int64_t minLsb) {
  if (q == 0) return {};
  std::int64_t len = std::bit_width(q);
  std::int64_t k = std::max(len + e - precision, minLsb);
  std::int64_t shift = k - e;
  if (shift <= 0) return {q << (-shift), k};
  std::uint64_t m = shift >= 64 ? 0 : q >> shift;
  bool half = shift - 1 < 64 && ((q >> (shift - 1)) & 1) != 0;
  bool rest = shift - 1 >= 64 ? q != 0 : (q & ((std::uint64_t{1} << (shift - 1)) - 1)) != 0;
  return roundKept(m, k, half, rest, precision);
}

// A finite extended is exactly its mantissa * 2^lsbExponent.
std::int64_t lsbExponent(const Extended& v) {
  return (v.exponentField() == 0 ? 1 : std::int64_t{v.exponentField()}) - kExtBias - 63;
}

bool unpackExtended(const Extended& v, BigUInt& q, std::int64_t& e) {
  if (v.exponentField() == 0x7FFF) return false;
  q = BigUInt(v.mantissa);
  e = lsbExponent(v);
  return true;
}

// Rounds to an IEEE binary format of `precision` bits (hidden bit included);
// returns the bit pattern, or nullopt on overflow or for infinities and NaNs.
std::optional<std::uint64_t> toIeee(const Extended& v, int precision, int bias, int maxBiased) {
  if (v.exponentField() == 0x7FFF) return std::nullopt;
  const std::int64_t minLsb = 1 - bias - (precision - 1);
  Rounded r = roundWord(v.mantissa, lsbExponent(v), precision, minLsb);
  std::uint64_t bits = 0;
  if (r.magnitude != 0) {
    std::uint64_t hidden = std::uint64_t{1} << (precision - 1);
    std::int64_t biased = (r.magnitude & hidden) ? r.exp + (precision - 1) + bias : 0;
    if (biased >= maxBiased) return std::nullopt;
    bits = (static_cast<std::uint64_t>(biased) << (precision - 1)) | (r.magnitude & (hidden - 1));
  }
  if (v.negative()) bits |= std::uint64_t{1} << (precision == 24 ? 31 : 63);
  return bits;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::optional<std::int64_t> parseInt64(std::string_view text) {
  if (!text.empty() && text[0] == '$') {
    if (text.size() < 2 || text.size() > 17) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : text.substr(1)) {
      int h = hexValue(c);
      if (h < 0) return std::nullopt;
      v = (v << 4) | static_cast<std::uint64_t>(h);
    }
    return static_cast<std::int64_t>(v);
  }
  bool negative = !text.empty() && text[0] == '-';
  std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty()) return std::nullopt;
  const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  std::uint64_t v = 0;
  for (char c : digits) {
    if (!isDigit(c)) return std::nullopt;
    std::uint64_t d = static_cast<std::uint64_t>(c - '0');
    if (v > limit / 10 || (v == limit / 10 && d > limit % 10)) return std::nullopt;  // v * 10 + d > limit
    v = v * 10 + d;
  }
  return negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
}

std::optional<Extended> parseExtended(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::string digits;  // significant digits, leading zeros dropped
  std::int64_t exp10 = 0;
  bool any = false;
  for (; i < n && isDigit(text[i]); ++i) {
    any = true;
    if (!digits.empty() || text[i] != '0') digits.push_back(text[i]);
  }
  if (i < n && text[i] == '.') {
    any = true;
    for (++i; i < n && isDigit(text[i]); ++i) {
      if (!digits.empty() || text[i] != '0') digits.push_back(text[i]);
      --exp10;
    }
  }
  if (!any) return std::nullopt;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool expNegative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
    std::int64_t e = 0;
    for (; i < n && isDigit(text[i]); ++i) e = std::min<std::int64_t>(e * 10 + (text[i] - '0'), 1000000000);
    exp10 += expNegative ? -e : e;
  }
  if (i != n) return std::nullopt;

  Extended zero;
  zero.signExponent = negative ? 0x8000 : 0;
  while (!digits.empty() && digits.back() == '0') {
    digits.pop_back();
    ++exp10;
  }
  if (digits.empty()) return zero;
  // The value lies in [10^(nd-1+exp10), 10^(nd+exp10)). The largest extended
  // is about 1.19E4932 and half the smallest denormal about 1.8E-4951.
  const std::int64_t nd = static_cast<std::int64_t>(digits.size());
  if (nd - 1 + exp10 >= 4933) return std::nullopt;
  if (nd + exp10 < -4951) return zero;

  if (digits.size() <= 19) {
    std::uint64_t n = 0;
    for (char c : digits) n = n * 10 + static_cast<std::uint64_t>(c - '0');
    if (auto r = roundSmall(n, exp10)) return packExtended(*r, negative);
  }
  BigUInt mant;
  for (std::size_t p = 0; p < digits.size(); p += 9) {
    std::size_t len = std::min<std::size_t>(9, digits.size() - p);
    std::uint32_t chunk = 0, scale = 1;
    for (std::size_t k = 0; k < len; ++k) {
      chunk = chunk * 10 + static_cast<std::uint32_t>(digits[p + k] - '0');
      scale *= 10;
    }
    mant.mulAdd(scale, chunk);
  }
  if (exp10 >= 0) {
    BigUInt product = mant;
    static constexpr std::uint32_t kPow[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000,
                                             1000000000};
    for (std::size_t k = static_cast<std::size_t>(exp10); k > 0;) {
      std::size_t step = std::min<std::size_t>(k, 9);
      product.mulAdd(kPow[step], 0);
      k -= step;
    }
    return packExtended(roundBits(product, 0, false, 64, kExtMinLsb), negative);
  }
  // value = mant / 10^-exp10; scale the numerator so that the quotient has at
  // least 66 bits above the lowest representable bit.
  BigUInt divisor = BigUInt::pow10(static_cast<std::size_t>(-exp10));
  std::int64_t lenN = static_cast<std::int64_t>(mant.bitLength());
  std::int64_t lenD = static_cast<std::int64_t>(divisor.bitLength());
  std::int64_t s = std::max<std::int64_t>(0, 66 + lenD - lenN);
  // Near the denormal range the lowest kept bit is fixed; keep two bits below it.
  std::int64_t topExp = lenN - lenD;
  if (topExp - 66 < kExtMinLsb) s = std::max(s, -kExtMinLsb + 2);
  mant.shiftLeft(static_cast<std::size_t>(s));
  BigUInt q;
  bool sticky = BigUInt::divide(mant, divisor, q);
  return packExtended(roundBits(q, -s, sticky, 64, kExtMinLsb), negative);
}

std::optional<float> extendedToSingle(const Extended& value) {
  auto bits = toIeee(value, 24, 127, 255);
  if (!bits) return std::nullopt;
  std::uint32_t b = static_cast<std::uint32_t>(*bits);
  float f;
  std::memcpy(&f, &b, sizeof f);
  return f;
}

std::optional<double> extendedToDouble(const Extended& value) {
  auto bits = toIeee(value, 53, 1023, 2047);
  if (!bits) return std::nullopt;
  double d;
  std::memcpy(&d, &*bits, sizeof d);
  return d;
}

std::optional<std::int64_t> extendedToCurrency(const Extended& value) {
  BigUInt q;
  std::int64_t e;
  if (!unpackExtended(value, q, e)) return std::nullopt;
  if (q.isZero()) return 0;
  // value / 10000, rounded to extended.
  q.shiftLeft(80);
  BigUInt quotient;
  bool sticky = BigUInt::divide(q, BigUInt(10000), quotient);
  Rounded a = roundBits(quotient, e - 80, sticky, 64, kExtMinLsb);
  // times 10000, rounded to extended.
  BigUInt product(a.magnitude);
  product.mulAdd(10000, 0);
  Rounded b = roundBits(product, a.exp, false, 64, kExtMinLsb);
  // To the nearest integer, ties to even.
  std::uint64_t magnitude;
  if (b.exp >= 0) {
    if (b.exp >= 64 || (b.exp > 0 && (b.magnitude >> (64 - b.exp)) != 0)) return std::nullopt;
    magnitude = b.magnitude << b.exp;
  } else {
    Rounded i = roundBits(BigUInt(b.magnitude), b.exp, false, 64, 0);
    magnitude = i.magnitude << i.exp;
  }
  const std::uint64_t limit = value.negative() ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  if (magnitude > limit) return std::nullopt;
  return value.negative() ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

}  // namespace vc
