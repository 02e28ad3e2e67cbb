#include "preview/PreviewCharset.h"

#include "platform/CodePages.h"

namespace vc::preview {

namespace {

void redecode(Value& v, int codePage) {
  if (v.type == Value::Type::String && v.eightBit) v.text = decode8(v.bytes, codePage);
  for (Value& e : v.list) redecode(e, codePage);
  for (auto& item : v.items)
    for (Property& p : item) redecode(p.value, codePage);
}

}  // namespace

int charsetOf(const Value& v) {
  if (v.type == Value::Type::Int) return static_cast<int>(v.integer & 0xFF);
  if (v.type == Value::Type::Ident) return charsetNumber(v.text.toStdString()).value_or(-1);
  return -1;
}

int codePageOf(int charset, const SourceCodePageOptions& options) { return charsetCodePage(charset, options); }

QString decode8(const std::string& bytes, int codePage) {
  std::u16string w = codepage::decode(bytes, codePage);
  // Bytes that are no Big5 character come back as lone surrogates, which a
  // window cannot draw; show them as replacement characters.
  for (char16_t& c : w)
    if (c >= 0xDC80 && c <= 0xDCFF) c = 0xFFFD;
  return QString::fromStdU16String(w);
}

void redecodeStrings(Component& c, int codePage) {
  for (Property& p : c.properties) redecode(p.value, codePage);
}

}  // namespace vc::preview
