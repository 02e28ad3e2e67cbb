#include "platform/Cp950.h"

#include <iconv.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/Utf.h"

namespace vc::cp950 {
namespace {

// Both directions as tables, built once from the system's converter. Decoding
// a pair and encoding the result must give the same two bytes, otherwise the
// pair is treated as undecodable so that no byte is ever changed by a round
// trip through Unicode.
struct Tables {
  std::vector<char16_t> pairToUnicode;  // (lead - 0x81) * 256 + trail
  std::vector<std::uint16_t> unicodeToCode;  // 0: none; < 0x100: single byte
};

char16_t iconvDecode(iconv_t cd, const unsigned char* in, std::size_t n) {
  char buf[8];
  char* src = const_cast<char*>(reinterpret_cast<const char*>(in));
  std::size_t srcLeft = n;
  char* dst = buf;
  std::size_t dstLeft = sizeof buf;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || srcLeft != 0)
    return 0;
  if (dst - buf != 2) return 0;  // outside the BMP or more than one character
  return static_cast<char16_t>(static_cast<unsigned char>(buf[0]) |
                               (static_cast<unsigned char>(buf[1]) << 8));
}

std::unique_ptr<Tables> buildTables() {
  auto t = std::make_unique<Tables>();
  t->pairToUnicode.assign(0x7E * 256, 0);
  t->unicodeToCode.assign(0x10000, 0);
  for (unsigned c = 1; c < 0x80; ++c) t->unicodeToCode[c] = static_cast<std::uint16_t>(c);

  iconv_t dec = iconv_open("UTF-16LE", "CP950");
  iconv_t enc = iconv_open("CP950", "UTF-16LE");
  if (dec == reinterpret_cast<iconv_t>(-1) || enc == reinterpret_cast<iconv_t>(-1)) return t;

  // Single bytes from 0x80 up: taken only when they decode on their own.
  for (unsigned b = 0x80; b < 0x100; ++b) {
    if (isLeadByte(static_cast<unsigned char>(b))) continue;
    unsigned char in[1] = {static_cast<unsigned char>(b)};
    char16_t u = iconvDecode(dec, in, 1);
    if (u != 0 && t->unicodeToCode[u] == 0) t->unicodeToCode[u] = static_cast<std::uint16_t>(b);
  }
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
      char16_t u = iconvDecode(dec, in, 2);
      if (u == 0 || (u >= 0xD800 && u <= 0xDFFF)) continue;
      // Encode back: only pairs that come back unchanged are decoded.
      char16_t src16 = u;
      char* src = reinterpret_cast<char*>(&src16);
      std::size_t srcLeft = 2;
      char out[4];
      char* dst = out;
      std::size_t dstLeft = sizeof out;
      iconv(enc, nullptr, nullptr, nullptr, nullptr);
      if (iconv(enc, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) continue;
      if (dst - out != 2 || static_cast<unsigned char>(out[0]) != lead ||
          static_cast<unsigned char>(out[1]) != trail)
        continue;
      t->pairToUnicode[(lead - 0x81) * 256 + trail] = u;
      t->unicodeToCode[u] = static_cast<std::uint16_t>((lead << 8) | trail);
    }
  }
  iconv_close(dec);
  iconv_close(enc);
  return t;
}

const Tables& tables() {
  static const std::unique_ptr<Tables> t = buildTables();
  return *t;
}

constexpr char16_t kEscapeBase = 0xDC00;

}  // namespace

bool isTrailByte(std::string_view s, std::size_t pos) {
  if (pos == 0 || pos >= s.size()) return false;
  std::size_t run = 0;
  for (std::size_t i = pos; i > 0 && isLeadByte(static_cast<unsigned char>(s[i - 1])); --i) ++run;
  return (run & 1) != 0;
}

std::size_t charLength(std::string_view s, std::size_t pos) {
  return (isLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) ? 2 : 1;
}

std::size_t charStart(std::string_view s, std::size_t pos) {
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t len = charLength(s, i);
    if (pos < i + len) return i;
    i += len;
  }
  return pos;
}

char16_t decodePair(unsigned char lead, unsigned char trail) {
  if (!isLeadByte(lead)) return 0;
  return tables().pairToUnicode[(lead - 0x81) * 256 + trail];
}

std::u16string decode(std::string_view bytes) {
  const Tables& t = tables();
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(b);
    } else if (isLeadByte(b) && i + 1 < bytes.size()) {
      char16_t u = t.pairToUnicode[(b - 0x81) * 256 + static_cast<unsigned char>(bytes[i + 1])];
      if (u != 0) {
        out.push_back(u);
        ++i;
      } else {
        out.push_back(static_cast<char16_t>(kEscapeBase + b));
      }
    } else {
      out.push_back(static_cast<char16_t>(kEscapeBase + b));
    }
  }
  return out;
}

std::optional<std::string> encode(std::u16string_view text, std::size_t* failedAt) {
  const Tables& t = tables();
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    if (u == 0) {
      out.push_back('\0');
      continue;
    }
    if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
      out.push_back(static_cast<char>(u - kEscapeBase));
      continue;
    }
    std::uint16_t code = t.unicodeToCode[u];
    if (code == 0) {
      if (failedAt) *failedAt = i;
      return std::nullopt;
    }
    if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  }
  return out;
}

std::string encodeLossy(std::u16string_view text) {
  std::string out;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t failed = 0;
    auto part = encode(text.substr(start), &failed);
    if (part) {
      out += *part;
      break;
    }
    out += *encode(text.substr(start, failed));
    out.push_back('?');
    start += failed + 1;
    // A surrogate pair stands for one character: one "?" for both halves.
    if (start < text.size() && text[start] >= 0xDC00 && text[start] <= 0xDFFF &&
        text[start - 1] >= 0xD800 && text[start - 1] <= 0xDBFF)
      ++start;
  }
  return out;
}

std::string toUtf8(std::string_view bytes) {
  std::u16string u = decode(bytes);
  for (char16_t& c : u)
    if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) c = 0xFFFD;
  return utf::utf16ToUtf8(u);
}

std::optional<std::string> fromUtf8(std::string_view utf8) {
  return encode(utf::utf8ToUtf16(utf8));
}

}  // namespace vc::cp950
