#include "formstream/TextToBinary.h"

#include <string>

#include "formstream/Errors.h"
#include "formstream/ExtendedParse.h"
#include "formstream/TParser.h"
#include "formstream/TWriter.h"
#include "platform/Cp950.h"

namespace vc {
namespace {

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
  void writeName(std::string_view name) {
    if (name.size() > 255) p.error(msg::kIdentifierExpected);
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
  // Reused from value to value, so that their memory is allocated once.
  std::string m_className, m_objectName, m_name, m_bytes;
  std::u16string m_units;
  TMemoryStream m_binary;
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
  p.checkToken(TokenKind::Symbol);
  std::string& className = m_className;
  std::string& objectName = m_objectName;
  className.clear();
  className.append(p.tokenText());
  objectName.clear();
  int classLine = p.sourceLine();
  if (p.nextToken() == charToken(':')) {
    p.nextToken();
    p.checkToken(TokenKind::Symbol);
    std::swap(objectName, className);
    className.clear();
    className.append(p.tokenText());
    classLine = p.sourceLine();
    p.nextToken();
  }
  std::int32_t position = orderIndex();
  if (position >= 0) flags |= flagChildPos;
  // Without a prefix a first byte of 0xF0 or more would be read as one.
  if (className.size() > (flags == 0 ? 0xEF : 0xFF)) p.error(msg::kIdentifierExpected, classLine);
  w.writePrefix(flags, position);
  w.writeShortString(className);
  writeName(objectName);
}

std::int32_t TextConverter::orderIndex() {
  if (p.token() != charToken('[')) return -1;
  p.nextToken();
  p.checkToken(TokenKind::Integer);
  auto index = static_cast<std::int32_t>(static_cast<std::uint32_t>(p.tokenInt()));
  p.nextToken();
  p.checkToken(charToken(']'));
  p.nextToken();
  return index;
}

void TextConverter::property() {
  p.checkToken(TokenKind::Symbol);
  std::string& name = m_name;
  name.clear();
  name.append(p.tokenText());
  p.nextToken();
  while (p.token() == charToken('.')) {
    p.nextToken();
    p.checkToken(TokenKind::Symbol);
    name += '.';
    name += p.tokenText();
    p.nextToken();
  }
  writeName(name);
  p.checkToken(charToken('='));
  p.nextToken();
  value(false);
}

void TextConverter::value(bool inList) {
  switch (p.token()) {
    case TokenKind::String:
    case TokenKind::WideString:
      stringValue();
      return;
    case TokenKind::Symbol: {
      std::string_view ident = p.tokenComponentIdent();
      // A Null element would be a 0 byte, which ends the list when read.
      if (ident.size() > 255 || (inList && p.tokenSymbolIs("NULL"))) p.error(msg::kInvalidPropertyValue);
      w.writeIdent(ident);
      p.nextToken();
      return;
    }
    case TokenKind::Integer:
      w.writeInt64(p.tokenInt());
      p.nextToken();
      return;
    case TokenKind::Float:
      floatValue();
      p.nextToken();
      return;
    default:
      break;
  }
  // One-byte tokens open the structured values.
  switch (static_cast<char>(p.token())) {
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
  bool wide = p.token() == TokenKind::WideString;
  std::string& bytes = m_bytes;
  std::u16string& units = m_units;
  bytes.clear();
  units.clear();
  if (wide) units = p.tokenWideString();
  else bytes.append(p.tokenText());
  while (p.nextToken() == charToken('+')) {
    p.nextToken();
    if (p.token() == TokenKind::WideString && !wide) {
      wide = true;
      for (char c : bytes) units.push_back(static_cast<unsigned char>(c));
      bytes.clear();
    }
    if (p.token() == TokenKind::String && !wide) bytes += p.tokenText();
    else if (p.token() == TokenKind::String || p.token() == TokenKind::WideString) units += p.tokenWideString();
    else p.error(msg::kStringExpected);
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
  while (p.token() != charToken(')')) value(true);
  w.writeListEnd();
  p.nextToken();
  leave();
}

void TextConverter::collection() {
  enter();
  p.nextToken();
  w.writeTag(tagCollection);
  while (p.token() != charToken('>')) {
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
  if (p.token() != charToken(']')) {
    for (;;) {
      if (p.token() != TokenKind::Integer) p.checkToken(TokenKind::Symbol);
      writeName(p.tokenText());
      p.nextToken();
      if (p.token() == charToken(']')) break;
      p.checkToken(charToken(','));
      p.nextToken();
    }
  }
  w.writeByte(0);
  p.nextToken();
}

void TextConverter::binary() {
  m_binary.clear();
  p.hexToBinary(m_binary);
  w.writeBinary(m_binary.data().data(), m_binary.data().size());
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
