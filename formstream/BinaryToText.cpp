#include "formstream/BinaryToText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "formstream/Errors.h"
#include "formstream/Extended.h"
#include "formstream/TReader.h"
#include "formstream/TWriter.h"
#include "platform/Cp950.h"

namespace vc {

namespace {

// Pieces of a quoted string are cut after this many positions.
constexpr std::size_t kLineLength = 64;

// A line end followed by enough blanks for the usual depths of indentation.
constexpr std::string_view kBreakAndBlanks =
    "\r\n                                                              ";

// Bytes that a quoted string writes as # codes.
constexpr bool isSpecialByte(unsigned char b) { return b < 0x20 || b == '\''; }

// isSpecialByte for eight bytes at once: whether any byte is below 0x20 or
// a quote (the borrow tricks are exact for "any").
bool anySpecialByte(const char* p) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  std::uint64_t quotes = w ^ (kOnes * '\'');
  return ((((w - kOnes * 0x20) & ~w) | ((quotes - kOnes) & ~quotes)) & kHighs) != 0;
}

// Two hexadecimal digits for every byte value.
constexpr std::array<char, 512> kHexPairs = [] {
  std::array<char, 512> t{};
  constexpr char kHex[] = "0123456789ABCDEF";
  for (int b = 0; b < 256; ++b) {
    t[static_cast<std::size_t>(2 * b)] = kHex[b >> 4];
    t[static_cast<std::size_t>(2 * b + 1)] = kHex[b & 15];
  }
  return t;
}();

// cp950::isTrailByte for positions that never decrease, without walking a
// long run of lead bytes again at every cut.
class TrailByteTest {
 public:
  explicit TrailByteTest(std::string_view s) : m_s(s) {}
  bool at(std::size_t i) {
    if (i == 0 || i >= m_s.size()) return false;
    if (i < m_pos) m_pos = m_run = 0;
    std::size_t p = i;
    while (p > m_pos && cp950::isLeadByte(static_cast<unsigned char>(m_s[p - 1]))) --p;
    std::size_t run = i - p;
    if (p == m_pos) run += m_run;  // the run reaches back behind the last answer
    m_pos = i;
    m_run = run;
    return (run & 1) != 0;
  }

 private:
  std::string_view m_s;
  std::size_t m_pos = 0;  // the last position asked about
  std::size_t m_run = 0;  // lead bytes directly in front of it
};

class TextRenderer {
 public:
  TextRenderer(TReader& reader, TWriter& writer, RenderListener* listener)
      : r(reader), w(writer), m_listener(listener) {}

  void object();

 private:
  void blanks(std::size_t n) {
    while (n > 0) {
      std::size_t m = std::min(n, kBreakAndBlanks.size() - 2);
      w.write(kBreakAndBlanks.data() + 2, m);
      n -= m;
    }
  }
  void indent() { blanks(2 * static_cast<std::size_t>(m_level)); }
  void lineEnd() {
    w.write("\r\n", 2);
    ++m_line;
  }
  void newLine() {
    std::size_t n = 2 + 2 * static_cast<std::size_t>(m_level);
    if (n <= kBreakAndBlanks.size()) {
      w.write(kBreakAndBlanks.data(), n);
      ++m_line;
    } else {
      lineEnd();
      indent();
    }
  }
  void enter() {
    if (++m_depth > kMaxNesting) throw EReadError(msg::kInvalidPropertyValue);
  }
  void leave() { --m_depth; }

  template <typename Int>
  void number(Int v) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    w.write(digits, static_cast<std::size_t>(end - digits));
  }
  void hashCode(unsigned value) {
    char code[8];
    code[0] = '#';
    auto end = std::to_chars(code + 1, code + sizeof code, value).ptr;
    w.write(code, static_cast<std::size_t>(end - code));
  }

  void property();
  void value();
  void reportedValue(unsigned char tag);
  void list();
  void set();
  void binary();
  void collection();
  void quoted(std::string_view s);
  void quotedWide(const std::u16string& s);
  template <typename Unit>
  void quotedUnits(std::basic_string_view<Unit> s, std::string_view ansi);

  void report(RenderedValue& v) {
    v.end = r.position();
    v.line = m_line;
    m_listener->value(v);
  }

  TReader& r;
  TWriter& w;
  RenderListener* m_listener;
  std::size_t m_line = 1;
  int m_level = 0;
  int m_depth = 0;
  std::u16string m_wide;  // the wide string being written, its memory reused
};

void TextRenderer::object() {
  enter();
  std::int32_t childPos = 0;
  int flags = r.readPrefix(childPos);
  // The class name is written second, and the reader reuses its view.
  char classBytes[255];
  std::string_view classView = r.readShortStringView();
  std::memcpy(classBytes, classView.data(), classView.size());
  std::string_view className(classBytes, classView.size());
  std::string_view objectName = r.readShortStringView();
  indent();
  if (flags & flagInherited)
    w.write("inherited ");
  else if (flags & flagInline)
    w.write("inline ");
  else
    w.write("object ");
  if (!objectName.empty()) {
    w.write(objectName);
    w.write(": ");
  }
  w.write(className);
  if (flags & flagChildPos) {
    w.write(" [");
    number(childPos);
    w.writeByte(']');
  }
  lineEnd();
  if (m_listener) m_listener->beginObject(className, objectName);
  ++m_level;
  while (!r.endOfList()) property();
  r.readListEnd();
  if (m_listener) m_listener->endProperties();
  while (!r.endOfList()) object();
  r.readListEnd();
  --m_level;
  indent();
  w.write("end");
  lineEnd();
  if (m_listener) m_listener->endObject();
  leave();
}

void TextRenderer::property() {
  indent();
  std::string_view name = r.readShortStringView();
  w.write(name);
  w.write(" = ");
  if (m_listener) m_listener->beginProperty(name);
  value();
  if (m_listener) m_listener->endProperty();
  lineEnd();
}

void TextRenderer::value() {
  unsigned char tag = r.peekTag();
  if (m_listener) {
    switch (tag & 0x7F) {
      case tagList: case tagBinary: case tagSet: case tagCollection: break;
      default: return reportedValue(tag);
    }
  }
  switch (tag & 0x7F) {
    case tagList: list(); break;
    case tagInt8: case tagInt16: case tagInt32: number(r.readInteger()); break;
    case tagInt64: number(r.readInt64()); break;
    case tagExtended: case tagDouble: w.write(formatGeneral(r.readFloat())); break;
    case tagSingle:
      w.write(formatGeneral(Extended::fromSingle(r.readSingle())));
      w.writeByte('s');
      break;
    case tagCurrency:
      w.write(formatGeneral(Extended::fromInt64(r.readCurrency())));
      w.writeByte('c');
      break;
    case tagDate:
      w.write(formatGeneral(Extended::fromDouble(r.readDate())));
      w.writeByte('d');
      break;
    case tagString: case tagLString: quoted(r.readStringView()); break;
    case tagWString: case tagUtf8String:
      r.readWideString(m_wide);
      quotedWide(m_wide);
      break;
    case tagBinary: binary(); break;
    case tagSet: set(); break;
    case tagCollection: collection(); break;
    case tagIdent:
      r.readTag();
      w.write(r.readShortStringView());
      break;
    case tagNull: case tagFalse: case tagTrue: case tagNil: w.write(r.readIdent()); break;
    default:
      // Not a tag of this format: stop here rather than misread what follows.
      throw EReadError(msg::kInvalidPropertyValue);
  }
}

// The same text as value(), with the value's bytes and line told to the
// listener.
void TextRenderer::reportedValue(unsigned char tag) {
  RenderedValue v;
  v.tag = tag;
  v.begin = r.position();
  switch (tag & 0x7F) {
    case tagString: case tagLString:
      v.bytes = r.readString();
      quoted(v.bytes);
      break;
    case tagWString: case tagUtf8String:
      v.wide = r.readWideString();
      quotedWide(v.wide);
      break;
    case tagInt8: case tagInt16: case tagInt32: case tagInt64:
      v.integer = r.readInt64();
      number(v.integer);
      break;
    default: {
      RenderListener* listener = std::exchange(m_listener, nullptr);
      value();
      m_listener = listener;
    }
  }
  report(v);
}

void TextRenderer::list() {
  enter();
  r.readTag();
  if (m_listener) m_listener->beginList();
  w.writeByte('(');
  ++m_level;
  while (!r.endOfList()) {
    newLine();
    value();
  }
  r.readListEnd();
  if (m_listener) m_listener->endList();
  --m_level;
  w.writeByte(')');
  leave();
}

void TextRenderer::set() {
  r.readTag();
  w.writeByte('[');
  for (bool first = true;; first = false) {
    std::string_view element = r.readShortStringView();
    if (element.empty()) break;
    if (!first) w.write(", ");
    w.write(element);
  }
  w.writeByte(']');
}

void TextRenderer::binary() {
  r.readTag();
  w.writeByte('{');
  ++m_level;
  std::int32_t n = r.readRawInt32();
  bool multiLine = n >= 32;
  char digits[64];
  while (n > 0) {
    if (multiLine) newLine();
    int m = std::min(32, n);
    std::string_view bytes = r.readView(static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i)
      std::memcpy(digits + 2 * i, &kHexPairs[2 * static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)])], 2);
    w.write(digits, static_cast<std::size_t>(2 * m));
    n -= m;
  }
  --m_level;
  w.writeByte('}');
}

void TextRenderer::collection() {
  enter();
  r.readTag();
  if (m_listener) m_listener->beginList();
  w.writeByte('<');
  ++m_level;
  while (!r.endOfList()) {
    newLine();
    w.write("item");
    unsigned char t = r.peekTag();
    if (t == tagInt8 || t == tagInt16 || t == tagInt32) {
      w.write(" [");
      number(r.readInteger());
      w.writeByte(']');
    }
    lineEnd();
    r.checkTag(tagList);
    if (m_listener) m_listener->beginItem();
    ++m_level;
    while (!r.endOfList()) property();
    r.readListEnd();
    if (m_listener) m_listener->endItem();
    --m_level;
    indent();
    w.write("end");
  }
  r.readListEnd();
  if (m_listener) m_listener->endList();
  --m_level;
  w.writeByte('>');
  leave();
}

// Quoted pieces of at most 64 positions; a # code counts as one position.
// A piece never ends between the two bytes of a Big5 character.
void TextRenderer::quoted(std::string_view s) { quotedUnits(s, s); }

// The same over UTF-16 code units: units above 0x7F become # codes too, so
// that no code unit is taken for a byte of the ANSI code page on the way
// back (the parser reads a string with # codes from 128 and no such byte
// inside its quotes as wide). The double-byte step-back tests the string as
// converted to the ANSI code page, at the same index; that conversion is
// encodeLossy, which makes "?" of a character without a CP950 form, as the
// system's own conversion does.
void TextRenderer::quotedWide(const std::u16string& s) {
  // Only a string that can be cut needs the conversion.
  std::string ansi = s.size() >= kLineLength ? cp950::encodeLossy(s) : std::string();
  quotedUnits(std::u16string_view(s), ansi);
}

// Units are bytes or UTF-16 code units; every unit written inside quotes is
// 0x20 to 0xFF (to 0x7F for code units) and goes out as the byte of that
// value. ansi is the text whose lead bytes decide where a piece may end.
template <typename Unit>
void TextRenderer::quotedUnits(std::basic_string_view<Unit> s, std::string_view ansi) {
  const std::size_t len = s.size();
  if (len == 0) {
    w.write("''");
    return;
  }
  ++m_level;
  if (len > kLineLength) newLine();
  auto unit = [&](std::size_t i) { return static_cast<unsigned>(static_cast<std::make_unsigned_t<Unit>>(s[i])); };
  auto special = [&](std::size_t i) {
    unsigned u = unit(i);
    if constexpr (sizeof(Unit) == 1) return isSpecialByte(static_cast<unsigned char>(u));
    else return u > 0x7F || isSpecialByte(static_cast<unsigned char>(u));
  };
  TrailByteTest trail(ansi);
  std::size_t k = 0, i = 0;
  while (i < len) {
    bool lineBreak = false;
    if (special(i)) {
      hashCode(unit(i));
      ++i;
      if (i - k >= kLineLength) lineBreak = true;
    } else {
      std::size_t j = i++;
      const std::size_t limit = std::min(len, k + kLineLength);
      if constexpr (sizeof(Unit) == 1)
        while (i + 8 <= limit && !anySpecialByte(s.data() + i)) i += 8;
      while (i < limit && !special(i)) ++i;
      if (i - k >= kLineLength) {
        lineBreak = true;
        if (trail.at(i)) --i;
      }
      // The piece in its quotes, straight into the writer's buffer when it fits.
      char piece[kLineLength + 2];
      char* room = w.claim(i - j + 2);
      char* out = room ? room : piece;
      out[0] = '\'';
      if constexpr (sizeof(Unit) == 1) {
        std::memcpy(out + 1, s.data() + j, i - j);
      } else {
        for (std::size_t p = j; p < i; ++p) out[1 + p - j] = static_cast<char>(unit(p));
      }
      out[i - j + 1] = '\'';
      if (!room) w.write(piece, i - j + 2);
    }
    if (lineBreak && i < len) {
      w.write(" +");
      newLine();
      k = i;
    }
  }
  --m_level;
}

}  // namespace

void BinaryToText(TStream& input, TStream& output, RenderListener* listener) {
  TReader reader(input);
  TWriter writer(output);
  try {
    char signature[4];
    reader.read(signature, 4);
    if (std::memcmp(signature, "TPF0", 4) != 0) throw EReadError(msg::kInvalidStreamFormat);
    TextRenderer renderer(reader, writer, listener);
    renderer.object();
  } catch (const EReadError& e) {
    // Where the stream went wrong, for whoever reports it.
    if (e.offset()) throw;
    throw EReadError(e.what(), reader.position());
  }
  writer.flushBuffer();
}

}  // namespace vc
