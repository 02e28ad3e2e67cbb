#include "modres/ResourceName.h"

#include <cstdio>

#include "platform/Cp950.h"

namespace vc::modres {
namespace {

void appendEscape(std::string& out, char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "{U+%04X}", static_cast<unsigned>(cp));
  out += buf;
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string shownResourceName(std::u16string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (isHighSurrogate(c) && i + 1 < name.size() && isLowSurrogate(name[i + 1])) {
      // Nothing outside the BMP has a CP950 encoding.
      appendEscape(out, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (name[i + 1] - 0xDC00));
      ++i;
      continue;
    }
    // Lone surrogates must not reach the encoder, which reads U+DC80..U+DCFF as raw bytes.
    if (c < 0x20 || c == 0x7F || isHighSurrogate(c) || isLowSurrogate(c)) {
      appendEscape(out, c);
      continue;
    }
    std::optional<std::string> bytes = cp950::encode(std::u16string_view(&c, 1));
    if (bytes && !bytes->empty())
      out += *bytes;
    else
      appendEscape(out, c);
  }
  return out;
}

std::string shownResourceId(std::uint16_t id) { return "#" + std::to_string(id); }

std::optional<std::uint16_t> parseResourceId(std::string_view text) {
  if (text.size() < 2 || text[0] != '#') return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    if (value > 0xFFFF) return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace vc::modres
