// Random binary form streams B: converting the rendering of B back gives
// the canonical re-encoding of B, and a second round changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "Canonical.h"
#include "formstream/BinaryToText.h"
#include "formstream/TWriter.h"
#include "formstream/TextToBinary.h"

using namespace vc;

namespace {

class StreamGenerator {
 public:
  explicit StreamGenerator(std::uint64_t seed) : m_rng(seed) {}

  std::string generate() {
    TMemoryStream out;
    {
      TWriter w(out);
      m_w = &w;
      w.writeSignature();
      object(0);
      w.flushBuffer();
    }
    return out.data();
  }

 private:
  std::uint64_t below(std::uint64_t n) { return m_rng() % n; }
  bool chance(int percent) { return below(100) < static_cast<std::uint64_t>(percent); }

  std::string ident() {
    static const char kStart[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_";
    static const char kRest[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_0123456789";
    for (;;) {
      std::string s;
      std::size_t len = 1 + below(chance(5) ? 60 : 10);
      for (std::size_t i = 0; i < len; ++i) {
        if (chance(8)) s.push_back(static_cast<char>(0x80 + below(128)));  // UTF-8 or Big5 bytes
        else if (i == 0) s.push_back(kStart[below(sizeof kStart - 1)]);
        else s.push_back(kRest[below(sizeof kRest - 1)]);
      }
      std::string lower;
      for (char c : s) lower.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c);
      // These words end a property list; no property or value can be called so.
      if (lower != "end" && lower != "object" && lower != "inherited" && lower != "inline" && lower != "item")
        return s;
    }
  }

  std::string bytes(std::size_t maxLen) {
    std::string s;
    std::size_t len = below(maxLen + 1);
    for (std::size_t i = 0; i < len; ++i) {
      switch (below(6)) {
        case 0: s.push_back(static_cast<char>(below(32))); break;
        case 1: s.push_back('\''); break;
        case 2: s.push_back(static_cast<char>(0x81 + below(0x7E))); break;  // lead bytes
        default: s.push_back(static_cast<char>(0x20 + below(0xE0))); break;
      }
    }
    return s;
  }

  void object(int depth) {
    int flags = static_cast<int>(below(8));
    if (chance(3)) flags |= 8;  // the meaningless fourth bit
    std::int32_t position = static_cast<std::int32_t>(below(200000)) - 100;
    if (chance(50)) flags = 0;
    if (flags) {
      m_w->writeByte(static_cast<unsigned char>(0xF0 | flags));
      if (flags & flagChildPos) m_w->writeInteger(position);
    }
    std::string cls = ident();
    if (flags && chance(3)) cls = std::string(240 + below(16), 'C');
    m_w->writeShortString(cls);
    m_w->writeShortString(chance(20) ? std::string() : ident());
    for (int n = static_cast<int>(below(6)); n > 0; --n) property(depth);
    m_w->writeListEnd();
    if (depth < 3)
      for (int n = static_cast<int>(below(3)); n > 0; --n) object(depth + 1);
    m_w->writeListEnd();
  }

  void property(int depth) {
    std::string name = ident();
    if (chance(20)) name += "." + ident();
    m_w->writeShortString(name);
    value(depth, false);
  }

  void value(int depth, bool inList) {
    TWriter& w = *m_w;
    int kind = static_cast<int>(below(depth < 4 ? 16 : 13));
    switch (kind) {
      case 0: {  // integers in any tag that holds them
        std::int64_t v = static_cast<std::int64_t>(m_rng());
        switch (below(4)) {
          case 0: w.writeTag(tagInt8); w.writeByte(static_cast<unsigned char>(v)); break;
          case 1: w.writeTag(tagInt16); w.write(&v, 2); break;
          case 2: w.writeTag(tagInt32); w.write(&v, 4); break;
          default: {
            if (chance(50)) v >>= below(64);
            w.writeTag(tagInt64);
            w.write(&v, 8);
          }
        }
        break;
      }
      case 1: {  // finite extended values, normal or denormal
        Extended x;
        x.mantissa = m_rng() | (std::uint64_t{1} << 63);
        int e = chance(10) ? static_cast<int>(below(0x7FFF)) : 16383 - 70 + static_cast<int>(below(140));
        if (chance(5)) {
          e = 0;
          x.mantissa >>= 1 + below(63);
        }
        if (chance(10)) x.mantissa = (x.mantissa >> 40) << 40;  // few digits
        if (chance(5)) x.mantissa = 0, e = 0;
        x.signExponent = static_cast<std::uint16_t>(e | (chance(50) ? 0x8000 : 0));
        w.writeFloat(x);
        break;
      }
      case 2: {
        float f;
        do {
          std::uint32_t bits = static_cast<std::uint32_t>(m_rng());
          std::memcpy(&f, &bits, 4);
        } while (!std::isfinite(f));
        w.writeSingle(f);
        break;
      }
      case 3: {
        double d;
        do {
          std::uint64_t bits = m_rng();
          std::memcpy(&d, &bits, 8);
        } while (!std::isfinite(d));
        w.writeDate(d);
        break;
      }
      case 4:  // beyond 9.2233720368547E18 the 15-digit rendering leaves the range
        w.writeCurrency(static_cast<std::int64_t>(m_rng() % 18000000000000000000ULL - 9000000000000000000ULL) >>
                        below(64));
        break;
      case 5: {  // 8-bit strings, sometimes in the long tag
        std::string s = bytes(chance(20) ? 400 : 80);
        if (s.size() <= 255 && chance(20)) {
          w.writeTag(tagLString);
          std::uint32_t n = static_cast<std::uint32_t>(s.size());
          w.write(&n, 4);
          w.write(s);
        } else {
          w.writeString(s);
        }
        break;
      }
      case 6: {  // wide strings, with and without code units above 255
        std::u16string u;
        std::size_t len = below(chance(30) ? 200 : 40);
        // Sparse wide code units leave rendered pieces without any, which
        // then stand beside pieces with them.
        int mode = static_cast<int>(below(3));
        for (std::size_t i = 0; i < len; ++i) {
          switch (mode == 0 ? below(3) : mode == 1 ? below(5) : (chance(2) ? 4 : below(3))) {
            case 0: u.push_back(static_cast<char16_t>(below(32))); break;
            case 1: u.push_back(static_cast<char16_t>(0x20 + below(0xE0))); break;
            case 2: u.push_back(u'\''); break;
            default: u.push_back(static_cast<char16_t>(0x100 + below(0xFF00))); break;
          }
        }
        w.writeWideString(u);
        break;
      }
      case 7:
        w.writeIdent(ident());
        break;
      case 8: {  // identifiers stored with tag 7 that have tags of their own
        static const char* kWords[] = {"True", "FALSE", "nil", "Null"};
        std::string word = kWords[below(inList ? 3 : 4)];
        if (chance(50)) {
          w.writeTag(tagIdent);
          w.writeShortString(word);
        } else {
          w.writeIdent(word);
        }
        break;
      }
      case 9: {
        std::string b = bytes(chance(20) ? 100 : 40);
        w.writeBinary(b.data(), b.size());
        break;
      }
      case 10:
        w.writeTag(tagSet);
        for (int n = static_cast<int>(below(4)); n > 0; --n)
          w.writeShortString(chance(20) ? std::to_string(below(100)) : ident());
        w.writeByte(0);
        break;
      case 11:
        w.writeIdent(ident() + "." + ident());
        break;
      case 12:
        w.writeInt64(static_cast<std::int64_t>(m_rng()) >> below(64));
        break;
      case 13: case 14:
        w.writeListBegin();
        for (int n = static_cast<int>(below(5)); n > 0; --n) value(depth + 1, true);
        w.writeListEnd();
        break;
      default:
        w.writeTag(tagCollection);
        for (int n = static_cast<int>(below(4)); n > 0; --n) {
          if (chance(50)) w.writeInteger(static_cast<std::int32_t>(below(70000)) - 35000 + (chance(20) ? 34999 : 0));
          w.writeListBegin();
          for (int k = static_cast<int>(below(4)); k > 0; --k) property(depth + 1);
          w.writeListEnd();
        }
        w.writeListEnd();
    }
  }

  std::mt19937_64 m_rng;
  TWriter* m_w = nullptr;
};

std::string toText(const std::string& binary) {
  TMemoryStream in(binary), out;
  BinaryToText(in, out);
  return out.data();
}

std::string toBinary(const std::string& text) {
  TMemoryStream in(text), out;
  TextToBinary(in, out);
  return out.data();
}

}  // namespace

TEST(RoundTripProperty, RenderedStreamsConvertToTheirCanonicalForm) {
  for (std::uint64_t seed = 1; seed <= 3000; ++seed) {
    std::string b = StreamGenerator(seed).generate();
    std::string text = toText(b);
    std::string b2;
    try {
      b2 = toBinary(text);
    } catch (const std::exception& e) {
      FAIL() << "seed " << seed << ": " << e.what() << "\n" << text;
    }
    ASSERT_EQ(b2, test::canonicalStream(b)) << "seed " << seed << "\n" << text;
    ASSERT_EQ(toBinary(toText(b2)), b2) << "seed " << seed;
  }
}
