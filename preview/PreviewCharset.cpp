#include "preview/PreviewCharset.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/Cp950.h"

namespace vc::preview {

namespace {

struct CharsetRow {
  const char* name;
  int number;
  const char* codePage;  // nullptr: CP950
};

const CharsetRow kCharsets[] = {
    {"ANSI_CHARSET", 0, nullptr},         {"DEFAULT_CHARSET", 1, nullptr},
    {"SYMBOL_CHARSET", 2, nullptr},       {"MAC_CHARSET", 77, nullptr},
    {"SHIFTJIS_CHARSET", 128, "CP932"},   {"HANGEUL_CHARSET", 129, "CP949"},
    {"HANGUL_CHARSET", 129, "CP949"},     {"JOHAB_CHARSET", 130, "JOHAB"},
    {"GB2312_CHARSET", 134, "GBK"},       {"CHINESEBIG5_CHARSET", 136, nullptr},
    {"GREEK_CHARSET", 161, "CP1253"},     {"TURKISH_CHARSET", 162, "CP1254"},
    {"VIETNAMESE_CHARSET", 163, "CP1258"}, {"HEBREW_CHARSET", 177, "CP1255"},
    {"ARABIC_CHARSET", 178, "CP1256"},    {"BALTIC_CHARSET", 186, "CP1257"},
    {"RUSSIAN_CHARSET", 204, "CP1251"},   {"THAI_CHARSET", 222, "CP874"},
    {"EASTEUROPE_CHARSET", 238, "CP1250"}, {"OEM_CHARSET", 255, nullptr},
};

QString viaIconv(const std::string& bytes, const char* codePage) {
  iconv_t cd = iconv_open("UTF-16LE", codePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return decode8(bytes);
  std::u16string out;
  char buf[4096];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* dst = buf;
    std::size_t outLeft = sizeof buf;
    const std::size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
    for (char* p = buf; p + 1 < dst; p += 2)
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.push_back(u'\uFFFD');  // no character of the code page, or cut short
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return QString::fromStdU16String(out);
}

void redecode(Value& v, const char* codePage) {
  if (v.type == Value::Type::String && v.eightBit) v.text = decode8(v.bytes, codePage);
  for (Value& e : v.list) redecode(e, codePage);
  for (auto& item : v.items)
    for (Property& p : item) redecode(p.value, codePage);
}

}  // namespace

int charsetOf(const Value& v) {
  if (v.type == Value::Type::Int) return static_cast<int>(v.integer & 0xFF);
  if (v.type == Value::Type::Ident)
    for (const CharsetRow& r : kCharsets)
      if (v.text.compare(QLatin1String(r.name), Qt::CaseInsensitive) == 0) return r.number;
  return -1;
}

const char* codePageOf(int charset) {
  for (const CharsetRow& r : kCharsets)
    if (r.number == charset) return r.codePage;
  return nullptr;
}

QString decode8(const std::string& bytes, const char* codePage) {
  if (codePage) return viaIconv(bytes, codePage);
  std::u16string w = cp950::decode(bytes);
  // Bytes that are no Big5 character come back as lone surrogates, which a
  // window cannot draw; show them as replacement characters.
  for (char16_t& c : w)
    if (c >= 0xDC80 && c <= 0xDCFF) c = 0xFFFD;
  return QString::fromStdU16String(w);
}

void redecodeStrings(Component& c, const char* codePage) {
  for (Property& p : c.properties) redecode(p.value, codePage);
}

}  // namespace vc::preview
