#include "formstream/BinaryToText.h"

#include <algorithm>
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

class TextRenderer {
 public:
  TextRenderer(TReader& reader, TWriter& writer, RenderListener* listener)
      : r(reader), w(writer), m_listener(listener) {}

  void object();

 private:
  void indent() {
    for (int i = 0; i < m_level; ++i) w.write("  ", 2);
  }
  void lineEnd() {
    w.write("\r\n", 2);
    ++m_line;
  }
  void newLine() {
    lineEnd();
    indent();
  }
  void enter() {
    if (++m_depth > kMaxNesting) throw EReadError(msg::kInvalidPropertyValue);
  }
  void leave() { --m_depth; }

  void property();
  void value();
  void reportedValue(unsigned char tag);
  void list();
  void set();
  void binary();
  void collection();
  void quoted(const std::string& s);
  void quotedWide(const std::u16string& s);
  template <typename Text>
  void quotedUnits(const Text& s, std::string_view ansi);
  void hashCode(unsigned value) {
    w.writeByte('#');
    w.write(std::to_string(value));
  }

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
};

void TextRenderer::object() {
  enter();
  std::int32_t childPos = 0;
  int flags = r.readPrefix(childPos);
  std::string className = r.readShortString();
  std::string objectName = r.readShortString();
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
    w.write(std::to_string(childPos));
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
  std::string name = r.readShortString();
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
    case tagInt8: case tagInt16: case tagInt32: w.write(std::to_string(r.readInteger())); break;
    case tagInt64: w.write(std::to_string(r.readInt64())); break;
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
    case tagString: case tagLString: quoted(r.readString()); break;
    case tagWString: case tagUtf8String: quotedWide(r.readWideString()); break;
    case tagBinary: binary(); break;
    case tagSet: set(); break;
    case tagCollection: collection(); break;
    case tagNull: case tagIdent: case tagFalse: case tagTrue: case tagNil: w.write(r.readIdent()); break;
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
      w.write(std::to_string(v.integer));
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
    std::string element = r.readShortString();
    if (element.empty()) break;
    if (!first) w.write(", ");
    w.write(element);
  }
  w.writeByte(']');
}

void TextRenderer::binary() {
  static constexpr char kHex[] = "0123456789ABCDEF";
  r.readTag();
  w.writeByte('{');
  ++m_level;
  std::int32_t n = r.readRawInt32();
  bool multiLine = n >= 32;
  unsigned char bytes[32];
  char digits[64];
  while (n > 0) {
    if (multiLine) newLine();
    int m = std::min(32, n);
    r.read(bytes, static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i) {
      digits[2 * i] = kHex[bytes[i] >> 4];
      digits[2 * i + 1] = kHex[bytes[i] & 15];
    }
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
      w.write(std::to_string(r.readInteger()));
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
void TextRenderer::quoted(const std::string& s) { quotedUnits(s, s); }

// The same over UTF-16 code units: units above 0xFF become # codes too. The
// double-byte step-back tests the string as converted to the ANSI code page,
// at the same index; that conversion is encodeLossy, which makes "?" of a
// character without a CP950 form, as the system's own conversion does.
void TextRenderer::quotedWide(const std::u16string& s) { quotedUnits(s, cp950::encodeLossy(s)); }

// Units are bytes or UTF-16 code units; every unit written inside quotes is
// 0x20 to 0xFF and goes out as the byte of that value. ansi is the text whose
// lead bytes decide where a piece may end.
template <typename Text>
void TextRenderer::quotedUnits(const Text& s, std::string_view ansi) {
  const std::size_t len = s.size();
  if (len == 0) {
    w.write("''");
    return;
  }
  ++m_level;
  if (len > kLineLength) newLine();
  auto unit = [&](std::size_t i) {
    return static_cast<unsigned>(static_cast<std::make_unsigned_t<typename Text::value_type>>(s[i]));
  };
  auto special = [&](std::size_t i) { return unit(i) < 0x20 || unit(i) == '\'' || unit(i) > 0xFF; };
  std::size_t k = 0, i = 0;
  std::string piece;
  while (i < len) {
    bool lineBreak = false;
    if (special(i)) {
      hashCode(unit(i));
      ++i;
      if (i - k >= kLineLength) lineBreak = true;
    } else {
      std::size_t j = i++;
      while (i < len && !special(i) && i - k < kLineLength) ++i;
      if (i - k >= kLineLength) {
        lineBreak = true;
        if (cp950::isTrailByte(ansi, i)) --i;
      }
      w.writeByte('\'');
      if constexpr (sizeof(typename Text::value_type) == 1) {
        w.write(s.data() + j, i - j);
      } else {
        piece.clear();
        for (std::size_t p = j; p < i; ++p) piece += static_cast<char>(unit(p));
        w.write(piece);
      }
      w.writeByte('\'');
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
  char signature[4];
  reader.read(signature, 4);
  if (std::memcmp(signature, "TPF0", 4) != 0) throw EReadError(msg::kInvalidStreamFormat);
  TextRenderer renderer(reader, writer, listener);
  renderer.object();
  writer.flushBuffer();
}

}  // namespace vc
