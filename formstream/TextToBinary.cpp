#include "formstream/TextToBinary.h"

#include <string>

#include "formstream/Errors.h"
#include "formstream/ExtendedParse.h"
#include "formstream/TParser.h"
#include "formstream/TWriter.h"
#include "platform/Cp950.h"

namespace vc {
namespace {

constexpr const char* kIdentifierExpected = "希望一個標識符";
constexpr const char* kStringExpected = "希望一個字符串";

class TextConverter {
 public:
  TextConverter(TParser& parser, TWriter& writer) : p(parser), w(writer) {}

  void object();

 private:
  // Objects, lists and collections nest no deeper than a reader accepts.
  void enter() {
    if (++m_depth > kMaxNesting) p.error(msg::kInvalidPropertyValue);
  }
  void leave() { --m_depth; }

  bool atObjectEnd() const {
    return p.tokenSymbolIs("END") || p.tokenSymbolIs("OBJECT") || p.tokenSymbolIs("INHERITED") ||
           p.tokenSymbolIs("INLINE");
  }
  // Names are stored as short strings; a longer one would be cut short.
  void writeName(const std::string& name, const char* message) {
    if (name.size() > 255) p.error(message);
    w.writeShortString(name);
  }
  std::int32_t orderIndex();
  void header(int flags);
  void property();
  void value(bool inList);
  void stringValue();
  void floatValue();
  void list();
  void collection();
  void set();
  void binary();

  TParser& p;
  TWriter& w;
  int m_depth = 0;
};

void TextConverter::object() {
  enter();
  int flags = 0;
  if (p.tokenSymbolIs("INHERITED")) flags = flagInherited;
  else if (p.tokenSymbolIs("INLINE")) flags = flagInline;
  else p.checkTokenSymbol("OBJECT");
  p.nextToken();
  header(flags);
  while (!atObjectEnd()) property();
  w.writeListEnd();
  while (!p.tokenSymbolIs("END")) object();
  w.writeListEnd();
  p.nextToken();
  leave();
}

void TextConverter::header(int flags) {
  p.checkToken(tokSymbol);
  std::string className = p.tokenString();
  std::string objectName;
  int classLine = p.sourceLine();
  if (p.nextToken() == ':') {
    p.nextToken();
    p.checkToken(tokSymbol);
    objectName = std::move(className);
    className = p.tokenString();
    classLine = p.sourceLine();
    p.nextToken();
  }
  std::int32_t position = orderIndex();
  if (position >= 0) flags |= flagChildPos;
  // Without a prefix a first byte of 0xF0 or more would be read as one.
  if (className.size() > (flags == 0 ? 0xEF : 0xFF)) p.error(kIdentifierExpected, classLine);
  w.writePrefix(flags, position);
  w.writeShortString(className);
  writeName(objectName, kIdentifierExpected);
}

std::int32_t TextConverter::orderIndex() {
  if (p.token() != '[') return -1;
  p.nextToken();
  p.checkToken(tokInteger);
  auto index = static_cast<std::int32_t>(static_cast<std::uint32_t>(p.tokenInt()));
  p.nextToken();
  p.checkToken(']');
  p.nextToken();
  return index;
}

void TextConverter::property() {
  p.checkToken(tokSymbol);
  std::string name = p.tokenString();
  p.nextToken();
  while (p.token() == '.') {
    p.nextToken();
    p.checkToken(tokSymbol);
    name += '.';
    name += p.tokenString();
    p.nextToken();
  }
  writeName(name, kIdentifierExpected);
  p.checkToken('=');
  p.nextToken();
  value(false);
}

void TextConverter::value(bool inList) {
  switch (p.token()) {
    case tokString:
    case tokWString:
      stringValue();
      return;
    case tokSymbol: {
      std::string ident = p.tokenComponentIdent();
      // A Null element would be a 0 byte, which ends the list when read.
      if (ident.size() > 255 || (inList && p.tokenSymbolIs("NULL"))) p.error(msg::kInvalidPropertyValue);
      w.writeIdent(ident);
      p.nextToken();
      return;
    }
    case tokInteger:
      w.writeInt64(p.tokenInt());
      p.nextToken();
      return;
    case tokFloat:
      floatValue();
      p.nextToken();
      return;
    case '(':
      list();
      return;
    case '<':
      collection();
      return;
    case '[':
      set();
      return;
    case '{':
      binary();
      return;
    default:
      p.error(msg::kInvalidPropertyValue);
  }
}

void TextConverter::stringValue() {
  // Parts joined by "+". Our own rendering cuts a long wide string into
  // pieces of which only some need # codes above 255; such a mix is wide,
  // and each byte of an 8-bit piece is the code unit of the same value.
  bool wide = p.token() == tokWString;
  std::string bytes = wide ? std::string() : p.tokenString();
  std::u16string units = wide ? p.tokenWideString() : std::u16string();
  while (p.nextToken() == '+') {
    p.nextToken();
    if (p.token() == tokWString && !wide) {
      wide = true;
      for (char c : bytes) units.push_back(static_cast<unsigned char>(c));
      bytes.clear();
    }
    if (p.token() == tokString && !wide) bytes += p.tokenString();
    else if (p.token() == tokString || p.token() == tokWString) units += p.tokenWideString();
    else p.error(kStringExpected);
  }
  if (wide) w.writeWideString(units);
  else w.writeString(bytes);
}

void TextConverter::floatValue() {
  Extended v = p.tokenFloat();
  auto fail = [&]() {
    std::string text = p.tokenString();
    text.pop_back();  // the suffix
    throw EConvertError("'" + cp950::toUtf8(text) + "' is not a valid floating point value");
  };
  switch (p.floatType()) {
    case 's':
    case 'S': {
      auto f = extendedToSingle(v);
      if (!f) fail();
      w.writeSingle(*f);
      break;
    }
    case 'd':
    case 'D': {
      auto d = extendedToDouble(v);
      if (!d) fail();
      w.writeDate(*d);
      break;
    }
    case 'c':
    case 'C': {
      auto c = extendedToCurrency(v);
      if (!c) fail();
      w.writeCurrency(*c);
      break;
    }
    default:
      w.writeFloat(v);
  }
}

void TextConverter::list() {
  enter();
  p.nextToken();
  w.writeListBegin();
  while (p.token() != ')') value(true);
  w.writeListEnd();
  p.nextToken();
  leave();
}

void TextConverter::collection() {
  enter();
  p.nextToken();
  w.writeTag(tagCollection);
  while (p.token() != '>') {
    p.checkTokenSymbol("item");
    p.nextToken();
    std::int32_t index = orderIndex();
    if (index != -1) w.writeInteger(index);
    w.writeListBegin();
    while (!p.tokenSymbolIs("END")) property();
    w.writeListEnd();
    p.nextToken();
  }
  w.writeListEnd();
  p.nextToken();
  leave();
}

void TextConverter::set() {
  p.nextToken();
  w.writeTag(tagSet);
  if (p.token() != ']') {
    for (;;) {
      if (p.token() != tokInteger) p.checkToken(tokSymbol);
      writeName(p.tokenString(), kIdentifierExpected);
      p.nextToken();
      if (p.token() == ']') break;
      p.checkToken(',');
      p.nextToken();
    }
  }
  w.writeByte(0);
  p.nextToken();
}

void TextConverter::binary() {
  TMemoryStream data;
  p.hexToBinary(data);
  w.writeBinary(data.data().data(), data.data().size());
  p.nextToken();
}

}  // namespace

void TextToBinary(TStream& input, TStream& output) {
  TParser parser(input);
  TWriter writer(output);
  writer.writeSignature();
  TextConverter(parser, writer).object();
  writer.flushBuffer();
}

}  // namespace vc
