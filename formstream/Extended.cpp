#include "formstream/Extended.h"

#include <bit>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/LittleEndian.h"

namespace vc {

Extended Extended::fromBytes(const unsigned char* p) {
  Extended e;
  e.mantissa = le::u64(p);
  e.signExponent = le::u16(p + 8);
  return e;
}

void Extended::toBytes(unsigned char* p) const {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(mantissa >> (8 * i));
  p[8] = static_cast<unsigned char>(signExponent);
  p[9] = static_cast<unsigned char>(signExponent >> 8);
}

namespace {

constexpr int kBias = 16383;

// Widens an IEEE binary format with fracBits fraction bits and the given
// exponent bias; exact for every value, NaN payloads shifted into place.
Extended widen(bool sign, int expField, int maxExp, std::uint64_t frac, int fracBits, int bias) {
  Extended e;
  std::uint16_t s = sign ? 0x8000 : 0;
  if (expField == maxExp) {
    e.signExponent = s | 0x7FFF;
    e.mantissa = (std::uint64_t{1} << 63) | (frac << (63 - fracBits));
  } else if (expField == 0 && frac == 0) {
    e.signExponent = s;
  } else if (expField == 0) {
    // Subnormal: value = frac * 2^(1 - bias - fracBits); normalise.
    int shift = std::countl_zero(frac);
    e.mantissa = frac << shift;
    int exp = 1 - bias - fracBits - shift + 63 + kBias;
    e.signExponent = s | static_cast<std::uint16_t>(exp);
  } else {
    e.mantissa = (std::uint64_t{1} << 63) | (frac << (63 - fracBits));
    e.signExponent = s | static_cast<std::uint16_t>(expField - bias + kBias);
  }
  return e;
}

}  // namespace

Extended Extended::fromDouble(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  return widen(bits >> 63, static_cast<int>((bits >> 52) & 0x7FF), 0x7FF, bits & ((std::uint64_t{1} << 52) - 1), 52,
               1023);
}

Extended Extended::fromSingle(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  return widen(bits >> 31, static_cast<int>((bits >> 23) & 0xFF), 0xFF, bits & ((1u << 23) - 1), 23, 127);
}

Extended Extended::fromInt64(std::int64_t v) {
  Extended e;
  if (v == 0) return e;
  std::uint64_t mag = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  int shift = std::countl_zero(mag);
  e.mantissa = mag << shift;
  e.signExponent = static_cast<std::uint16_t>((v < 0 ? 0x8000 : 0) | (kBias + 63 - shift));
  return e;
}

namespace {

// Unsigned big integer in base 10^9, least significant limb first: enough to
// hold m * 2^k or m * 5^k exactly for every extended value. With a limb limit
// it keeps only the leading limbs (the value is then m_dropped limbs short
// and at most a relative 10^-55 too small), which is all the format needs
// unless a run of nines follows the digits that matter.
class Decimal {
 public:
  Decimal(std::uint64_t v, std::size_t maxLimbs) : m_maxLimbs(maxLimbs) {
    do {
      m_limbs.push_back(static_cast<std::uint32_t>(v % kBase));
      v /= kBase;
    } while (v != 0);
  }
  void multiply(const Decimal& other) {
    std::vector<std::uint32_t> product(m_limbs.size() + other.m_limbs.size(), 0);
    for (std::size_t i = 0; i < m_limbs.size(); ++i) {
      std::uint64_t carry = 0;
      for (std::size_t j = 0; j < other.m_limbs.size(); ++j) {
        std::uint64_t cur = product[i + j] + std::uint64_t{m_limbs[i]} * other.m_limbs[j] + carry;
        product[i + j] = static_cast<std::uint32_t>(cur % kBase);
        carry = cur / kBase;
      }
      for (std::size_t k = i + other.m_limbs.size(); carry != 0; ++k) {
        std::uint64_t cur = product[k] + carry;
        product[k] = static_cast<std::uint32_t>(cur % kBase);
        carry = cur / kBase;
      }
    }
    while (product.size() > 1 && product.back() == 0) product.pop_back();
    m_limbs = std::move(product);
    m_dropped += other.m_dropped;
    m_inexact |= other.m_inexact;
    truncate();
  }
  // Multiplies by base^n by squaring; with a limb limit every intermediate
  // is truncated, which keeps the relative error far below 10^-50.
  void multiplyPower(std::uint32_t base, int n) {
    Decimal power(base, m_maxLimbs);
    for (; n > 0; n >>= 1) {
      if (n & 1) multiply(power);
      if (n > 1) power.multiply(power);
    }
  }
  void multiplyPow2(int n) { multiplyPower(2, n); }
  void multiplyPow5(int n) { multiplyPower(5, n); }
  bool inexact() const { return m_inexact; }
  int droppedDigits() const { return 9 * m_dropped; }
  std::string digits() const {
    std::string s = std::to_string(m_limbs.back());
    char buf[10];
    for (std::size_t i = m_limbs.size() - 1; i-- > 0;) {
      std::uint32_t v = m_limbs[i];
      for (int j = 8; j >= 0; --j) {
        buf[j] = static_cast<char>('0' + v % 10);
        v /= 10;
      }
      s.append(buf, 9);
    }
    return s;
  }

 private:
  void truncate() {
    if (m_maxLimbs == 0 || m_limbs.size() <= m_maxLimbs) return;
    std::size_t drop = m_limbs.size() - m_maxLimbs;
    for (std::size_t i = 0; i < drop; ++i) m_inexact |= m_limbs[i] != 0;
    m_limbs.erase(m_limbs.begin(), m_limbs.begin() + static_cast<std::ptrdiff_t>(drop));
    m_dropped += static_cast<int>(drop);
  }

  static constexpr std::uint32_t kBase = 1000000000u;
  std::vector<std::uint32_t> m_limbs;
  std::size_t m_maxLimbs;
  int m_dropped = 0;
  bool m_inexact = false;
};

// The decimal digits of m * 2^k and the exponent exp with value = 0.digits *
// 10^exp. Only the first 19 digits are exact when maxLimbs is not 0; the
// result is nullopt when the digits behind them leave that in doubt.
std::optional<std::string> decimalDigits(std::uint64_t m, int k, std::size_t maxLimbs, int& exp) {
  Decimal n(m, maxLimbs);
  int shift = 0;  // value = n * 10^shift
  if (k >= 0) {
    n.multiplyPow2(k);
  } else {
    n.multiplyPow5(-k);
    shift = k;
  }
  std::string d = n.digits();
  exp = static_cast<int>(d.size()) + n.droppedDigits() + shift;
  if (n.inexact()) {
    // The true value is at most a relative 10^-55 larger: the first 19
    // digits hold unless everything from there on is a run of nines.
    std::size_t from = 19, to = std::min<std::size_t>(d.size(), 19 + 30);
    if (d.size() <= 19 || d.find_first_not_of('9', from) >= to) return std::nullopt;
  }
  return d;
}

// The digits of m * 2^k as decimalDigits gives them, when m * 2^k (k >= 0)
// or m * 5^-k (k < 0) fits 128 bits: every integer-valued or short binary
// fraction, which most stored numbers are, without big arithmetic.
std::optional<std::string> smallDigits(std::uint64_t m, int k, int& exp) {
  using U128 = unsigned __int128;
  U128 v;
  if (k >= 0) {
    if (std::bit_width(m) + k > 128) return std::nullopt;
    v = U128{m} << k;
  } else {
    static constexpr auto kPow5 = [] {
      std::array<U128, 56> t{};  // 5^56 alone would exceed 128 bits
      t[0] = 1;
      for (std::size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 5;
      return t;
    }();
    if (-k >= static_cast<int>(kPow5.size())) return std::nullopt;
    U128 power = kPow5[static_cast<std::size_t>(-k)];
    if (U128{m} > ~U128{0} / power) return std::nullopt;
    v = U128{m} * power;
  }
  constexpr std::uint64_t k1e19 = 10000000000000000000ULL;
  std::uint64_t parts[3];
  int n = 0;
  do {
    parts[n++] = static_cast<std::uint64_t>(v % k1e19);
    v /= k1e19;
  } while (v != 0);
  char buf[64];
  char* end = std::to_chars(buf, buf + sizeof buf, parts[n - 1]).ptr;
  for (int i = n - 2; i >= 0; --i) {
    std::uint64_t part = parts[i];
    for (int j = 18; j >= 0; --j) {
      end[j] = static_cast<char>('0' + part % 10);
      part /= 10;
    }
    end += 19;
  }
  std::string d(buf, end);
  exp = static_cast<int>(d.size()) + (k < 0 ? k : 0);
  return d;
}

// Keeps the first n digits of d, rounding half up on the digit that follows
// (digits beyond it cannot change a half-up decision, and an exact tie at
// the 18-digit step never changes the 15-digit result). A carry out of the
// first digit raises exp.
void roundDigits(std::string& d, std::size_t n, int& exp) {
  if (d.size() <= n) return;
  bool up = d[n] >= '5';
  d.resize(n);
  if (!up) return;
  std::size_t i = n;
  while (i > 0 && d[i - 1] == '9') d[--i] = '0';
  if (i == 0) {
    d.insert(d.begin(), '1');
    d.pop_back();
    ++exp;
  } else {
    ++d[i - 1];
  }
}

}  // namespace

std::string formatGeneral(const Extended& value) {
  std::string out;
  if (value.exponentField() == 0x7FFF) {
    if (value.negative()) out += '-';
    out += value.isNan() ? "NAN" : "INF";
    return out;
  }
  if (value.exponentField() == 0 || value.mantissa == 0) return "0";

  // value = m * 2^k exactly.
  std::uint64_t m = value.mantissa;
  int k = value.exponentField() - kBias - 63;
  int tz = std::countr_zero(m);
  m >>= tz;
  k += tz;
  int exp = 0;
  std::optional<std::string> digits = smallDigits(m, k, exp);
  if (!digits) digits = decimalDigits(m, k, 8, exp);
  if (!digits) digits = decimalDigits(m, k, 0, exp);
  std::string& d = *digits;
  roundDigits(d, 18, exp);
  roundDigits(d, 15, exp);
  while (!d.empty() && d.back() == '0') d.pop_back();

  if (value.negative()) out += '-';
  if (exp > 15 || exp < -3) {
    out += d[0];
    if (d.size() > 1) {
      out += '.';
      out.append(d, 1);
    }
    out += 'E';
    out += std::to_string(exp - 1);
  } else if (exp <= 0) {
    out += '0';
    out += '.';
    out.append(static_cast<std::size_t>(-exp), '0');
    out += d;
  } else {
    auto e = static_cast<std::size_t>(exp);
    if (d.size() <= e) {
      out += d;
      out.append(e - d.size(), '0');
    } else {
      out.append(d, 0, e);
      out += '.';
      out.append(d, e);
    }
  }
  return out;
}

}  // namespace vc
