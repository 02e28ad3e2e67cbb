#include "translation/StringRows.h"

#include <algorithm>
#include <cstdint>

#include "platform/CodePages.h"
#include "platform/Cp950.h"
#include "translation/WriteBack.h"

namespace vc {
namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Walks the value of a property from behind its "=" over the lines that
// follow, as the converter's tokenizer would.
class ValueCursor {
 public:
  ValueCursor(std::size_t lineCount, const LineAt& lineAt, std::size_t index, std::size_t maxLines)
      : m_count(lineCount), m_lineAt(lineAt), m_index(index), m_line(lineAt(index)),
        m_lastLine(index + std::min(lineCount - index - 1, maxLines)) {
    m_pos = m_line.find('=') + 1;
  }

  // Skips blanks on this line; true when something other than blanks is left.
  bool skipOnLine() {
    while (m_pos < m_line.size() && isBlank(m_line[m_pos])) ++m_pos;
    return m_pos < m_line.size();
  }
  // Skips blanks and line ends; false at the end of the text or of the lines
  // allowed (then cut() tells whether lines were left unread).
  bool skipLines() {
    while (!skipOnLine()) {
      if (m_index >= m_lastLine) {
        m_cut = m_index + 1 < m_count;
        return false;
      }
      m_line = m_lineAt(++m_index);
      m_pos = 0;
    }
    return true;
  }
  // The first byte that is no blank on a following line, looked at without
  // moving there; 0 when there is none.
  char peekNextLine() const {
    for (std::size_t i = m_index + 1; i <= m_lastLine; ++i) {
      std::string_view line = m_lineAt(i);
      auto at = std::find_if(line.begin(), line.end(), [](char c) { return !isBlank(c); });
      if (at != line.end()) return *at;
    }
    return 0;
  }
  char peek() const { return m_pos < m_line.size() ? m_line[m_pos] : '\0'; }
  bool atLineEnd() const { return m_pos >= m_line.size(); }
  char take() { return m_line[m_pos++]; }
  bool cut() const { return m_cut; }

 private:
  std::size_t m_count;
  const LineAt& m_lineAt;
  std::size_t m_index;
  std::string_view m_line;
  std::size_t m_pos = 0;
  std::size_t m_lastLine;
  bool m_cut = false;
};

}  // namespace

std::optional<DecodedString> decodeStringValue(std::size_t lineCount, const LineAt& lineAt, std::size_t index,
                                               bool strict, std::size_t maxUnits, std::size_t maxLines, int codePage) {
  if (index >= lineCount || lineAt(index).find('=') == std::string_view::npos) return std::nullopt;
  ValueCursor c(lineCount, lineAt, index, maxLines);
  if (!c.skipLines() || (c.peek() != '\'' && c.peek() != '#')) return std::nullopt;
  DecodedString out;
  std::u16string units;   // bytes of 8-bit literals and code units of wide ones
  bool anyWide = false;
  for (;;) {
    // One literal: parts with nothing between them.
    bool highCode = false, highQuoted = false, wideCode = false;
    while (c.peek() == '\'' || c.peek() == '#') {
      if (c.take() == '\'') {
        for (;;) {
          if (c.atLineEnd()) {
            if (strict) return std::nullopt;
            break;
          }
          char ch = c.take();
          if (ch == '\'') {
            if (c.peek() != '\'') break;
            c.take();
          }
          highQuoted |= static_cast<unsigned char>(ch) >= 0x80;
          units.push_back(static_cast<unsigned char>(ch));
        }
      } else {
        std::uint32_t value = 0;
        std::uint32_t low16 = 0;
        while (c.peek() >= '0' && c.peek() <= '9') {
          unsigned d = static_cast<unsigned>(c.take() - '0');
          if (value < 100000) value = value * 10 + d;
          low16 = (low16 * 10 + d) & 0xFFFF;
        }
        wideCode |= value > 255;
        highCode |= value >= 0x80 && value <= 0xFF;
        units.push_back(static_cast<char16_t>(low16));
      }
      if (units.size() > maxUnits) {
        units.resize(maxUnits);
        out.cut = true;
        break;
      }
    }
    anyWide |= wideCode || (highCode && !highQuoted);
    if (out.cut) break;
    // A "+" on this line or at the start of a following one joins the next literal.
    if (c.skipOnLine()) {
      if (c.peek() != '+') {
        if (strict) return std::nullopt;
        break;
      }
    } else if (c.peekNextLine() != '+') {
      break;
    }
    c.skipLines();
    c.take();  // the "+"
    if (!c.skipLines()) {
      if (strict) return std::nullopt;
      out.cut = c.cut();
      break;
    }
    if (c.peek() != '\'' && c.peek() != '#') {
      if (strict) return std::nullopt;
      break;
    }
  }
  if (anyWide) {
    out.text = std::move(units);
  } else {
    std::string bytes(units.begin(), units.end());
    out.text = codepage::decode(bytes, codePage);
  }
  return out;
}

bool isStringRow(std::size_t lineCount, const LineAt& lineAt, std::size_t index) {
  if (index >= lineCount || lineAt(index).find('=') == std::string_view::npos) return false;
  ValueCursor c(lineCount, lineAt, index, 1);
  return c.skipLines() && (c.peek() == '\'' || c.peek() == '#');
}

std::optional<std::u16string> stringRowValue(std::size_t lineCount, const LineAt& lineAt, std::size_t index,
                                             int codePage) {
  std::optional<DecodedString> d =
      decodeStringValue(lineCount, lineAt, index, true, static_cast<std::size_t>(-1), static_cast<std::size_t>(-1), codePage);
  if (!d) return std::nullopt;
  return std::move(d->text);
}

std::string quotedFormText(std::u16string_view text) {
  // Only bytes that decode to the same text will do (U+0080 encodes to the
  // byte 0x80, which decodes as no character).
  std::optional<std::string> bytes = cp950::encode(text);
  if (bytes && cp950::decode(*bytes) == text) return quotedFormString(*bytes);
  // A wide literal: quoted parts hold ASCII only, so that the converter
  // takes every # code for a code unit.
  std::string out;
  bool open = false;
  for (char16_t u : text) {
    if (u >= 0x20 && u < 0x7F) {
      if (!open) out += '\'';
      open = true;
      out += static_cast<char>(u);
      if (u == '\'') out += '\'';
    } else {
      if (open) out += '\'';
      open = false;
      out += '#';
      out += std::to_string(static_cast<unsigned>(u));
    }
  }
  if (open) out += '\'';
  return out;
}

bool isPropertyName(std::string_view name) {
  bool start = true;
  for (char c : name) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    const bool digit = c >= '0' && c <= '9';
    if (c == '.') {
      if (start) return false;
      start = true;
    } else if (letter || (digit && !start)) {
      start = false;
    } else {
      return false;
    }
  }
  return !start;
}

}  // namespace vc
