#include "translation/StringTable.h"

#include <optional>

#include "platform/Cp950.h"
#include "platform/Utf.h"
#include "translation/StringExtraction.h"
#include "translation/StringRows.h"
#include "translation/WriteBack.h"

namespace vc {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void escape(std::string& out, char kind, unsigned value, int digits) {
  out += '\\';
  out += kind;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 15];
}

int hexValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of digits hex digits at text[at], or -1.
long hexAt(std::u16string_view text, std::size_t at, int digits) {
  if (at + static_cast<std::size_t>(digits) > text.size()) return -1;
  long v = 0;
  for (int i = 0; i < digits; ++i) {
    int d = hexValue(text[at + static_cast<std::size_t>(i)]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u < 0xDC00; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u < 0xE000; }
// cp950::decode's stand-in for a byte that is no character.
bool isByteStandIn(char16_t u) { return u >= 0xDC80 && u <= 0xDCFF; }

}  // namespace

std::string tableField(std::u16string_view text, bool utf8) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    switch (u) {
      case '\\': out += "\\\\"; continue;
      case '\t': out += "\\t"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      default: break;
    }
    if (isByteStandIn(u)) {
      escape(out, 'x', u & 0xFF, 2);
    } else if (isHighSurrogate(u) && i + 1 < text.size() && isLowSurrogate(text[i + 1]) && utf8) {
      utf::appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
      escape(out, 'u', u, 4);
    } else if (utf8) {
      utf::appendUtf8(out, u);
    } else if (std::optional<std::string> bytes = cp950::encode(std::u16string_view(&u, 1));
               bytes && cp950::decode(*bytes) == std::u16string_view(&u, 1)) {
      out += *bytes;
    } else {
      escape(out, 'u', u, 4);
    }
  }
  return out;
}

std::u16string fromTableField(std::string_view field, bool utf8) {
  const std::u16string text = utf8 ? utf::utf8ToUtf16(field) : cp950::decode(field);
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char16_t kind = text[i + 1];
    long v = -1;
    if (kind == '\\') out += u'\\';
    else if (kind == 't') out += u'\t';
    else if (kind == 'n') out += u'\n';
    else if (kind == 'r') out += u'\r';
    else if (kind == 'u' && (v = hexAt(text, i + 2, 4)) >= 0) out += static_cast<char16_t>(v);
    else if (kind == 'x' && (v = hexAt(text, i + 2, 2)) >= 0x80) out += static_cast<char16_t>(0xDC00 + v);
    else {
      out += text[i];
      continue;
    }
    i += kind == 'u' ? 5 : kind == 'x' ? 3 : 1;
  }
  return out;
}

std::vector<TableRow> stringTableRows(const std::vector<std::string>& lines, const SourceCodePageOptions& codePages) {
  const LineAt lineAt = [&](std::size_t i) { return std::string_view(lines[i]); };
  const std::vector<int> pages = lineCodePages(lines, codePages);
  std::vector<TableRow> rows;
  for (ExtractedString& row : extractStrings(lines)) {
    if (!isPropertyName(row.name)) continue;
    const std::size_t index = row.lineNumber - 1;
    const std::string_view line = lines[index];
    std::string_view value = line.substr(line.find('=') + 1);
    while (!value.empty() && static_cast<unsigned char>(value.front()) <= ' ') value.remove_prefix(1);
    while (!value.empty() && static_cast<unsigned char>(value.back()) <= ' ') value.remove_suffix(1);
    if (!value.empty() && (value.front() == '(' || value.front() == '<' || value.front() == '{')) continue;
    std::u16string text;
    if (isStringRow(lines.size(), lineAt, index)) {
      std::optional<std::u16string> whole = stringRowValue(lines.size(), lineAt, index, pages[index]);
      if (!whole) continue;
      text = std::move(*whole);
    } else {
      text = cp950::decode(value);
    }
    rows.push_back({row.lineNumber, std::move(row.name), std::move(text), pages[index]});
  }
  return rows;
}

TextLines textLines(std::string_view text) {
  TextLines t;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    t.lines.emplace_back(text.substr(start, i - start));
    const std::size_t n = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    t.ends.push_back(text.substr(i, n));
    i += n - 1;
    start = i + 1;
  }
  if (start < text.size() || t.lines.empty()) {
    t.lines.emplace_back(text.substr(start));
    t.ends.emplace_back();
  }
  return t;
}

std::string writtenText(std::string_view text, const TextLines& t, const WriteBack& writeBack) {
  if (!writeBack.changed()) return std::string(text);
  const std::string_view eol = t.ends[0].empty() ? std::string_view("\r\n") : t.ends[0];
  const std::size_t first = writeBack.firstChanged(), end = first + writeBack.changedCount();
  std::string out;
  out.reserve(text.size() + 64);
  for (std::size_t i = 0; i < first; ++i) (out += t.lines[i]) += t.ends[i];
  const std::vector<std::string> changed = writeBack.changedLines();
  for (std::size_t i = 0; i < changed.size(); ++i) (out += changed[i]) += i + 1 < changed.size() ? eol : t.ends[end - 1];
  for (std::size_t i = end; i < t.lines.size(); ++i) (out += t.lines[i]) += t.ends[i];
  return out;
}

}  // namespace vc
