#include "platform/Utf.h"

#include <cstdint>

namespace vc::utf {

void appendUtf8(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::u16string utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  const std::size_t n = s.size();
  auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  while (i < n) {
    unsigned char b = byteAt(i);
    char32_t cp;
    std::size_t len;
    char32_t min;
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      cp = b & 0x1F; len = 2; min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      cp = b & 0x0F; len = 3; min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      cp = b & 0x07; len = 4; min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::size_t k = 1;
    for (; k < len && i + k < n; ++k) {
      unsigned char c = byteAt(i + k);
      if ((c & 0xC0) != 0x80) break;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      // Maximal subpart of a malformed sequence becomes one U+FFFD.
      out.push_back(0xFFFD);
      i += (k == 0 ? 1 : k);
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    appendUtf8(out, c);
  }
  return out;
}

bool isValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t n;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) n = 1, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) n = 2, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) n = 3, cp = c & 0x07;
    else return false;
    if (i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += n + 1;
  }
  return true;
}

}  // namespace vc::utf
