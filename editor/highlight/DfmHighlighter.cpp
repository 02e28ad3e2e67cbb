#include "editor/highlight/DfmHighlighter.h"

#include <cstring>

namespace vc {
namespace {

bool isDigit(unsigned char b) { return b >= '0' && b <= '9'; }
bool isHexDigit(unsigned char b) {
  return isDigit(b) || (b >= 'A' && b <= 'F') || (b >= 'a' && b <= 'f');
}
bool isWordChar(unsigned char b) {
  return isDigit(b) || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
}
unsigned char lower(unsigned char b) { return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b; }

}  // namespace

DfmHighlighter::DfmHighlighter() : LineScanner(EndOfLine, rsOutside) {
  m_comment = addAttribute("Comment");
  m_comment->setStyle(fsItalic);
  m_identifier = addAttribute("Identifier");
  m_key = addAttribute("Key");
  m_number = addAttribute("Number");
  m_space = addAttribute("Space");
  m_string = addAttribute("String");
  m_symbol = addAttribute("Symbol");

  for (int b = 0; b < 256; ++b) {
    Rule r = &DfmHighlighter::ruleOther;
    if (b == 0)
      r = &DfmHighlighter::ruleEndOfLine;
    else if (b == 10)
      r = &DfmHighlighter::ruleLineFeed;
    else if (b == 13)
      r = &DfmHighlighter::ruleCarriageReturn;
    else if (b <= 32)
      r = &DfmHighlighter::ruleSpace;
    else if (b == '#')
      r = &DfmHighlighter::ruleHash;
    else if (b == '$')
      r = &DfmHighlighter::ruleDollar;
    else if (b == '\'')
      r = &DfmHighlighter::ruleQuote;
    else if (std::strchr("(),./<=>[]", b))
      r = &DfmHighlighter::ruleSymbol;
    else if (isDigit(static_cast<unsigned char>(b)))
      r = &DfmHighlighter::ruleNumber;
    else if (b == 'E' || b == 'e')
      r = &DfmHighlighter::ruleE;
    else if (b == 'O' || b == 'o')
      r = &DfmHighlighter::ruleO;
    else if (isWordChar(static_cast<unsigned char>(b)))
      r = &DfmHighlighter::ruleIdentifier;
    else if (b == '{')
      r = &DfmHighlighter::ruleBraceOpen;
    else if (b == '}')
      r = &DfmHighlighter::ruleBraceClose;
    m_rules[static_cast<std::size_t>(b)] = r;
  }
}

void DfmHighlighter::applyWorkbenchColours() {
  m_comment->setStyle(fsItalic);
  m_identifier->setForeground(Color::fromRgb(0x0000FF));
  m_key->setForeground(Color::fromRgb(0xFF0000));
  m_key->setStyle(fsBold);
  m_number->setForeground(Color::fromRgb(0xFF00FF));
  m_string->setForeground(Color::fromRgb(0x008000));
}

void DfmHighlighter::setRangeState(RangeState state) {
  m_range = state == rsBraceBlock ? rsBraceBlock : rsOutside;
}

HighlightAttributes* DfmHighlighter::tokenAttributes() const {
  switch (m_kind) {
    case Comment: return m_comment;
    case Identifier: return m_identifier;
    case Key: return m_key;
    case Number: return m_number;
    case Space: return m_space;
    case String: return m_string;
    case Symbol: return m_symbol;
    case Other: return m_identifier;
    default: return nullptr;
  }
}

void DfmHighlighter::advance() {
  m_tokenStart = m_run;
  if (m_range == rsBraceBlock) {
    if (at(m_run) == 0)
      m_kind = EndOfLine;
    else
      ruleBlock();
    return;
  }
  (this->*m_rules[at(m_run)])();
}

void DfmHighlighter::ruleEndOfLine() { m_kind = EndOfLine; }

void DfmHighlighter::ruleLineFeed() {
  ++m_run;
  m_kind = Space;
}

void DfmHighlighter::ruleCarriageReturn() {
  ++m_run;
  if (at(m_run) == 10) ++m_run;
  m_kind = Space;
}

void DfmHighlighter::ruleSpace() {
  ++m_run;
  for (unsigned char b = at(m_run); b >= 1 && b <= 32 && b != 10 && b != 13; b = at(m_run)) ++m_run;
  m_kind = Space;
}

void DfmHighlighter::ruleHash() {
  ++m_run;
  while (isDigit(at(m_run))) ++m_run;
  m_kind = String;
}

void DfmHighlighter::ruleDollar() {
  ++m_run;
  while (isHexDigit(at(m_run))) ++m_run;
  m_kind = Number;
}

void DfmHighlighter::ruleQuote() {
  m_kind = String;
  ++m_run;
  for (;;) {
    unsigned char b = at(m_run);
    if (b == 0 || b == 10 || b == 13) return;
    ++m_run;
    if (b == '\'') {
      if (at(m_run) != '\'') return;
      ++m_run;
    }
  }
}

void DfmHighlighter::ruleSymbol() {
  ++m_run;
  m_kind = Symbol;
}

void DfmHighlighter::ruleNumber() {
  m_kind = Number;
  ++m_run;
  for (;;) {
    unsigned char b = at(m_run);
    if (isDigit(b) || b == 'E' || b == 'e') {
      ++m_run;
    } else if (b == '.') {
      if (at(m_run + 1) != '.') ++m_run;
      return;
    } else {
      return;
    }
  }
}

bool DfmHighlighter::keyword(const char* rest, std::size_t len) {
  for (std::size_t i = 0; i < len; ++i)
    if (lower(at(m_run + 1 + i)) != static_cast<unsigned char>(rest[i])) return false;
  if (isWordChar(at(m_run + 1 + len))) return false;
  m_run += 1 + len;
  m_kind = Key;
  return true;
}

void DfmHighlighter::ruleE() {
  if (!keyword("nd", 2)) ruleIdentifier();
}

void DfmHighlighter::ruleO() {
  if (!keyword("bject", 5)) ruleIdentifier();
}

void DfmHighlighter::ruleIdentifier() {
  ++m_run;
  while (isWordChar(at(m_run))) ++m_run;
  m_kind = Identifier;
}

void DfmHighlighter::ruleBraceOpen() {
  m_range = rsBraceBlock;
  ruleBlock();
}

void DfmHighlighter::ruleBraceClose() {
  ++m_run;
  m_kind = Identifier;
  m_range = rsOutside;
}

void DfmHighlighter::ruleOther() {
  ++m_run;
  m_kind = Other;
}

void DfmHighlighter::ruleBlock() {
  m_kind = Comment;
  unsigned char first = at(m_run);
  ++m_run;
  if (first == '}') {
    m_range = rsOutside;
    return;
  }
  for (;;) {
    unsigned char b = at(m_run);
    if (b == 0 || b == 10 || b == 13) return;
    ++m_run;
    if (b == '}') {
      m_range = rsOutside;
      return;
    }
  }
}

}  // namespace vc
