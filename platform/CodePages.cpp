#include "platform/CodePages.h"

#include <iconv.h>

#include <cerrno>

#include "platform/Cp950.h"

namespace vc::codepage {

namespace {

struct Name {
  int codePage;
  const char* iconv;
};

// glibc's names; CP936 is GBK with the euro sign at 0x80, as Windows has it.
constexpr Name kNames[] = {
    {932, "CP932"},   {936, "CP936"},   {949, "CP949"},   {950, "CP950"},   {874, "CP874"},
    {1250, "CP1250"}, {1251, "CP1251"}, {1252, "CP1252"}, {1253, "CP1253"}, {1254, "CP1254"},
    {1255, "CP1255"}, {1256, "CP1256"}, {1257, "CP1257"}, {1258, "CP1258"}, {1361, "JOHAB"},
};

class Converter {
 public:
  explicit Converter(const char* from) : m_cd(iconv_open("UTF-16LE", from)) {}
  ~Converter() {
    if (ok()) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return m_cd; }

 private:
  iconv_t m_cd;
};

}  // namespace

const char* iconvName(int codePage) {
  for (const Name& n : kNames)
    if (n.codePage == codePage) return n.iconv;
  return nullptr;
}

std::u16string decode(std::string_view bytes, int codePage) {
  const char* name = codePage == 950 ? nullptr : iconvName(codePage);
  if (!name) return cp950::decode(bytes);
  Converter cd(name);
  if (!cd.ok()) return cp950::decode(bytes);
  std::u16string out;
  out.reserve(bytes.size());
  char buf[1024];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* dst = buf;
    std::size_t outLeft = sizeof buf;
    const std::size_t r = iconv(cd.get(), &in, &inLeft, &dst, &outLeft);
    for (char* p = buf; p + 1 < dst; p += 2)
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // No character of the code page, or one cut short: one byte is passed over.
      out.push_back(u'\uFFFD');
      ++in;
      --inLeft;
      iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace vc::codepage
