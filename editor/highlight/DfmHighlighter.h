#pragma once
// Highlighter for form text: nested object ... end blocks of property lines,
// with binary property data as hex digits in braces that may span lines.
#include <array>

#include "editor/highlight/Highlighter.h"

namespace vc {

class DfmHighlighter : public Highlighter {
 public:
  // Token kinds, numbered as tokenKind() reports them.
  enum TokenKind : int {
    Comment = 0,
    Identifier = 1,
    Key = 2,
    EndOfLine = 3,
    Number = 4,
    Space = 5,
    String = 6,
    Symbol = 7,
    Other = 8,
  };
  // Range states.
  enum Range : RangeState { rsOutside = 0, rsBraceBlock = 1 };

  DfmHighlighter();

  void setRangeState(RangeState state) override;
  void startLine(std::string_view line, int lineIndex) override;
  bool atLineEnd() const override { return m_kind == EndOfLine; }
  int tokenStart() const override { return static_cast<int>(m_tokenStart); }
  std::string_view tokenText() const override;
  int tokenKind() const override { return m_kind; }
  HighlightAttributes* tokenAttributes() const override;
  void advance() override;
  RangeState rangeState() const override { return m_range; }
  void resetRangeState() override { m_range = rsOutside; }

  HighlightAttributes* CommentAttri() const { return m_comment; }
  HighlightAttributes* IdentifierAttri() const { return m_identifier; }
  HighlightAttributes* KeyAttri() const { return m_key; }
  HighlightAttributes* NumberAttri() const { return m_number; }
  HighlightAttributes* SpaceAttri() const { return m_space; }
  HighlightAttributes* StringAttri() const { return m_string; }
  HighlightAttributes* SymbolAttri() const { return m_symbol; }

  // The workbench's colours and styles (the formsyn instance).
  void applyWorkbenchColours();

 private:
  using Rule = void (DfmHighlighter::*)();
  unsigned char at(std::size_t i) const { return i < m_size ? m_line[i] : 0; }

  void ruleEndOfLine();
  void ruleLineFeed();
  void ruleCarriageReturn();
  void ruleSpace();
  void ruleHash();
  void ruleDollar();
  void ruleQuote();
  void ruleSymbol();
  void ruleNumber();
  void ruleE();
  void ruleO();
  void ruleIdentifier();
  void ruleBraceOpen();
  void ruleBraceClose();
  void ruleOther();
  void ruleBlock();
  bool keyword(const char* rest, std::size_t len);

  std::array<Rule, 256> m_rules{};
  const unsigned char* m_line = nullptr;
  std::size_t m_size = 0;  // up to the first NUL
  std::size_t m_run = 0;
  std::size_t m_tokenStart = 0;
  int m_kind = EndOfLine;
  int m_lineIndex = 0;
  RangeState m_range = rsOutside;

  HighlightAttributes* m_comment;
  HighlightAttributes* m_identifier;
  HighlightAttributes* m_key;
  HighlightAttributes* m_number;
  HighlightAttributes* m_space;
  HighlightAttributes* m_string;
  HighlightAttributes* m_symbol;
};

}  // namespace vc
