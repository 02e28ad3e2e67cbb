#include "editor/highlight/HtmlHighlighter.h"

#include <cstring>
#include <string_view>

namespace vc {
namespace {

#include "editor/highlight/HtmlTables.inc"

unsigned char upper(unsigned char b) { return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - 32) : b; }
bool isSpaceByte(unsigned char b) { return b >= 1 && b <= 32; }
// Bytes that end a tag name, an attribute name or an unquoted value.
bool endsName(unsigned char b) {
  return b == 0 || isSpaceByte(b) || b == '>' || b == '<' || b == '=' || b == '"' || b == '\'';
}

bool equalsFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(static_cast<unsigned char>(a[i])) != upper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

std::size_t HtmlHighlighter::entityCount() { return std::size(kEntityNames); }

std::size_t HtmlHighlighter::tagCount() {
  std::size_t n = 1;  // !DOCTYPE
  for (const TagName& t : kTagNames) n += t.closes ? 2 : 1;
  return n;
}

bool HtmlHighlighter::isEntityName(std::string_view name) {
  for (std::string_view e : kEntityNames)
    if (e == name) return true;
  return false;
}

bool HtmlHighlighter::isTagName(std::string_view name) {
  if (equalsFolded(name, "!DOCTYPE")) return true;
  bool closing = !name.empty() && name[0] == '/';
  if (closing) name.remove_prefix(1);
  for (const TagName& t : kTagNames)
    if (equalsFolded(name, t.name)) return !closing || t.closes;
  return false;
}

int HtmlHighlighter::letterSum(std::string_view name) {
  std::size_t digits = name.size();
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
  int sum = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    unsigned char b = upper(static_cast<unsigned char>(name[i]));
    if (b >= 'A' && b <= 'Z')
      sum += b - 'A' + 1;
    else if (b == '/')
      sum += 122;
    else if (b == '!')
      sum += 123;
    else if (i >= digits)
      sum += b - '0';
  }
  return sum;
}

HtmlHighlighter::HtmlHighlighter() : LineScanner(EndOfLine, rsText) {
  m_asp = addAttribute("Asp");
  m_comment = addAttribute("Comment");
  m_escape = addAttribute("Escape ampersand");
  m_identifier = addAttribute("Identifier");
  m_key = addAttribute("Reserved word");
  m_space = addAttribute("Space");
  m_symbol = addAttribute("Symbol");
  m_text = addAttribute("Text");
  m_undefKey = addAttribute("Unknown word");
  m_value = addAttribute("Value");
}

void HtmlHighlighter::applyWorkbenchColours() {
  for (int i = 0; i < attributeCount(); ++i) {
    attribute(i)->setBackground(Color::window());
    attribute(i)->setStyle(0);
  }
  m_text->setForeground(Color::fromRgb(0x0000A0));
  m_space->setForeground(Color::fromRgb(0x0000A0));
  m_key->setForeground(Color::fromRgb(0x004080));
  m_symbol->setForeground(Color::fromRgb(0x004080));
  m_value->setForeground(Color::fromRgb(0x004080));
  m_undefKey->setForeground(Color::fromRgb(0xFF0000));
  m_identifier->setForeground(Color::fromRgb(0xFF00FF));
  m_escape->setForeground(Color::fromRgb(0x00FF00));
  m_comment->setForeground(Color::fromRgb(0x837150));
  m_asp->setForeground(Color::fromRgb(0x0080FF));
}

void HtmlHighlighter::setRangeState(RangeState state) { m_range = state <= rsValue ? state : rsText; }

HighlightAttributes* HtmlHighlighter::tokenAttributes() const {
  switch (m_kind) {
    case Asp: return m_asp;
    case Comment: return m_comment;
    case EscapeAmpersand: return m_escape;
    case Identifier: return m_identifier;
    case ReservedWord: return m_key;
    case Space: return m_space;
    case Symbol: return m_symbol;
    case Text: return m_text;
    case UnknownWord: return m_undefKey;
    case Value: return m_value;
    default: return nullptr;
  }
}

void HtmlHighlighter::advance() {
  m_tokenStart = m_run;
  unsigned char b = at(m_run);
  if (b == 0) {
    m_kind = EndOfLine;
    return;
  }
  switch (m_range) {
    case rsComment: return scanUntil("-->", 3, Comment);
    case rsAsp: return scanUntil("%>", 2, Asp);
    case rsTagName: return scanTagName();
    case rsTag: return scanInTag();
    case rsValue: return scanValue();
    default: break;
  }
  if (b == '<') {
    if (at(m_run + 1) == '!' && at(m_run + 2) == '-' && at(m_run + 3) == '-') {
      m_run += 4;
      m_range = rsComment;
      return scanUntil("-->", 3, Comment);
    }
    if (at(m_run + 1) == '%') {
      m_run += 2;
      m_range = rsAsp;
      return scanUntil("%>", 2, Asp);
    }
    ++m_run;
    m_kind = Symbol;
    m_range = rsTagName;
    return;
  }
  if (b == '&') return scanAmpersand();
  if (b < 32) return scanSpace(true);
  scanText();
}

// Length of a known entity reference "&name;" at the run position, or 0.
static std::size_t entityLength(const unsigned char* line, std::size_t size, std::size_t pos) {
  std::size_t i = pos + 1;
  while (i < size && i - pos <= 10 &&
         ((line[i] >= 'a' && line[i] <= 'z') || (line[i] >= 'A' && line[i] <= 'Z') ||
          (line[i] >= '0' && line[i] <= '9')))
    ++i;
  if (i >= size || line[i] != ';' || i == pos + 1) return 0;
  std::string_view name(reinterpret_cast<const char*>(line) + pos + 1, i - pos - 1);
  return HtmlHighlighter::isEntityName(name) ? i + 1 - pos : 0;
}

void HtmlHighlighter::scanAmpersand() {
  if (std::size_t n = entityLength(m_line, m_size, m_run)) {
    m_run += n;
    m_kind = EscapeAmpersand;
    return;
  }
  ++m_run;  // an '&' of no entity is plain text
  scanText();
}

void HtmlHighlighter::scanText() {
  m_kind = Text;
  for (;;) {
    unsigned char b = at(m_run);
    if (b < 32 || b == '<') return;
    if (b == '&' && m_run > m_tokenStart && entityLength(m_line, m_size, m_run)) return;
    ++m_run;
  }
}

void HtmlHighlighter::scanSpace(bool controlOnly) {
  m_kind = Space;
  ++m_run;
  for (unsigned char b = at(m_run); isSpaceByte(b) && !(controlOnly && b == ' '); b = at(m_run)) ++m_run;
}

void HtmlHighlighter::scanUntil(const char* close, std::size_t closeLen, int kind) {
  m_kind = kind;
  while (at(m_run) != 0) {
    if (at(m_run) == static_cast<unsigned char>(close[0]) && m_run + closeLen <= m_size &&
        std::memcmp(m_line + m_run, close, closeLen) == 0) {
      m_run += closeLen;
      m_range = rsText;
      return;
    }
    ++m_run;
  }
}

void HtmlHighlighter::scanTagName() {
  unsigned char b = at(m_run);
  if (isSpaceByte(b)) return scanSpace(false);
  if (endsName(b)) return scanInTag();
  while (!endsName(at(m_run))) ++m_run;
  std::string_view name = tokenText();
  if (isTagName(name))
    m_kind = ReservedWord;
  else if (letterSum(name) > 243)
    m_kind = Identifier;
  else
    m_kind = UnknownWord;
  m_range = rsTag;
}

void HtmlHighlighter::scanInTag() {
  unsigned char b = at(m_run);
  if (isSpaceByte(b)) return scanSpace(false);
  if (b == '"' || b == '\'') return scanQuoted();
  ++m_run;
  m_kind = Symbol;
  switch (b) {
    case '>': m_range = rsText; return;
    case '=': m_range = rsValue; return;
    case '<': m_range = rsTagName; return;
    default: break;
  }
  while (!endsName(at(m_run))) ++m_run;
  m_kind = Identifier;
  m_range = rsTag;
}

void HtmlHighlighter::scanValue() {
  unsigned char b = at(m_run);
  if (isSpaceByte(b)) return scanSpace(false);
  if (b == '>' || b == '<') return scanInTag();
  if (b == '"' || b == '\'') return scanQuoted();
  ++m_run;
  for (b = at(m_run); b != 0 && !isSpaceByte(b) && b != '>'; b = at(m_run)) ++m_run;
  m_kind = Value;
  m_range = rsTag;
}

// A quoted value ends at its closing quote or, unterminated, at the line end.
void HtmlHighlighter::scanQuoted() {
  unsigned char quote = at(m_run);
  ++m_run;
  for (unsigned char b = at(m_run); b != 0; b = at(m_run)) {
    ++m_run;
    if (b == quote) break;
  }
  m_kind = Value;
  m_range = rsTag;
}

}  // namespace vc
