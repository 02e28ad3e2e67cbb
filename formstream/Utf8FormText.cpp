#include "formstream/Utf8FormText.h"

#include <optional>
#include <vector>

#include "formstream/Errors.h"
#include "platform/Cp950.h"

namespace vc {
namespace {

// One character of a quoted part, or one # code, of a string literal.
struct Unit {
  char32_t value = 0;
  bool code = false;     // written as a # code in the input
  std::string_view raw;  // the code's own spelling, kept when it stays a code
};

// A string literal ("'a''b'#13'c'") and the text that joins it to the next
// one of the same chain (" +\r\n  "), if any.
struct Piece {
  std::vector<Unit> units;
  std::string_view joint;
};

class Converter {
 public:
  explicit Converter(std::string_view text) : m_text(text) {}

  std::string run() {
    if (startsWithUtf8Bom(m_text)) m_at = kUtf8Bom.size();
    while (m_at < m_text.size()) {
      const char c = m_text[m_at];
      if (c == '\'' || c == '#') {
        chain();
      } else if (isWordByte(c)) {
        word();
      } else {
        if (c == '\n') ++m_line;
        m_out.push_back(c);
        ++m_at;
      }
    }
    return std::move(m_out);
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw EParserError(what + " (line " + std::to_string(m_line) + ")");
  }

  static std::optional<std::string> encode(char32_t cp) {
    if (cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    const char16_t unit = static_cast<char16_t>(cp);
    std::optional<std::string> bytes = cp950::encode(std::u16string_view(&unit, 1));
    if (bytes && bytes->empty()) return std::nullopt;
    return bytes;
  }

  // The UTF-8 character at m_at, strictly: no overlong forms, no surrogates.
  char32_t next() {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(m_text[k]); };
    const unsigned char b = byte(m_at);
    std::size_t len = 0;
    char32_t cp = 0, min = 0;
    if (b < 0x80) {
      ++m_at;
      return b;
    } else if (b >= 0xC2 && b <= 0xDF) {
      len = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4, cp = b & 0x07, min = 0x10000;
    } else {
      fail("the text is not UTF-8");
    }
    if (m_text.size() - m_at < len) fail("the text is not UTF-8");
    for (std::size_t k = 1; k < len; ++k) {
      if ((byte(m_at + k) & 0xC0) != 0x80) fail("the text is not UTF-8");
      cp = (cp << 6) | (byte(m_at + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) fail("the text is not UTF-8");
    m_at += len;
    return cp;
  }

  static bool isWordByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x80 || b == '_' || b == '.' || (b >= '0' && b <= '9') || ((b | 0x20) >= 'a' && (b | 0x20) <= 'z');
  }

  // A name or number. A name that CP950 cannot hold keeps its UTF-8 bytes,
  // the way newer compilers store names; it is never partly converted. So
  // does a name whose CP950 form the parser would cut short: the trail byte
  // of a double-byte character can be punctuation ("址" is A7 7D, "}").
  void word() {
    const std::size_t start = m_at;
    std::string bytes;
    bool encodable = true;
    while (m_at < m_text.size() && isWordByte(m_text[m_at])) {
      const char32_t cp = next();
      std::optional<std::string> b = encode(cp);
      if (b) bytes += *b;
      else encodable = false;
    }
    for (char c : bytes) encodable = encodable && isWordByte(c);
    m_out += encodable ? bytes : std::string(m_text.substr(start, m_at - start));
  }

  // Reads one literal into piece. False, with nothing consumed beyond the
  // copy made to m_out, when a quoted part is not closed on its line: the
  // parser then reports it where it is.
  bool literal(Piece& piece) {
    while (m_at < m_text.size()) {
      const char c = m_text[m_at];
      if (c == '#') {
        const std::size_t start = m_at++;
        std::uint32_t value = 0;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
          value = value > 0xFFFFFF ? value : value * 10 + static_cast<std::uint32_t>(m_text[m_at] - '0');
          ++m_at;
        }
        piece.units.push_back({value, true, m_text.substr(start, m_at - start)});
      } else if (c == '\'') {
        ++m_at;
        while (true) {
          if (m_at >= m_text.size() || m_text[m_at] == '\r' || m_text[m_at] == '\n') return false;
          if (m_text[m_at] == '\'') {
            if (m_at + 1 < m_text.size() && m_text[m_at + 1] == '\'') {
              piece.units.push_back({'\'', false, {}});
              m_at += 2;
              continue;
            }
            ++m_at;
            break;
          }
          piece.units.push_back({next(), false, {}});
        }
      } else {
        break;
      }
    }
    return true;
  }

  // Blanks and line breaks, "+", blanks and line breaks, up to the next
  // literal: the joint of a chain. Empty when no literal follows that way.
  std::string_view joint() {
    std::size_t k = m_at;
    auto blanks = [&] {
      while (k < m_text.size() && (m_text[k] == ' ' || m_text[k] == '\t' || m_text[k] == '\r' || m_text[k] == '\n'))
        ++k;
    };
    blanks();
    if (k >= m_text.size() || m_text[k] != '+') return {};
    ++k;
    blanks();
    if (k >= m_text.size() || (m_text[k] != '\'' && m_text[k] != '#')) return {};
    return m_text.substr(m_at, k - m_at);
  }

  // A chain of literals joined by "+": its pieces are either all 8-bit or
  // all wide strings, so one character CP950 cannot hold makes them all wide.
  void chain() {
    const std::size_t start = m_at;
    const int startLine = m_line;
    std::vector<Piece> pieces;
    bool wide = false;
    while (true) {
      pieces.emplace_back();
      if (!literal(pieces.back())) {
        // Leave the broken literal to the parser's message, encoded as well as it goes.
        m_at = start;
        m_line = startLine;
        copyUnterminated();
        return;
      }
      for (const Unit& u : pieces.back().units)
        if (!u.code && u.value >= 0x80 && !encode(u.value)) wide = true;
      pieces.back().joint = joint();
      if (pieces.back().joint.empty()) break;
      for (char c : pieces.back().joint) m_line += c == '\n';
      m_at += pieces.back().joint.size();
    }
    for (const Piece& p : pieces) {
      wide ? writeWide(p) : writeNarrow(p);
      m_out += p.joint;
    }
  }

  void copyUnterminated() {
    m_out.push_back(m_text[m_at++]);
    while (m_at < m_text.size() && m_text[m_at] != '\r' && m_text[m_at] != '\n') {
      const char32_t cp = next();
      std::optional<std::string> bytes = encode(cp);
      m_out += bytes ? *bytes : "?";
    }
  }

  void writeNarrow(const Piece& p) {
    bool quoted = false;
    for (const Unit& u : p.units) {
      if (u.code) {
        if (quoted) m_out.push_back('\'');
        quoted = false;
        m_out += u.raw;
        continue;
      }
      if (!quoted) m_out.push_back('\'');
      quoted = true;
      if (u.value == '\'') m_out += "''";
      else m_out += *encode(u.value);
    }
    if (quoted) m_out.push_back('\'');
    if (p.units.empty()) m_out += "''";
  }

  // In a wide string a quoted byte stands for the code unit of its value, so
  // everything beyond ASCII is written as # codes of UTF-16 code units. The
  // parser takes a string for wide only when a code is above 255; a piece
  // without one gets its last code written plus 65536, which the parser
  // reads as the same code unit.
  void writeWide(const Piece& p) {
    std::vector<std::pair<std::uint32_t, bool>> out;  // value, written as a code
    for (const Unit& u : p.units) {
      if (u.code) {
        out.emplace_back(u.value, true);
      } else if (u.value < 0x80) {
        out.emplace_back(u.value, false);
      } else if (u.value > 0xFFFF) {
        const char32_t v = u.value - 0x10000;
        out.emplace_back(0xD800 + (v >> 10), true);
        out.emplace_back(0xDC00 + (v & 0x3FF), true);
      } else {
        out.emplace_back(u.value, true);
      }
    }
    bool above255 = false;
    for (const auto& [value, code] : out) above255 |= code && value > 255;
    if (!above255 && !out.empty()) {
      out.back().first = (out.back().first & 0xFFFF) + 0x10000;
      out.back().second = true;
    }
    bool quoted = false;
    for (const auto& [value, code] : out) {
      if (code) {
        if (quoted) m_out.push_back('\'');
        quoted = false;
        m_out += "#" + std::to_string(value);
      } else {
        if (!quoted) m_out.push_back('\'');
        quoted = true;
        if (value == '\'') m_out += "''";
        else m_out.push_back(static_cast<char>(value));
      }
    }
    if (quoted) m_out.push_back('\'');
    if (out.empty()) m_out += "''";
  }

  std::string_view m_text;
  std::size_t m_at = 0;
  int m_line = 1;
  std::string m_out;
};

}  // namespace

bool startsWithUtf8Bom(std::string_view text) { return text.starts_with(kUtf8Bom); }

std::string formTextFromUtf8(std::string_view utf8) { return Converter(utf8).run(); }

}  // namespace vc
